#include "tests/app/MainWindowFixture.h"

#include <QtCore/QTimer>
#include <QtGui/QGuiApplication>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include "listing/RowTexts.h"
#include "protocol/MacAddress.h"
#include "tests/ui/GuiTestSupport.h"

namespace pelmora::test {

ReplyStore TwoDevices() {
    FakeDevice bacnet;
    FakeDevice plain;
    plain.mac[5] = 2;
    plain.ip = Ipv4Octets{{192, 168, 92, 11}};
    plain.bacnet = false;
    ReplyStore replies;
    for (const FakeDevice& device : {bacnet, plain}) {
        const ElementList list = ReplyOf(device);
        replies.emplace(MacKey(list), list);
    }
    return replies;
}

ReplyStore RepliesOf(const std::vector<ShownDevice>& devices) {
    ReplyStore replies;
    for (const ShownDevice& s : devices) {
        FakeDevice device;
        const std::uint8_t mac[6] = {0x00, 0x50, 0xC2, 0x8F, s.last[0], s.last[1]};
        std::copy(std::begin(mac), std::end(mac), device.mac);
        device.ip = s.ip;
        device.bacnet = s.bacnet;
        device.deviceId = s.id;
        device.name = s.name;
        device.location = s.location;
        device.revision = s.revision;
        const ElementList list = ReplyOf(device);
        replies.emplace(MacKey(list), list);
    }
    return replies;
}

ReplyStore DuplicateDevices() {
    return RepliesOf({
        {{0x0F, 0xA1}, {{192, 168, 92, 21}}, true, -1, "Unit $", "", 0x02010312},
        {{0x10, 0x01}, {{192, 168, 92, 20}}, true, 4001, "AHU-1 Supply", "Roof", 0x02010312},
        {{0x10, 0x02}, {{192, 168, 92, 22}}, true, 4002, "AHU-2", "Plant", 0x02010312},
        {{0x11, 0x20}, {{192, 168, 92, 40}}, true, 4100, "Boiler house", "Basement", 0x02010312},
        {{0x13, 0x02}, {{192, 168, 92, 40}}, false, 0, "", "", 0x02010312},
    });
}

void MainWindowTest::SetUp() {
    m_network.heard = TwoDevices();
    auto edit = [this](DeviceRecord* record, DeviceSet* devices) {
        EditCall call;
        if (record != nullptr) call.unit = RowTexts(*record)[COL_UNIT];
        call.devices = devices;
        call.editEnabled = EditEnabled();
        call.winkEnabled = WinkEnabled();
        m_editCalls.push_back(call);
        if (m_duringEdit) m_duringEdit();
        return m_editResult;
    };
    auto chooseExportFile = [this](TemplateDialog&, const std::string& suggested) {
        m_suggestedExports.push_back(suggested);
        return m_exportFile;
    };
    PlanWindowHooks planHooks;
    planHooks.choosePlanFile = [this](TemplateDialog&) { return m_planFile; };
    planHooks.waitForRestart = [this](int seconds) {
        m_waits.push_back(seconds);
        if (m_duringWait) m_duringWait();
        return true;
    };
    m_window = std::make_unique<CNimbetRawConfigDlg>(m_network, edit, chooseExportFile, planHooks);
}

void MainWindowTest::TearDown() {
    m_window.reset();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "a wait cursor was left on";
    while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
}

void MainWindowTest::ShowAndWaitForFirstScan() {
    ASSERT_TRUE(ShowAndActivate(&Window()));
    ASSERT_TRUE(WaitForScans(1)) << "no automatic first scan";
}

bool MainWindowTest::WaitForScans(int count, int timeoutMs) {
    return QTest::qWaitFor([&] { return m_network.discoverCalls >= count; }, timeoutMs);
}

QPoint MainWindowTest::CellCentre(int row, int column) const {
    return List()->visualRect(List()->model()->index(row, column)).center();
}

void MainWindowTest::ClickRow(int row) {
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(row, 1));
}

void MainWindowTest::DoubleClickRow(int row) {
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(row, 1));
}

bool MainWindowTest::FocusList() {
    List()->setFocus(Qt::OtherFocusReason);
    return QTest::qWaitFor([&] { return List()->hasFocus(); }, 2000);
}

std::shared_ptr<const bool> WhenMenuOpens(std::function<void(QMenu*)> action) {
    auto ran = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, ran, action = std::move(action)] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || !menu->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        action(menu);
        *ran = true;
        menu->close();
    });
    timer->start();
    return ran;
}

std::vector<std::string> MainWindowTest::ColumnTexts(int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < List()->GetItemCount(); ++row) texts.push_back(List()->GetItemText(row, column));
    return texts;
}

}  // namespace pelmora::test
