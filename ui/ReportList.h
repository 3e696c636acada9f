#pragma once
// A dialog's list view in report view: columns with headings and pixel widths, rows of texts, grid lines,
// whole rows selected, one at most, selected rows shown also while the list lacks focus, never sorted.
// Rows and columns are addressed by index as in the list view this stands for. Texts are UTF-8.
// Column widths are pixels of the layout they were chosen for (a dialog font with a horizontal base unit
// of 6 pixels, 8 points at 96 DPI); they are scaled by ColumnScale() so columns keep their share of a list
// whose size follows the dialog font and the monitor's DPI.
#include <functional>
#include <string>
#include <utility>

namespace pelmora {

// The system icon a marked cell shows: a warning, or a note that something went as it should.
enum class MarkIcon { Warning, Information };

class ReportList {
public:
    static constexpr int LAYOUT_BASE_UNIT_X = 6;

    ReportList() = default;
    // The back end's notifications reach the object they were given to: it neither copies nor moves.
    ReportList(const ReportList&) = delete;
    ReportList& operator=(const ReportList&) = delete;
    ReportList(ReportList&&) = delete;
    ReportList& operator=(ReportList&&) = delete;
    virtual ~ReportList() = default;

    // Inserts a left-aligned column at `column` (at most the column count); returns its index or -1.
    virtual int InsertColumn(int column, const std::string& heading, int widthPixels) = 0;
    virtual bool DeleteColumn(int column) = 0;
    void DeleteAllColumns() {
        for (int count = HeaderItemCount(); count > 0; --count) DeleteColumn(0);
    }
    // The number of columns the header holds.
    virtual int HeaderItemCount() const = 0;
    // A column's width in layout pixels (as given to InsertColumn unless the user resized it), and on screen.
    virtual int GetColumnWidth(int column) const = 0;
    virtual int GetColumnScreenWidth(int column) const = 0;
    // Screen pixels per layout pixel: the font's horizontal base unit over LAYOUT_BASE_UNIT_X.
    virtual double ColumnScale() const = 0;
    virtual std::string GetColumnHeading(int column) const = 0;
    // Screen pixels a cell needs to show `text` whole in the list's font, with a mark's icon if asked.
    virtual int CellWidthFor(const std::string& text, bool withMarkIcon) const = 0;

    // Inserts a row at `row` (the end when beyond it) with `text` in column 0; returns its index or -1.
    virtual int InsertItem(int row, const std::string& text) = 0;
    virtual bool SetItemText(int row, int column, const std::string& text) = 0;
    virtual std::string GetItemText(int row, int column) const = 0;
    // Marks a cell with the system's icon `icon` and `mark` as its tooltip and as the text a screen reader
    // reads, so that the mark is not in the icon alone; an empty mark clears it. The cell's text stays.
    virtual bool SetItemMark(int row, int column, const std::string& mark, MarkIcon icon) = 0;
    bool SetItemWarning(int row, int column, const std::string& warning) {
        return SetItemMark(row, column, warning, MarkIcon::Warning);
    }
    // The cell's mark, empty when it has none, and its icon.
    virtual std::string GetItemWarning(int row, int column) const = 0;
    virtual MarkIcon GetItemMarkIcon(int row, int column) const = 0;
    virtual int GetItemCount() const = 0;
    virtual bool DeleteAllItems() = 0;

    virtual int GetSelectedCount() const = 0;
    // The first selected row, or -1 when none is selected.
    virtual int GetFirstSelectedItem() const = 0;
    // Selects `row` alone and shows it, or clears the selection for -1.
    virtual void SelectItem(int row) = 0;

    // A row was selected or deselected (also when its row is deleted).
    void OnSelectionChanged(std::function<void()> handler) { m_selectionChanged = std::move(handler); }
    // A double click; the row is -1 when it hit no row.
    void OnDoubleClick(std::function<void(int row)> handler) { m_doubleClicked = std::move(handler); }

protected:
    void SelectionChanged() const {
        if (m_selectionChanged) m_selectionChanged();
    }
    void DoubleClicked(int row) const {
        if (m_doubleClicked) m_doubleClicked(row);
    }

private:
    std::function<void()> m_selectionChanged;
    std::function<void(int)> m_doubleClicked;
};

}  // namespace pelmora
