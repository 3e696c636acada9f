#include "ui/ReportList_win32.h"

#include "platform/WideText_win32.h"
#include "ui/TemplateDialog_win32.h"

#include "ui/Win32Headers_win32.h"

#include <cmath>

namespace pelmora {

namespace {

// Longer cell texts are cut here; the list's rows never come near it.
constexpr int MAX_CELL_TEXT = 1024;

bool InRange(int index, int count) { return index >= 0 && index < count; }

}  // namespace

void ReportList::Attach(TemplateDialog& dialog, int id) {
    m_list = dialog.Control(id);
    m_layoutWidths.assign(static_cast<std::size_t>(HeaderItemCount()), 0);
    const LPARAM styles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, static_cast<WPARAM>(styles), styles);
    dialog.MapNotify(id, LVN_ITEMCHANGED, [this](const void* header) -> std::intptr_t {
        const auto* change = static_cast<const NMLISTVIEW*>(header);
        const bool selectionChanged =
            (change->uChanged & LVIF_STATE) != 0 && ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) != 0;
        if (selectionChanged && m_selectionChanged) m_selectionChanged();
        return 0;
    });
    dialog.MapNotify(id, NM_DBLCLK, [this](const void* header) -> std::intptr_t {
        if (m_doubleClicked) m_doubleClicked(static_cast<const NMITEMACTIVATE*>(header)->iItem);
        return 0;
    });
}

double ReportList::ColumnScale() const {
    RECT unit{0, 0, 4, 8};
    HWND dialog = GetParent(m_list);
    if (dialog == nullptr || MapDialogRect(dialog, &unit) == FALSE || unit.right <= 0) return 1.0;
    return unit.right / double{LAYOUT_BASE_UNIT_X};
}

int ReportList::InsertColumn(int column, const std::string& heading, int widthPixels) {
    const int count = HeaderItemCount();
    if (column < 0 || column > count || widthPixels < 0) return -1;
    std::wstring text = WideFromUtf8(heading);
    LVCOLUMNW item{};
    item.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    item.fmt = LVCFMT_LEFT;
    item.pszText = text.data();
    item.cx = static_cast<int>(std::lround(widthPixels * ColumnScale()));
    item.iSubItem = column;
    const auto index = static_cast<int>(
        SendMessageW(m_list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)));
    if (index < 0) return -1;
    m_layoutWidths.insert(m_layoutWidths.begin() + index, widthPixels);
    return index;
}

bool ReportList::DeleteColumn(int column) {
    if (!InRange(column, HeaderItemCount())) return false;
    if (SendMessageW(m_list, LVM_DELETECOLUMN, static_cast<WPARAM>(column), 0) == FALSE) return false;
    if (InRange(column, static_cast<int>(m_layoutWidths.size()))) m_layoutWidths.erase(m_layoutWidths.begin() + column);
    return true;
}

void ReportList::DeleteAllColumns() {
    for (int column = HeaderItemCount() - 1; column >= 0; --column) DeleteColumn(column);
}

int ReportList::HeaderItemCount() const {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): LVM_GETHEADER returns the header's handle as its result.
    auto* header = reinterpret_cast<HWND>(SendMessageW(m_list, LVM_GETHEADER, 0, 0));
    return header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int ReportList::GetColumnWidth(int column) const {
    return InRange(column, static_cast<int>(m_layoutWidths.size())) ? m_layoutWidths[static_cast<std::size_t>(column)]
                                                                    : 0;
}

int ReportList::GetColumnScreenWidth(int column) const {
    if (!InRange(column, HeaderItemCount())) return 0;
    return static_cast<int>(SendMessageW(m_list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

std::string ReportList::GetColumnHeading(int column) const {
    if (!InRange(column, HeaderItemCount())) return {};
    std::wstring text(MAX_CELL_TEXT, L'\0');
    LVCOLUMNW item{};
    item.mask = LVCF_TEXT;
    item.pszText = text.data();
    item.cchTextMax = MAX_CELL_TEXT;
    if (SendMessageW(m_list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)) == FALSE) {
        return {};
    }
    return Utf8FromWide(item.pszText);
}

int ReportList::InsertItem(int row, const std::string& text) {
    if (row < 0) return -1;
    std::wstring wide = WideFromUtf8(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = wide.data();
    return static_cast<int>(SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ReportList::SetItemText(int row, int column, const std::string& text) {
    if (!InRange(row, GetItemCount()) || !InRange(column, HeaderItemCount())) return false;
    std::wstring wide = WideFromUtf8(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    return SendMessageW(m_list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::string ReportList::GetItemText(int row, int column) const {
    if (!InRange(row, GetItemCount()) || !InRange(column, HeaderItemCount())) return {};
    std::wstring text(MAX_CELL_TEXT, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = MAX_CELL_TEXT;
    const auto length = static_cast<int>(
        SendMessageW(m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    return Utf8FromWide(std::wstring_view(item.pszText, static_cast<std::size_t>(length > 0 ? length : 0)));
}

int ReportList::GetItemCount() const { return static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0)); }

bool ReportList::DeleteAllItems() { return SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0) != FALSE; }

int ReportList::GetSelectedCount() const { return static_cast<int>(SendMessageW(m_list, LVM_GETSELECTEDCOUNT, 0, 0)); }

int ReportList::GetFirstSelectedItem() const {
    return static_cast<int>(
        SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), static_cast<LPARAM>(LVNI_SELECTED)));
}

void ReportList::SelectItem(int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    // Row -1 addresses every row.
    SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (!InRange(row, GetItemCount())) return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SendMessageW(m_list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace pelmora
