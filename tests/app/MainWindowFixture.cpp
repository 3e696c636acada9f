#include "tests/app/MainWindowFixture.h"

#include <QtGui/QGuiApplication>
#include <QtTest/QTest>

#include "protocol/MacAddress.h"
#include "protocol/RowTexts.h"
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

void MainWindowTest::SetUp() {
    m_network.heard = TwoDevices();
    auto edit = [this](DeviceRecord* record, EditHost* host) {
        EditCall call;
        if (record != nullptr) call.unit = RowTexts(*record)[COL_UNIT];
        call.host = host;
        call.editEnabled = EditEnabled();
        call.winkEnabled = WinkEnabled();
        m_editCalls.push_back(call);
        if (m_duringEdit) m_duringEdit();
        return m_editResult;
    };
    auto chooseExportFile = [this](QWidget*, const QString& suggested) {
        m_suggestedExports.push_back(suggested);
        return m_exportFile;
    };
    m_window = std::make_unique<CNimbetRawConfigDlg>(m_network, edit, chooseExportFile);
}

void MainWindowTest::TearDown() {
    m_window.reset();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "a wait cursor was left on";
    while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
}

void MainWindowTest::ShowAndWaitForFirstScan() {
    ASSERT_TRUE(ShowAndActivate(m_window.get()));
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

std::vector<QString> MainWindowTest::ColumnTexts(int column) const {
    std::vector<QString> texts;
    for (int row = 0; row < List()->GetItemCount(); ++row) texts.push_back(List()->GetItemText(row, column));
    return texts;
}

}  // namespace pelmora::test
