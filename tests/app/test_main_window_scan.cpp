// The main window's scans: the automatic first one, Refresh, IDOK and the two commands, the list they
// rebuild, and the interface table they read.
#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QMessageBox>

#include "listing/RowTexts.h"
#include "protocol/MacAddress.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/ui/GuiTestSupport.h"

namespace pelmora::test {
namespace {

TEST_F(MainWindowTest, ExactlyOneAutomaticScanAQuarterSecondAfterTheFirstShow) {
    m_window->Devices().Replies()["stale"] = ElementList{};
    Window().show();  // the show event arrives at once; nothing else runs before the checks below
    EXPECT_EQ(m_window->TimerInterval(CNimbetRawConfigDlg::FIRST_SCAN_TIMER), 250);
    EXPECT_EQ(m_network.discoverCalls, 0) << "the timer starts the scan, not the show";
    ASSERT_TRUE(WaitForScans(1));
    EXPECT_FALSE(m_window->HasTimer(CNimbetRawConfigDlg::FIRST_SCAN_TIMER)) << "a single shot";
    EXPECT_TRUE(m_window->FirstScanDone());
    EXPECT_EQ(m_network.destinations.at(0), BROADCAST_ADDRESS);
    EXPECT_EQ(m_window->Devices().Replies().count("stale"), 0u) << "the first scan starts from an empty store";
    EXPECT_EQ(List()->GetItemCount(), 2);
    // Read when the window opened and again at the start of the scan.
    EXPECT_EQ(m_network.readTableCalls, 2);
    EXPECT_EQ(m_network.tableRowsAtDiscover.at(0), 2u);
    EXPECT_EQ(m_window->Devices().InterfaceCount(), 2);

    Window().hide();
    Window().show();
    EXPECT_FALSE(m_window->HasTimer(CNimbetRawConfigDlg::FIRST_SCAN_TIMER)) << "no second automatic scan";
    QCoreApplication::processEvents();
    EXPECT_EQ(m_network.discoverCalls, 1);
}

TEST_F(MainWindowTest, RefreshEmptiesTheStoreAndDisablesBothButtonsBeforeScanningUnderTheWaitCursor) {
    ShowAndWaitForFirstScan();
    List()->SelectItem(0);
    ASSERT_TRUE(EditEnabled() && WinkEnabled());
    bool editDuring = true;
    bool winkDuring = true;
    std::size_t storedDuring = 99;
    int cursorDuring = -1;
    m_network.duringDiscover = [&] {
        editDuring = EditEnabled();
        winkDuring = WinkEnabled();
        storedDuring = m_window->Devices().Replies().size();
        const QCursor* cursor = QGuiApplication::overrideCursor();
        cursorDuring = cursor != nullptr ? cursor->shape() : -1;
    };
    QTest::mouseClick(Button(IDC_REFRESH_BUTTON), Qt::LeftButton);
    ASSERT_EQ(m_network.discoverCalls, 2);
    EXPECT_FALSE(editDuring);
    EXPECT_FALSE(winkDuring);
    EXPECT_EQ(storedDuring, 0u);
    EXPECT_EQ(cursorDuring, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(List()->GetSelectedCount(), 0);
    EXPECT_FALSE(EditEnabled());
    EXPECT_FALSE(WinkEnabled());
}

TEST_F(MainWindowTest, IdokRescansAndLeavesTheWindowOpenEscapeEndsTheRun) {
    bool editDuringOk = false;
    bool visibleAfterOk = false;
    std::size_t storedDuringOk = 99;
    auto run = CallOnNextModal([&](QWidget*) {
        if (!WaitForScans(1)) return m_window->EndDialog(-1);
        List()->SelectItem(0);
        m_network.duringDiscover = [&] {
            editDuringOk = EditEnabled();
            storedDuringOk = m_window->Devices().Replies().size();
        };
        m_window->PostCommand(IDOK);
        if (!WaitForScans(2)) return m_window->EndDialog(-1);
        QTest::qWait(50);
        visibleAfterOk = Window().isVisible();
        KeyIntoFocus(Qt::Key_Escape);
    });
    EXPECT_EQ(m_window->DoModal(), IDCANCEL);
    EXPECT_TRUE(run->fired);
    EXPECT_EQ(m_network.discoverCalls, 2);
    EXPECT_TRUE(editDuringOk) << "IDOK, unlike Refresh, leaves the buttons alone";
    EXPECT_EQ(storedDuringOk, 0u);
    EXPECT_TRUE(visibleAfterOk);
    EXPECT_FALSE(Window().isVisible());
}

TEST_F(MainWindowTest, TheCloseBoxEndsTheRunAsCancel) {
    auto run = CallOnNextModal([&](QWidget*) {
        WaitForScans(1);
        Window().close();
    });
    EXPECT_EQ(m_window->DoModal(), IDCANCEL);
    EXPECT_TRUE(run->fired);
}

TEST_F(MainWindowTest, RescanKeepsWhatTheStoreHeldClearAndRescanStartsAfresh) {
    ShowAndWaitForFirstScan();
    FakeDevice moved;
    moved.mac[5] = 9;
    const ElementList list = ReplyOf(moved);
    m_network.heard = {{MacKey(list), list}};

    m_window->PostCommand(ID_RESCAN);
    ASSERT_TRUE(WaitForScans(2));
    EXPECT_EQ(ColumnTexts(COL_UNIT),
              (std::vector<std::string>{"02:00:00:00:00:01", "02:00:00:00:00:02", "02:00:00:00:00:09"}));

    m_window->PostCommand(ID_CLEAR_AND_RESCAN);
    ASSERT_TRUE(WaitForScans(3));
    EXPECT_EQ(ColumnTexts(COL_UNIT), (std::vector<std::string>{"02:00:00:00:00:09"}));
    EXPECT_EQ(m_window->Devices().Store().Count(), 1u);
}

TEST_F(MainWindowTest, AScanThatCannotMakeItsSocketLeavesTheListAndRecordsAsTheyWere) {
    ShowAndWaitForFirstScan();
    m_network.discoverSucceeds = false;
    QTest::mouseClick(Button(IDC_REFRESH_BUTTON), Qt::LeftButton);
    ASSERT_EQ(m_network.discoverCalls, 2);
    EXPECT_EQ(List()->GetItemCount(), 2);
    EXPECT_EQ(m_window->Devices().Store().Count(), 2u);
    EXPECT_TRUE(m_window->Devices().Replies().empty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // The row is still there but its reply is gone: the wink gets an empty list and sends nothing.
    List()->SelectItem(0);
    QTest::mouseClick(Button(IDC_WINK_BUTTON), Qt::LeftButton);
    ASSERT_EQ(m_network.winks.size(), 1u);
    EXPECT_TRUE(m_network.winks[0].empty());
}

TEST_F(MainWindowTest, AnUnreadableInterfaceTableIsReportedAtOpeningAndAtEveryScan) {
    m_network.table.reset();
    std::vector<std::shared_ptr<const ModalCall>> boxes;
    std::vector<int> cursorsAtBox;
    std::vector<QStringList> buttonsAtBox;
    std::function<void()> expectBox = [&] {
        boxes.push_back(CallOnNextModal([&](QWidget* modal) {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            cursorsAtBox.push_back(cursor != nullptr ? cursor->shape() : -1);
            QStringList buttons;
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                for (QAbstractButton* button : box->buttons()) buttons << button->text();
                EXPECT_EQ(box->parentWidget(), &Window());
            }
            buttonsAtBox.push_back(buttons);
            if (boxes.size() < 2) expectBox();
            CloseModal(modal);
        }));
    };
    expectBox();
    Window().show();
    ASSERT_TRUE(WaitForScans(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.size() == 2 && boxes[1]->fired; }, 3000));
    for (const auto& box : boxes) {
        EXPECT_EQ(box->title, QStringLiteral("Internal Error"));
        EXPECT_EQ(box->text, QStringLiteral("Internal Error: Cannot enumerate network interfaces on this computer."));
    }
    for (const QStringList& buttons : buttonsAtBox) EXPECT_EQ(buttons, QStringList{"OK"});
    // The box at opening comes before any scan; the one in the scan lifts the wait cursor while it is up.
    EXPECT_EQ(cursorsAtBox, (std::vector<int>{-1, Qt::ArrowCursor}));
    EXPECT_EQ(m_network.tableRowsAtDiscover.at(0), 0u);
    EXPECT_EQ(m_window->Devices().InterfaceCount(), 0);
    EXPECT_TRUE(m_window->Devices().Interfaces().rows.empty());
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(List()->HeaderItemCount(), 9);
}

// The nine headings with their given pixel widths.
const std::pair<const char*, int> GIVEN_COLUMNS[COLUMN_COUNT] = {
    {"Unit", 100}, {"IP address", 90}, {"BACnet", 55},   {"Device ID", 65}, {"Device Name", 100},
    {"PLA", 35},   {"ELA", 35},        {"Location", 60}, {"Revision", 55},
};

// The nine columns with their widths; "Unit" and "IP address" just wide enough for their rows.
void ExpectDeviceColumns(QtReportList& list) {
    ASSERT_EQ(list.HeaderItemCount(), 9);
    auto& view = static_cast<QAbstractItemView&>(list);
    for (std::size_t column = 0; column < COLUMN_COUNT; ++column) {
        const int c = static_cast<int>(column);
        const auto& [heading, given] = GIVEN_COLUMNS[column];
        EXPECT_EQ(list.GetColumnHeading(c), heading);
        if (column != COL_UNIT && column != COL_IP_ADDRESS) {
            EXPECT_EQ(list.GetColumnWidth(c), given) << heading;
            continue;
        }
        const int width = list.GetColumnWidth(c);
        const int needed = view.sizeHintForColumn(c);  // the view's own measure of its widest cell
        EXPECT_GE(width, given);
        EXPECT_LE(needed, list.GetColumnScreenWidth(c)) << heading << " cuts its text";
        if (width > given) {
            EXPECT_LT(qRound((width - 1) * list.ColumnScale()), needed) << "wider than needed";
        }
    }
}

TEST_F(MainWindowTest, EveryScanRecreatesTheNineColumnsWithTheirWidths) {
    ShowAndWaitForFirstScan();
    ExpectDeviceColumns(*List());

    FakeDevice widest;
    std::fill(std::begin(widest.mac), std::end(widest.mac), std::uint8_t{0xDD});
    widest.ip = Ipv4Octets{{255, 255, 255, 255}};
    const ElementList list = ReplyOf(widest);
    m_network.heard.emplace(MacKey(list), list);
    List()->setColumnWidth(4, 10);
    List()->InsertColumn(9, "extra", 20);
    QTest::mouseClick(Button(IDC_REFRESH_BUTTON), Qt::LeftButton);
    ASSERT_EQ(m_network.discoverCalls, 2);
    EXPECT_EQ(List()->GetItemText(2, COL_UNIT), "DD:DD:DD:DD:DD:DD");
    ExpectDeviceColumns(*List());

    m_network.heard.clear();
    QTest::mouseClick(Button(IDC_REFRESH_BUTTON), Qt::LeftButton);
    EXPECT_EQ(List()->GetItemCount(), 0);
    ExpectDeviceColumns(*List());
    EXPECT_EQ(List()->GetColumnWidth(COL_UNIT), 100) << "an empty list has the given widths";
}

TEST_F(MainWindowTest, RowsShowRecordsInMacOrderWithBacnetColumnsOnlyForBacnetDevices) {
    FakeDevice factoryFresh;
    factoryFresh.mac[0] = 0x00;
    factoryFresh.mac[4] = 0x12;
    factoryFresh.mac[5] = 0x34;
    factoryFresh.deviceId = -1;
    factoryFresh.name = "Unit $";
    factoryFresh.ip = Ipv4Octets{{10, 0, 0, 99}};
    const ElementList list = ReplyOf(factoryFresh);
    m_network.heard.emplace(MacKey(list), list);
    ShowAndWaitForFirstScan();

    // The factory-fresh unit shows the number it answers with, 0x1234 from its last two MAC bytes.
    const std::vector<std::vector<std::string>> expected = {
        {"00:00:00:00:12:34", "10.0.0.99", "Yes", "(4660)", "Unit 0004660", "1", "254", "Roof", "1.2-3-04"},
        {"02:00:00:00:00:01", "192.168.92.10", "Yes", "1234", "AHU 1", "1", "254", "Roof", "1.2-3-04"},
        {"02:00:00:00:00:02", "192.168.92.11", "", "", "", "1", "254", "", "1.2-3-04"},
    };
    ASSERT_EQ(List()->GetItemCount(), 3);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 9; ++column)
            EXPECT_EQ(List()->GetItemText(row, column),
                      expected[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)])
                << row << "," << column;
    }
}

TEST_F(MainWindowTest, MoreThan256RepliesGive256RowsTheFirstInMacOrder) {
    m_network.heard = ManyDevices(257);
    ShowAndWaitForFirstScan();
    EXPECT_EQ(m_window->Devices().Replies().size(), 257u);
    ASSERT_EQ(List()->GetItemCount(), 256);
    EXPECT_EQ(m_window->Devices().Store().Count(), 256u);
    EXPECT_EQ(List()->GetItemText(0, COL_UNIT), "02:00:00:00:00:01");
    EXPECT_EQ(List()->GetItemText(255, COL_UNIT), "02:00:00:00:01:00");
    List()->SelectItem(255);
    EXPECT_TRUE(WinkEnabled());
}

}  // namespace
}  // namespace pelmora::test
