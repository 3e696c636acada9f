#include "ui/ReportListView_win32.h"

#include "platform/WideText_win32.h"

#include "ui/Win32Headers_win32.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace pelmora {

namespace {

// Longer cell texts are cut here; the list's rows never come near it.
constexpr int MAX_CELL_TEXT = 1024;
constexpr int WARNING_IMAGE = 0;
// What the list view adds around a cell's text and between a cell's icon and its text, at 96 DPI.
constexpr int CELL_TEXT_MARGINS = 12;
constexpr int ICON_TEXT_GAP = 2;
constexpr int LAYOUT_DPI = 96;
// IDI_WARNING, whose macro casts in C style.
constexpr ULONG_PTR WARNING_ICON = 32515;

bool InRange(int index, int count) { return index >= 0 && index < count; }

// A row's warnings in column order, as one text.
std::string Joined(const std::map<int, std::string>& warnings) {
    std::string text;
    for (const auto& [column, warning] : warnings) {
        if (!text.empty()) text += "; ";
        text += warning;
    }
    return text;
}

int ScaledToDpi(HWND window, int pixels) {
    HDC dc = GetDC(window);
    const int dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSX) : LAYOUT_DPI;
    if (dc != nullptr) ReleaseDC(window, dc);
    return MulDiv(pixels, dpi > 0 ? dpi : LAYOUT_DPI, LAYOUT_DPI);
}

}  // namespace

ReportListView::ReportListView(WindowHandle list) : m_list(list) {
    // Info tips carry the warnings; the icons of cells beyond the first column need SUBITEMIMAGES.
    const LPARAM styles =
        LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP | LVS_EX_SUBITEMIMAGES;
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, static_cast<WPARAM>(styles), styles);

    const int width = GetSystemMetrics(SM_CXSMICON);
    const int height = GetSystemMetrics(SM_CYSMICON);
    m_icons = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 1, 0);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): a system icon named by number is passed as such a pointer.
    const auto* name = reinterpret_cast<LPCWSTR>(WARNING_ICON);
    auto* icon = static_cast<HICON>(LoadImageW(nullptr, name, IMAGE_ICON, width, height, LR_SHARED));
    if (m_icons == nullptr) return;
    ImageList_AddIcon(m_icons, icon);
    // Without LVS_SHAREIMAGELISTS the list view destroys the image list with itself.
    m_ownsIcons = (GetWindowLongPtrW(m_list, GWL_STYLE) & LVS_SHAREIMAGELISTS) != 0;
    SendMessageW(m_list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_icons));
}

ReportListView::~ReportListView() {
    if (m_ownsIcons && m_icons != nullptr) ImageList_Destroy(m_icons);
}

double ReportListView::ColumnScale() const {
    RECT unit{0, 0, 4, 8};
    HWND dialog = GetParent(m_list);
    if (dialog == nullptr || MapDialogRect(dialog, &unit) == FALSE || unit.right <= 0) return 1.0;
    return unit.right / double{LAYOUT_BASE_UNIT_X};
}

int ReportListView::InsertColumn(int column, const std::string& heading, int widthPixels) {
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

bool ReportListView::DeleteColumn(int column) {
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

int ReportListView::HeaderItemCount() const {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): LVM_GETHEADER returns the header's handle as its result.
    auto* header = reinterpret_cast<HWND>(SendMessageW(m_list, LVM_GETHEADER, 0, 0));
    return header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int ReportListView::GetColumnWidth(int column) const {
    return InRange(column, static_cast<int>(m_layoutWidths.size())) ? m_layoutWidths[static_cast<std::size_t>(column)]
                                                                    : 0;
}

int ReportListView::GetColumnScreenWidth(int column) const {
    if (!InRange(column, HeaderItemCount())) return 0;
    return static_cast<int>(SendMessageW(m_list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

std::string ReportListView::GetColumnHeading(int column) const {
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

int ReportListView::CellWidthFor(const std::string& text, bool withWarningIcon) const {
    const std::wstring wide = WideFromUtf8(text);
    const auto textWidth =
        static_cast<int>(SendMessageW(m_list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(wide.c_str())));
    int width = textWidth + ScaledToDpi(m_list, CELL_TEXT_MARGINS);
    if (withWarningIcon) width += GetSystemMetrics(SM_CXSMICON) + ScaledToDpi(m_list, ICON_TEXT_GAP);
    return width;
}

int ReportListView::InsertItem(int row, const std::string& text) {
    if (row < 0) return -1;
    std::wstring wide = WideFromUtf8(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.pszText = wide.data();
    item.iImage = I_IMAGENONE;
    const auto index = static_cast<int>(SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) return -1;
    const auto at = static_cast<std::size_t>(std::min(index, static_cast<int>(m_warnings.size())));
    m_warnings.insert(m_warnings.begin() + static_cast<std::ptrdiff_t>(at), RowWarnings{});
    // Descriptions belong to row numbers, not to rows: those from here on moved down by one.
    m_described.push_back(false);
    for (std::size_t moved = at; moved < m_warnings.size(); ++moved) Describe(static_cast<int>(moved));
    return index;
}

bool ReportListView::SetItemText(int row, int column, const std::string& text) {
    if (!InRange(row, GetItemCount()) || !InRange(column, HeaderItemCount())) return false;
    std::wstring wide = WideFromUtf8(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = wide.data();
    if (column > 0) {
        // A new cell beyond the first column would otherwise ask for its image, or show the first one.
        item.mask |= LVIF_IMAGE;
        item.iImage = GetItemWarning(row, column).empty() ? I_IMAGENONE : WARNING_IMAGE;
    }
    return SendMessageW(m_list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::string ReportListView::GetItemText(int row, int column) const {
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

bool ReportListView::SetItemWarning(int row, int column, const std::string& warning) {
    if (!InRange(row, GetItemCount()) || !InRange(column, HeaderItemCount())) return false;
    if (!InRange(row, static_cast<int>(m_warnings.size()))) return false;
    RowWarnings& warnings = m_warnings[static_cast<std::size_t>(row)];
    if (warning.empty()) {
        warnings.erase(column);
    } else {
        warnings[column] = warning;
    }
    SetCellImage(row, column, !warning.empty());
    Describe(row);
    return true;
}

std::string ReportListView::GetItemWarning(int row, int column) const {
    if (!InRange(row, static_cast<int>(m_warnings.size()))) return {};
    const RowWarnings& warnings = m_warnings[static_cast<std::size_t>(row)];
    const auto found = warnings.find(column);
    return found != warnings.end() ? found->second : std::string();
}

void ReportListView::SetCellImage(int row, int column, bool warning) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iSubItem = column;
    item.iImage = warning ? WARNING_IMAGE : I_IMAGENONE;
    SendMessageW(m_list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void ReportListView::Describe(int row) {
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

void ReportListView::ClearDescriptions() {
    for (std::size_t row = 0; row < m_described.size(); ++row) {
        if (m_described[row]) m_descriptions.Clear(m_list, static_cast<int>(row) + 1);
        m_described[row] = false;
    }
}

int ReportListView::GetItemCount() const { return static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0)); }

bool ReportListView::DeleteAllItems() {
    // The list view tells of no deselection when it deletes a selected row: this does.
    SelectItem(-1);
    if (SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0) == FALSE) return false;
    ClearDescriptions();
    m_warnings.clear();
    m_described.clear();
    return true;
}

int ReportListView::GetSelectedCount() const {
    return static_cast<int>(SendMessageW(m_list, LVM_GETSELECTEDCOUNT, 0, 0));
}

int ReportListView::GetFirstSelectedItem() const {
    return static_cast<int>(
        SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), static_cast<LPARAM>(LVNI_SELECTED)));
}

void ReportListView::SelectItem(int row) {
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

void ReportListView::AnswerInfoTip(void* header) const {
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

bool ReportListView::Notify(void* header, std::intptr_t& result) {
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
        case LVN_GETDISPINFOW: {
            auto* display = static_cast<NMLVDISPINFOW*>(header);
            if ((display->item.mask & LVIF_IMAGE) == 0) return false;
            display->item.iImage =
                GetItemWarning(display->item.iItem, display->item.iSubItem).empty() ? I_IMAGENONE : WARNING_IMAGE;
            return true;
        }
        default: return false;
    }
}

}  // namespace pelmora
