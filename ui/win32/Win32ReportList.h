#pragma once
// A ReportList over a dialog's list view (SysListView32, report view). Marked cells show the system's
// warning or information icon, the mark as the cell's info tip, and the row's marks as its accessible
// description.
#include "ui/ReportList.h"
#include "ui/win32/Win32AccessibleNames.h"
#include "ui/win32/WindowHandle.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// NOLINTNEXTLINE(bugprone-reserved-identifier): the system's own name for an image list, as HIMAGELIST points to.
struct _IMAGELIST;

namespace pelmora {

class Win32ReportList : public ReportList {
public:
    // Takes list view `list` of a running dialog: its extended styles and the warning icon.
    explicit Win32ReportList(WindowHandle list);
    Win32ReportList(const Win32ReportList&) = delete;
    Win32ReportList& operator=(const Win32ReportList&) = delete;
    Win32ReportList(Win32ReportList&&) = delete;
    Win32ReportList& operator=(Win32ReportList&&) = delete;
    ~Win32ReportList() override;

    WindowHandle Handle() const { return m_list; }

    int InsertColumn(int column, const std::string& heading, int widthPixels) override;
    bool DeleteColumn(int column) override;
    int HeaderItemCount() const override;
    int GetColumnWidth(int column) const override;
    int GetColumnScreenWidth(int column) const override;
    double ColumnScale() const override;
    std::string GetColumnHeading(int column) const override;
    int CellWidthFor(const std::string& text, bool withMarkIcon) const override;

    int InsertItem(int row, const std::string& text) override;
    bool SetItemText(int row, int column, const std::string& text) override;
    std::string GetItemText(int row, int column) const override;
    bool SetItemMark(int row, int column, const std::string& mark, MarkIcon icon) override;
    std::string GetItemWarning(int row, int column) const override;
    MarkIcon GetItemMarkIcon(int row, int column) const override;
    int GetItemCount() const override;
    bool DeleteAllItems() override;

    int GetSelectedCount() const override;
    int GetFirstSelectedItem() const override;
    void SelectItem(int row) override;

    // One of the list's WM_NOTIFY notifications; false when it is not one the list answers.
    bool Notify(void* header, std::intptr_t& result);
    // The list's accessible descriptions go before its window does.
    void ClearDescriptions();
    // After the dialog manager has scaled the dialog, its controls and their fonts to a new DPI: the
    // columns are made again from their layout widths at the dialog's new units, and the warning icon
    // for the new DPI.
    void DpiChanged(int dpi);

    struct CellMark {
        std::string text;
        MarkIcon icon = MarkIcon::Warning;
    };

private:
    using RowWarnings = std::map<int, CellMark>;  // column → mark
    struct SystemIcon {
        void* handle = nullptr;  // HICON, made for m_dpi
        bool owned = false;      // else the system's, shared
    };

    // `pixels` at 96 DPI, at the list's DPI.
    int Scaled(int pixels) const;
    void LoadIcons();
    const CellMark* MarkOf(int row, int column) const;
    void RedrawCell(int row, int column) const;
    // NM_CUSTOMDRAW: the marks' icons drawn over the cells that have a mark.
    std::intptr_t CustomDraw(void* header) const;
    // Gives `row` its accessible description from its warnings, or takes it away.
    void Describe(int row);
    // The warning tip of the cell under the mouse, if it has one, into the notification's buffer.
    void AnswerInfoTip(void* header) const;

    WindowHandle m_list;
    int m_dpi;            // the DPI the columns and the icon are made for
    int m_iconWidth = 0;  // the small-icon size at m_dpi
    int m_iconHeight = 0;
    std::array<SystemIcon, 2> m_icons;    // by MarkIcon
    std::vector<int> m_layoutWidths;      // by column
    std::vector<RowWarnings> m_warnings;  // by row, beside the list's rows
    std::vector<bool> m_described;        // by row: an accessible description is set
    Win32AccessibleNames m_descriptions;
};

}  // namespace pelmora
