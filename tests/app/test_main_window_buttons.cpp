// The main window's buttons: the enable rules that follow the selection, Edit... and the double-click
// through the edit call, and Wink.
#include <gtest/gtest.h>

#include <QtTest/QTest>

#include "app/EditWithDialog.h"
#include "listing/RowTexts.h"
#include "protocol/MacAddress.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/ui/GuiTestSupport.h"
#include "ui/qt/ControlId.h"

namespace pelmora::test {
namespace {

TEST_F(MainWindowTest, TheSelectionDecidesWhichButtonsAreEnabled) {
    ShowAndWaitForFirstScan();
    EXPECT_FALSE(EditEnabled());
    EXPECT_FALSE(WinkEnabled());

    ClickRow(0);
    EXPECT_TRUE(EditEnabled());
    EXPECT_TRUE(WinkEnabled());
    ClickRow(1);
    EXPECT_FALSE(EditEnabled()) << "a row without BACnet cannot be edited";
    EXPECT_TRUE(WinkEnabled());
    List()->SelectItem(-1);
    EXPECT_FALSE(EditEnabled());
    EXPECT_FALSE(WinkEnabled());

    // "Yes" is compared without regard to case.
    List()->SetItemText(1, COL_BACNET, "yES");
    List()->SelectItem(1);
    EXPECT_TRUE(m_window->IsSelectedRowEditable());
    EXPECT_TRUE(EditEnabled());
    List()->SetItemText(1, COL_BACNET, "Yes ");
    EXPECT_FALSE(m_window->IsSelectedRowEditable());
}

TEST_F(MainWindowTest, CancelledEditDisablesBothMeanwhileThenEnablesThemForTheStillSelectedRow) {
    ShowAndWaitForFirstScan();
    ClickRow(0);
    m_editResult = false;
    QTest::mouseClick(Button(IDC_EDIT_BUTTON), Qt::LeftButton);
    ASSERT_EQ(m_editCalls.size(), 1u);
    EXPECT_EQ(m_editCalls[0].unit, "02:00:00:00:00:01");
    EXPECT_EQ(m_editCalls[0].devices, &m_window->Devices());
    EXPECT_FALSE(m_editCalls[0].editEnabled);
    EXPECT_FALSE(m_editCalls[0].winkEnabled);
    EXPECT_EQ(m_network.discoverCalls, 1) << "no scan after a cancel";
    EXPECT_EQ(m_window->Devices().Replies().size(), 2u);
    EXPECT_EQ(List()->GetFirstSelectedItem(), 0);
    EXPECT_TRUE(EditEnabled());
    EXPECT_TRUE(WinkEnabled());
}

TEST_F(MainWindowTest, SavedEditEmptiesTheStoreAndRescansSoNoStaleRowRemains) {
    ShowAndWaitForFirstScan();
    List()->SelectItem(0);
    m_editResult = true;
    std::size_t storedDuringEdit = 0;
    std::size_t storedAtRescan = 99;
    m_duringEdit = [&] {
        storedDuringEdit = m_window->Devices().Replies().size();
        // The device took its new address; from now on it answers with it.
        FakeDevice moved;
        moved.ip = Ipv4Octets{{192, 168, 92, 77}};
        const ElementList list = ReplyOf(moved);
        m_network.heard = {{MacKey(list), list}};
        m_network.duringDiscover = [&] { storedAtRescan = m_window->Devices().Replies().size(); };
    };
    QTest::mouseClick(Button(IDC_EDIT_BUTTON), Qt::LeftButton);
    ASSERT_EQ(m_editCalls.size(), 1u);
    EXPECT_EQ(storedDuringEdit, 2u) << "the write looks the device up in the store";
    EXPECT_EQ(m_network.discoverCalls, 2);
    EXPECT_EQ(storedAtRescan, 0u);
    ASSERT_EQ(List()->GetItemCount(), 1);
    EXPECT_EQ(List()->GetItemText(0, COL_IP_ADDRESS), "192.168.92.77");
    EXPECT_FALSE(EditEnabled());
    EXPECT_FALSE(WinkEnabled());
}

TEST_F(MainWindowTest, EditAndDoubleClickDoNothingOnARowWithoutBacnet) {
    ShowAndWaitForFirstScan();
    ClickRow(1);
    m_window->SendCommand(IDC_EDIT_BUTTON);
    DoubleClickRow(1);
    EXPECT_TRUE(m_editCalls.empty());
    EXPECT_TRUE(WinkEnabled());

    List()->SelectItem(-1);
    m_window->SendCommand(IDC_EDIT_BUTTON);
    EXPECT_TRUE(m_editCalls.empty());
}

TEST_F(MainWindowTest, DoubleClickEditsTheClickedRow) {
    ShowAndWaitForFirstScan();
    DoubleClickRow(0);
    ASSERT_EQ(m_editCalls.size(), 1u);
    EXPECT_EQ(m_editCalls[0].unit, "02:00:00:00:00:01");
    EXPECT_EQ(List()->GetFirstSelectedItem(), 0);
    EXPECT_TRUE(EditEnabled());
}

TEST_F(MainWindowTest, WinkSendsTheRowsReplyAndChangesNothingElse) {
    ShowAndWaitForFirstScan();
    m_window->SendCommand(IDC_WINK_BUTTON);
    EXPECT_TRUE(m_network.winks.empty()) << "no row selected";

    ClickRow(1);
    QTest::mouseClick(Button(IDC_WINK_BUTTON), Qt::LeftButton);
    ASSERT_EQ(m_network.winks.size(), 1u);
    EXPECT_EQ(m_network.winks[0], m_window->Devices().Replies().at("020000000002"));
    EXPECT_EQ(MacKey(m_network.winks[0]), "020000000002");
    EXPECT_EQ(m_network.discoverCalls, 1);
    EXPECT_EQ(List()->GetItemCount(), 2);
    EXPECT_EQ(List()->GetFirstSelectedItem(), 1);
    EXPECT_FALSE(EditEnabled());
    EXPECT_TRUE(WinkEnabled());
    EXPECT_EQ(m_window->Devices().Replies().size(), 2u);
}

// The program's own edit call: a real edit dialog for the row, cancelled.
TEST(MainWindowEditDialog, EditOpensTheEditDialogForTheRowAndItsCancelReturnsToTheList) {
    FakeDeviceNetwork network;
    network.heard = TwoDevices();
    CNimbetRawConfigDlg window(network, EditWithDialog);
    ASSERT_TRUE(ShowAndActivate(window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return network.discoverCalls == 1; }, 3000));
    window.Window().ControlAs<QtReportList>(IDC_DEVICE_LIST)->SelectItem(0);
    QString macShown;
    auto edit = CallOnNextModal([&](QWidget* modal) {
        if (QWidget* mac = FindControl(modal, IDC_MAC_TEXT)) macShown = mac->property("text").toString();
        CloseModal(modal);
    });
    window.SendCommand(IDC_EDIT_BUTTON);
    ASSERT_TRUE(edit->fired);
    EXPECT_TRUE(macShown.contains("02:00:00:00:00:01") || macShown.contains("020000000001")) << macShown.toStdString();
    EXPECT_EQ(network.discoverCalls, 1);
    EXPECT_TRUE(window.Window().ControlAs<QPushButton>(IDC_EDIT_BUTTON)->isEnabled());
}

}  // namespace
}  // namespace pelmora::test
