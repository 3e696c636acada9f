#pragma once
// A list view in report view: columns with headings and pixel widths, rows of texts, grid lines,
// one selected row at most, selected rows shown by whole row and also while the list lacks focus,
// never sorted. Rows and columns are addressed by index as in the list view this stands in for.
// Column widths are pixels of the layout they were chosen for (a dialog font with a horizontal base
// unit of 6 pixels, 8 points at 96 DPI); they are scaled by ColumnScale() so columns keep their share of
// a list whose size follows the dialog font.
#include <QtWidgets/QTableWidget>

namespace pelmora {

class ReportList : public QTableWidget {
    Q_OBJECT

public:
    explicit ReportList(QWidget* parent = nullptr);

    static constexpr int LAYOUT_BASE_UNIT_X = 6;

    // Inserts a left-aligned column at `column` (at most the column count); returns its index or -1.
    int InsertColumn(int column, const QString& heading, int widthPixels);
    bool DeleteColumn(int column);
    void DeleteAllColumns();
    // The number of columns the header holds.
    int HeaderItemCount() const;
    // A column's width in layout pixels (as given to InsertColumn unless the user resized it), and on screen.
    int GetColumnWidth(int column) const;
    int GetColumnScreenWidth(int column) const;
    // Screen pixels per layout pixel: the font's horizontal base unit over LAYOUT_BASE_UNIT_X.
    double ColumnScale() const;
    QString GetColumnHeading(int column) const;

    // Inserts a row at `row` (the end when beyond it) with `text` in column 0; returns its index or -1.
    int InsertItem(int row, const QString& text);
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    // Marks a cell with the style's warning icon and the warning as its tooltip and its accessible description,
    // so that the mark is not in the icon alone; an empty warning clears it. The cell's text stays.
    bool SetItemWarning(int row, int column, const QString& warning);
    int GetItemCount() const;
    bool DeleteAllItems();

    int GetSelectedCount() const;
    // The first selected row, or -1 when none is selected.
    int GetFirstSelectedItem() const;
    // Selects `row` alone, or clears the selection for -1.
    void SelectItem(int row);

signals:
    // The selection changed (a row selected or deselected, also when its row is deleted).
    void itemStateChanged();
    // A double click; `row` is -1 when it hit no row.
    void rowDoubleClicked(int row);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyRowHeight();
    void ApplyColumnWidths();

    bool m_deletingRows = false;
};

}  // namespace pelmora
