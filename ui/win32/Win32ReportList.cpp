#include "ui/win32/Win32ReportList.h"

#include "platform/WideText_win32.h"

#include "platform/Win32Headers_win32.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace pelmora {

namespace {

// Longer cell texts are cut here; the list's rows never come near it.
constexpr int MAX_CELL_TEXT = 1024;
// What the list view adds around a cell's text, and the gap beside the warning icon, at 96 DPI.
constexpr int CELL_TEXT_MARGINS = 12;
constexpr int ICON_TEXT_GAP = 2;
constexpr int LAYOUT_DPI = 96;
// IDI_WARNING and IDI_INFORMATION, whose macros cast in C style.
constexpr ULONG_PTR WARNING_ICON = 32515;
constexpr ULONG_PTR INFORMATION_ICON = 32516;

bool InRange(int index, int count) { return index >= 0 && index < count; }

// A row's marks in column order, as one text.
std::string Joined(const std::map<int, Win32ReportList::CellMark>& marks) {
    std::string text;
    for (const auto& [column, mark] : marks) {
        if (!text.empty()) text += "; ";
        text += mark.text;
    }
    return text;
}

// The DPI window `window` is shown at: a window on another monitor than the primary one may have another
// DPI than the system's, and it changes when the window moves.
int DpiOf(HWND window) {
    const UINT dpi = GetDpiForWindow(window);
    return dpi > 0 ? static_cast<int>(dpi) : LAYOUT_DPI;
}

// A cell's rectangle in the list's client area.
RECT CellRect(HWND list, int row, int column) {
    RECT cell{};
    cell.top = column;
    // The bounds of column 0 would be the whole row's.
    cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    return cell;
}

}  // namespace

Win32ReportList::Win32ReportList(WindowHandle list) : m_list(list), m_dpi(DpiOf(list)) {
    // Info tips carry the warnings. The warning icons are drawn by custom draw, not from an image list: with
    // one, the list view would keep an icon's room free in cells without a warning too, and cut their texts.
    const LPARAM styles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP;
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, static_cast<WPARAM>(styles), styles);
    LoadIcons();
}

Win32ReportList::~Win32ReportList() {
    for (const SystemIcon& icon : m_icons)
        if (icon.handle != nullptr && icon.owned) DestroyIcon(static_cast<HICON>(icon.handle));
}

int Win32ReportList::Scaled(int pixels) const { return MulDiv(pixels, m_dpi, LAYOUT_DPI); }

void Win32ReportList::LoadIcons() {
    m_iconWidth = GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(m_dpi));
    m_iconHeight = GetSystemMetricsForDpi(SM_CYSMICON, static_cast<UINT>(m_dpi));
    // Made for the size by comctl32's LoadIconWithScaleDown, which MinGW's import library lacks. A shared
    // icon instead is the first size the process ever loaded, whatever size is asked for.
    using LoadScaled = decltype(&::LoadIconWithScaleDown);
    HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    const auto load = controls != nullptr ? reinterpret_cast<LoadScaled>(reinterpret_cast<void (*)()>(
                                                GetProcAddress(controls, "LoadIconWithScaleDown")))
                                          : nullptr;
    for (const MarkIcon kind : {MarkIcon::Warning, MarkIcon::Information}) {
        SystemIcon& icon = m_icons[static_cast<std::size_t>(kind)];
        if (icon.handle != nullptr && icon.owned) DestroyIcon(static_cast<HICON>(icon.handle));
        // NOLINTNEXTLINE(performance-no-int-to-ptr): a system icon named by number is passed as such a pointer.
        const auto* name = reinterpret_cast<LPCWSTR>(kind == MarkIcon::Warning ? WARNING_ICON : INFORMATION_ICON);
        HICON made = nullptr;
        icon.owned = load != nullptr && SUCCEEDED(load(nullptr, name, m_iconWidth, m_iconHeight, &made));
        icon.handle = icon.owned ? made : LoadImageW(nullptr, name, IMAGE_ICON, m_iconWidth, m_iconHeight, LR_SHARED);
    }
}

void Win32ReportList::DpiChanged(int dpi) {
    if (dpi <= 0) return;
    // As InsertColumn makes them: the dialog's font, and so its units, are those of the new DPI by now.
    const double scale = ColumnScale();
    const int count = std::min(HeaderItemCount(), static_cast<int>(m_layoutWidths.size()));
    for (int column = 0; column < count; ++column) {
        const long width = std::lround(m_layoutWidths[static_cast<std::size_t>(column)] * scale);
        SendMessageW(m_list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), static_cast<LPARAM>(width));
    }
    if (dpi != m_dpi) {
        m_dpi = dpi;
        LoadIcons();
    }
    InvalidateRect(m_list, nullptr, TRUE);
}

double Win32ReportList::ColumnScale() const {
    RECT unit{0, 0, 4, 8};
    HWND dialog = GetParent(m_list);
    if (dialog == nullptr || MapDialogRect(dialog, &unit) == FALSE || unit.right <= 0) return 1.0;
    return unit.right / double{LAYOUT_BASE_UNIT_X};
}

int Win32ReportList::InsertColumn(int column, const std::string& heading, int widthPixels) {
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
    for (RowWarnings& warnings : m_warnings) {
        RowWarnings shifted;
        for (auto& [at, warning] : warnings) shifted.emplace(at >= index ? at + 1 : at, std::move(warning));
        warnings = std::move(shifted);
    }
    return index;
}

bool Win32ReportList::DeleteColumn(int column) {
    if (!InRange(column, HeaderItemCount())) return false;
    if (SendMessageW(m_list, LVM_DELETECOLUMN, static_cast<WPARAM>(column), 0) == FALSE) return false;
    if (InRange(column, static_cast<int>(m_layoutWidths.size()))) m_layoutWidths.erase(m_layoutWidths.begin() + column);
    for (std::size_t row = 0; row < m_warnings.size(); ++row) {
        RowWarnings shifted;
        for (auto& [at, warning] : m_warnings[row]) {
            if (at != column) shifted.emplace(at > column ? at - 1 : at, std::move(warning));
        }
        const bool lostOne = shifted.size() != m_warnings[row].size();
        m_warnings[row] = std::move(shifted);
        if (lostOne) Describe(static_cast<int>(row));
    }
    return true;
}

int Win32ReportList::HeaderItemCount() const {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): LVM_GETHEADER returns the header's handle as its result.
    auto* header = reinterpret_cast<HWND>(SendMessageW(m_list, LVM_GETHEADER, 0, 0));
    return header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int Win32ReportList::GetColumnWidth(int column) const {
    return InRange(column, static_cast<int>(m_layoutWidths.size())) ? m_layoutWidths[static_cast<std::size_t>(column)]
                                                                    : 0;
}

int Win32ReportList::GetColumnScreenWidth(int column) const {
    if (!InRange(column, HeaderItemCount())) return 0;
    return static_cast<int>(SendMessageW(m_list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

std::string Win32ReportList::GetColumnHeading(int column) const {
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

int Win32ReportList::CellWidthFor(const std::string& text, bool withMarkIcon) const {
    const std::wstring wide = WideFromUtf8(text);
    const auto textWidth =
        static_cast<int>(SendMessageW(m_list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(wide.c_str())));
    int width = textWidth + Scaled(CELL_TEXT_MARGINS);
    if (withMarkIcon) width += m_iconWidth + Scaled(ICON_TEXT_GAP);
    return width;
}

int Win32ReportList::InsertItem(int row, const std::string& text) {
    if (row < 0) return -1;
    std::wstring wide = WideFromUtf8(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = wide.data();
    const auto index = static_cast<int>(SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) return -1;
    const auto at = static_cast<std::size_t>(std::min(index, static_cast<int>(m_warnings.size())));
    m_warnings.insert(m_warnings.begin() + static_cast<std::ptrdiff_t>(at), RowWarnings{});
    // Descriptions belong to row numbers, not to rows: those from here on moved down by one.
    m_described.push_back(false);
    for (std::size_t moved = at; moved < m_warnings.size(); ++moved) Describe(static_cast<int>(moved));
    return index;
}

bool Win32ReportList::SetItemText(int row, int column, const std::string& text) {
    if (!InRange(row, GetItemCount()) || !InRange(column, HeaderItemCount())) return false;
    std::wstring wide = WideFromUtf8(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = wide.data();
    return SendMessageW(m_list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::string Win32ReportList::GetItemText(int row, int column) const {
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

bool Win32ReportList::SetItemMark(int row, int column, const std::string& mark, MarkIcon icon) {
    if (!InRange(row, GetItemCount()) || !InRange(column, HeaderItemCount())) return false;
    if (!InRange(row, static_cast<int>(m_warnings.size()))) return false;
    RowWarnings& marks = m_warnings[static_cast<std::size_t>(row)];
    if (mark.empty()) {
        marks.erase(column);
    } else {
        marks[column] = CellMark{mark, icon};
    }
    RedrawCell(row, column);
    Describe(row);
    return true;
}

const Win32ReportList::CellMark* Win32ReportList::MarkOf(int row, int column) const {
    if (!InRange(row, static_cast<int>(m_warnings.size()))) return nullptr;
    const RowWarnings& marks = m_warnings[static_cast<std::size_t>(row)];
    const auto found = marks.find(column);
    return found != marks.end() ? &found->second : nullptr;
}

std::string Win32ReportList::GetItemWarning(int row, int column) const {
    const CellMark* mark = MarkOf(row, column);
    return mark != nullptr ? mark->text : std::string();
}

MarkIcon Win32ReportList::GetItemMarkIcon(int row, int column) const {
    const CellMark* mark = MarkOf(row, column);
    return mark != nullptr ? mark->icon : MarkIcon::Warning;
}

void Win32ReportList::RedrawCell(int row, int column) const {
    const RECT cell = CellRect(m_list, row, column);
    InvalidateRect(m_list, &cell, TRUE);
}

std::intptr_t Win32ReportList::CustomDraw(void* header) const {
    auto* draw = static_cast<NMLVCUSTOMDRAW*>(header);
    const auto row = static_cast<int>(draw->nmcd.dwItemSpec);
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return InRange(row, static_cast<int>(m_warnings.size())) &&
                           !m_warnings[static_cast<std::size_t>(row)].empty()
                       ? CDRF_NOTIFYSUBITEMDRAW
                       : CDRF_DODEFAULT;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            return GetItemWarning(row, draw->iSubItem).empty() ? CDRF_DODEFAULT : CDRF_NOTIFYPOSTPAINT;
        case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM: {
            // At the cell's right end, where the width the columns were given keeps it clear of the text.
            const RECT cell = CellRect(m_list, row, draw->iSubItem);
            const int x = cell.right - m_iconWidth - Scaled(ICON_TEXT_GAP);
            const int y = cell.top + (cell.bottom - cell.top - m_iconHeight) / 2;
            const CellMark* mark = MarkOf(row, draw->iSubItem);
            void* icon = mark != nullptr ? m_icons[static_cast<std::size_t>(mark->icon)].handle : nullptr;
            if (icon != nullptr && x > cell.left)
                DrawIconEx(draw->nmcd.hdc, x, y, static_cast<HICON>(icon), m_iconWidth, m_iconHeight, 0, nullptr,
                           DI_NORMAL);
            return CDRF_DODEFAULT;
        }
        default: return CDRF_DODEFAULT;
    }
}

void Win32ReportList::Describe(int row) {
    const auto index = static_cast<std::size_t>(row);
    if (index >= m_warnings.size() || index >= m_described.size()) return;
    const std::string text = Joined(m_warnings[index]);
    // The list view's accessible children are its rows, numbered from 1.
    if (!text.empty()) {
        m_described[index] = m_descriptions.Set(m_list, row + 1, text);
    } else if (m_described[index]) {
        m_descriptions.Clear(m_list, row + 1);
        m_described[index] = false;
    }
}

void Win32ReportList::ClearDescriptions() {
    for (std::size_t row = 0; row < m_described.size(); ++row) {
        if (m_described[row]) m_descriptions.Clear(m_list, static_cast<int>(row) + 1);
        m_described[row] = false;
    }
}

int Win32ReportList::GetItemCount() const { return static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0)); }

bool Win32ReportList::DeleteAllItems() {
    // The list view tells of no deselection when it deletes a selected row: this does.
    SelectItem(-1);
    if (SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0) == FALSE) return false;
    ClearDescriptions();
    m_warnings.clear();
    m_described.clear();
    return true;
}

int Win32ReportList::GetSelectedCount() const {
    return static_cast<int>(SendMessageW(m_list, LVM_GETSELECTEDCOUNT, 0, 0));
}

int Win32ReportList::GetFirstSelectedItem() const {
    return static_cast<int>(
        SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), static_cast<LPARAM>(LVNI_SELECTED)));
}

void Win32ReportList::SelectItem(int row) {
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

void Win32ReportList::AnswerInfoTip(void* header) const {
    auto* tip = static_cast<NMLVGETINFOTIPW*>(header);
    if (tip->pszText == nullptr || tip->cchTextMax <= 0) return;
    // The notification names the row only: the cell is the one under the mouse.
    LVHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(m_list, &hit.pt);
    int row = tip->iItem;
    int column = tip->iSubItem;
    if (SendMessageW(m_list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 && hit.iItem == row) {
        column = hit.iSubItem;
    }
    const std::string warning = GetItemWarning(row, column);
    if (warning.empty()) return;
    const std::wstring wide = WideFromUtf8(warning);
    const std::size_t length = std::min(wide.size(), static_cast<std::size_t>(tip->cchTextMax) - 1);
    std::wmemcpy(tip->pszText, wide.data(), length);
    tip->pszText[length] = L'\0';
}

bool Win32ReportList::Notify(void* header, std::intptr_t& result) {
    const auto* notification = static_cast<const NMHDR*>(header);
    result = 0;
    switch (notification->code) {
        case LVN_ITEMCHANGED: {
            const auto* change = static_cast<const NMLISTVIEW*>(header);
            if ((change->uChanged & LVIF_STATE) != 0 &&
                ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) != 0) {
                SelectionChanged();
            }
            return true;
        }
        case NM_DBLCLK: DoubleClicked(static_cast<const NMITEMACTIVATE*>(header)->iItem); return true;
        case LVN_GETINFOTIPW: AnswerInfoTip(header); return true;
        case NM_CUSTOMDRAW: result = CustomDraw(header); return true;
        default: return false;
    }
}

}  // namespace pelmora
