// The main window's list view through the report list: styles, columns, rows, texts, selection and warning
// cells; the list exists for the dialog's run only.
#include "resources/ResourceIds.h"
#include "tests/ui/MarkIconPixels_win32.h"
#include "tests/ui/ScriptedDialog_win32.h"
#include "ui/win32/Win32ReportList.h"

#include "platform/Win32Headers_win32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace pelmora {
namespace {

TEST(ReportListTest, ColumnsRowsAndSelection) {
    int selectionChanges = 0;
    test::ScriptedDialog dialog(IDD_MAIN_DIALOG, [&](test::ScriptedDialog& self) {
        auto* view = dynamic_cast<Win32ReportList*>(self.List(IDC_DEVICE_LIST));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(self.List(IDC_REFRESH_BUTTON), nullptr);
        ReportList& list = *view;
        list.OnSelectionChanged([&] { ++selectionChanges; });
        HWND handle = view->Handle();
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

        // Deleting the selected row tells of the deselection.
        list.SelectItem(0);
        const int before = selectionChanges;
        EXPECT_TRUE(list.DeleteAllItems());
        EXPECT_EQ(list.GetItemCount(), 0);
        EXPECT_EQ(selectionChanges, before + 1);
        list.DeleteAllColumns();
        EXPECT_EQ(list.HeaderItemCount(), 0);
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(dialog.List(IDC_DEVICE_LIST), nullptr);
}

// The icon at the right end of cell (row, column) as the list paints it now.
std::string IconAt(HWND list, int row, int column) {
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    cell.left = cell.right - 2 * GetSystemMetrics(SM_CXSMICON);
    HDC dc = GetDC(list);
    const std::string icon = test::MarkIconPainted(dc, cell);
    ReleaseDC(list, dc);
    return icon;
}

// The info tip the dialog answers for `row` with the mouse over cell (row, column), as the list asks for it.
std::wstring InfoTip(HWND dialog, HWND list, int row, int column) {
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    POINT middle{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ClientToScreen(list, &middle);
    SetCursorPos(middle.x, middle.y);

    wchar_t text[80] = L"";
    NMLVGETINFOTIPW tip{};
    tip.hdr.hwndFrom = list;
    tip.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    tip.hdr.code = LVN_GETINFOTIPW;
    tip.pszText = text;
    tip.cchTextMax = 80;
    tip.iItem = row;
    SendMessageW(dialog, WM_NOTIFY, tip.hdr.idFrom, reinterpret_cast<LPARAM>(&tip));
    return text;
}

TEST(ReportListTest, AMarkedCellHasItsIconAndTheTipUntilCleared) {
    test::ScriptedDialog dialog(IDD_MAIN_DIALOG, [&](test::ScriptedDialog& self) {
        ShowWindow(self.Window().Handle(), SW_SHOW);
        auto* view = dynamic_cast<Win32ReportList*>(self.List(IDC_DEVICE_LIST));
        ASSERT_NE(view, nullptr);
        HWND list = view->Handle();
        for (int column = 0; column < 3; ++column) view->InsertColumn(column, "Column", 100);
        view->InsertItem(0, "02:00:00:00:00:01");
        view->InsertItem(1, "02:00:00:00:00:02");
        view->SetItemText(1, 1, "192.168.92.40");
        view->SetItemText(1, 2, "Boiler");

        const std::string warning = "Duplicate IP address: also 02:00:00:00:00:01";
        ASSERT_TRUE(view->SetItemWarning(1, 1, warning));
        EXPECT_FALSE(view->SetItemWarning(2, 1, warning));
        EXPECT_EQ(view->GetItemWarning(1, 1), warning);
        EXPECT_EQ(view->GetItemWarning(1, 2), "");
        EXPECT_EQ(view->GetItemText(1, 1), "192.168.92.40");
        EXPECT_EQ(IconAt(list, 1, 1), "warning");
        EXPECT_EQ(IconAt(list, 1, 2), "none");
        EXPECT_EQ(IconAt(list, 0, 1), "none");
        EXPECT_EQ(InfoTip(self.Window().Handle(), list, 1, 1), L"Duplicate IP address: also 02:00:00:00:00:01");
        EXPECT_EQ(InfoTip(self.Window().Handle(), list, 1, 2), L"");
        // A note is marked as a warning is, with the information icon.
        ASSERT_TRUE(view->SetItemMark(0, 2, "confirmed", MarkIcon::Information));
        EXPECT_EQ(IconAt(list, 0, 2), "information");
        EXPECT_EQ(InfoTip(self.Window().Handle(), list, 0, 2), L"confirmed");
        ASSERT_TRUE(view->SetItemMark(0, 2, "", MarkIcon::Information));

        // A row inserted above moves the warning with its row.
        view->InsertItem(0, "02:00:00:00:00:00");
        EXPECT_EQ(view->GetItemWarning(2, 1), warning);
        EXPECT_EQ(view->GetItemWarning(1, 1), "");

        ASSERT_TRUE(view->SetItemWarning(2, 1, ""));
        EXPECT_EQ(view->GetItemWarning(2, 1), "");
        EXPECT_EQ(IconAt(list, 2, 1), "none");
        EXPECT_EQ(InfoTip(self.Window().Handle(), list, 2, 1), L"");
    });
    EXPECT_EQ(dialog.DoModal(), 1);
}

// A flagged cell makes room for the icon. Moved to a monitor of twice the DPI, once the dialog manager is done
// (the dialog's units do not change under Wine), the columns are made again as InsertColumn makes them, and
// the icon's room doubles.
TEST(ReportListTest, ADpiChangeRemakesTheColumnsAndTheIconsRoom) {
    test::ScriptedDialog dialog(IDD_MAIN_DIALOG, [&](test::ScriptedDialog& self) {
        auto* view = dynamic_cast<Win32ReportList*>(self.List(IDC_DEVICE_LIST));
        ASSERT_NE(view, nullptr);
        view->InsertColumn(0, "Unit", 100);
        view->InsertColumn(1, "IP address", 61);
        SendMessageW(view->Handle(), LVM_SETCOLUMNWIDTH, 1, 500);
        const int iconRoom = view->CellWidthFor("x", true) - view->CellWidthFor("x", false);
        EXPECT_GT(iconRoom, 0);
        const UINT dpi = GetDpiForWindow(view->Handle());
        ASSERT_GT(dpi, 0U);
        RECT suggested{};
        GetWindowRect(self.Window().Handle(), &suggested);
        SendMessageW(self.Window().Handle(), WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) DispatchMessageW(&message);
        EXPECT_EQ(view->GetColumnScreenWidth(0), std::lround(100 * view->ColumnScale()));
        EXPECT_EQ(view->GetColumnScreenWidth(1), std::lround(61 * view->ColumnScale()));
        EXPECT_EQ(view->CellWidthFor("x", true) - view->CellWidthFor("x", false), 2 * iconRoom);
    });
    EXPECT_EQ(dialog.DoModal(), 1);
}

}  // namespace
}  // namespace pelmora
