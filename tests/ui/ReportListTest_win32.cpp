// The main window's list view through the report list: styles, columns, rows, texts and selection.
#include "resources/ResourceIds.h"
#include "tests/ui/ScriptedDialog_win32.h"
#include "ui/ReportList_win32.h"

#include "ui/Win32Headers_win32.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pelmora {
namespace {

TEST(ReportListTest, ColumnsRowsAndSelection) {
    ReportList list;
    int selectionChanges = 0;
    test::ScriptedDialog dialog(IDD_MAIN_DIALOG, [&](test::ScriptedDialog& self) {
        list.Attach(self, IDC_DEVICE_LIST);
        list.OnSelectionChanged([&] { ++selectionChanges; });
        HWND handle = list.Handle();
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(handle, GWL_STYLE));
        EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
        EXPECT_NE(style & LVS_SINGLESEL, 0U);
        const auto extended = static_cast<DWORD>(SendMessageW(handle, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_EQ(extended & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
                  static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));

        EXPECT_EQ(list.InsertColumn(0, "Unit", 100), 0);
        EXPECT_EQ(list.InsertColumn(1, "Device Name", 120), 1);
        EXPECT_EQ(list.InsertColumn(1, "IP address", 90), 1);
        ASSERT_EQ(list.HeaderItemCount(), 3);
        EXPECT_EQ(list.GetColumnHeading(1), "IP address");
        EXPECT_EQ(list.GetColumnWidth(2), 120);
        EXPECT_EQ(list.GetColumnScreenWidth(0), std::lround(100 * list.ColumnScale()));

        EXPECT_EQ(list.InsertItem(0, "02:00:00:00:00:02"), 0);
        EXPECT_EQ(list.InsertItem(0, "02:00:00:00:00:01"), 0);
        EXPECT_EQ(list.InsertItem(99, "02:00:00:00:00:03"), 2);
        EXPECT_TRUE(list.SetItemText(1, 2, "K\xC3\xBChlhaus"));  // "Kühlhaus"
        ASSERT_EQ(list.GetItemCount(), 3);
        EXPECT_EQ(list.GetItemText(0, 0), "02:00:00:00:00:01");
        EXPECT_EQ(list.GetItemText(1, 0), "02:00:00:00:00:02");
        EXPECT_EQ(list.GetItemText(1, 2), "K\xC3\xBChlhaus");

        EXPECT_EQ(list.GetFirstSelectedItem(), -1);
        list.SelectItem(2);
        list.SelectItem(1);
        EXPECT_EQ(list.GetSelectedCount(), 1);
        EXPECT_EQ(list.GetFirstSelectedItem(), 1);
        // Selected, then deselected and the next one selected.
        EXPECT_EQ(selectionChanges, 3);
        list.SelectItem(-1);
        EXPECT_EQ(list.GetSelectedCount(), 0);
        EXPECT_EQ(list.GetFirstSelectedItem(), -1);

        EXPECT_TRUE(list.DeleteAllItems());
        EXPECT_EQ(list.GetItemCount(), 0);
        list.DeleteAllColumns();
        EXPECT_EQ(list.HeaderItemCount(), 0);
    });
    EXPECT_EQ(dialog.DoModal(), 1);
}

}  // namespace
}  // namespace pelmora
