#pragma once
// A dialog's list view in report view: columns with headings and pixel widths, rows of texts, grid
// lines, whole rows selected, one at most (the template's LVS_SINGLESEL), never sorted. Rows and
// columns are addressed by index. Texts are UTF-8.
// Column widths are pixels of the layout they were chosen for (a dialog font with a horizontal base
// unit of 6 pixels, 8 points at 96 DPI); they are scaled by ColumnScale() so columns keep their share of
// a list whose size follows the dialog font and the monitor's DPI.
#include "ui/WindowHandle_win32.h"

#include <functional>
#include <string>
#include <vector>

namespace pelmora {

class TemplateDialog;

class ReportList {
public:
    static constexpr int LAYOUT_BASE_UNIT_X = 6;

    ReportList() = default;
    // The dialog's notifications reach the object where it was attached: it neither copies nor moves.
    ReportList(const ReportList&) = delete;
    ReportList& operator=(const ReportList&) = delete;
    ReportList(ReportList&&) = delete;
    ReportList& operator=(ReportList&&) = delete;
    ~ReportList() = default;

    // Takes the list with `id` of a running dialog: its extended styles, and the dialog's notifications
    // for the handlers below.
    void Attach(TemplateDialog& dialog, int id);
    WindowHandle Handle() const { return m_list; }

    // Inserts a left-aligned column at `column` (at most the column count); returns its index or -1.
    int InsertColumn(int column, const std::string& heading, int widthPixels);
    bool DeleteColumn(int column);
    void DeleteAllColumns();
    // The number of columns the header holds.
    int HeaderItemCount() const;
    // A column's width in layout pixels (as given to InsertColumn), and on screen.
    int GetColumnWidth(int column) const;
    int GetColumnScreenWidth(int column) const;
    // Screen pixels per layout pixel: the dialog's horizontal base unit over LAYOUT_BASE_UNIT_X.
    double ColumnScale() const;
    std::string GetColumnHeading(int column) const;

    // Inserts a row at `row` (the end when beyond it) with `text` in column 0; returns its index or -1.
    int InsertItem(int row, const std::string& text);
    bool SetItemText(int row, int column, const std::string& text);
    std::string GetItemText(int row, int column) const;
    int GetItemCount() const;
    bool DeleteAllItems();

    int GetSelectedCount() const;
    // The first selected row, or -1 when none is selected.
    int GetFirstSelectedItem() const;
    // Selects `row` alone and shows it, or clears the selection for -1.
    void SelectItem(int row);

    // A row was selected or deselected.
    void OnSelectionChanged(std::function<void()> handler) { m_selectionChanged = std::move(handler); }
    // A double click; the row is -1 when it hit no row.
    void OnDoubleClick(std::function<void(int row)> handler) { m_doubleClicked = std::move(handler); }

private:
    WindowHandle m_list = nullptr;
    std::vector<int> m_layoutWidths;  // by column
    std::function<void()> m_selectionChanged;
    std::function<void(int)> m_doubleClicked;
};

}  // namespace pelmora
