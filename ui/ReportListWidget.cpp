#include "ui/ReportList.h"

#include "ui/DialogUnits.h"

#include <QtGui/QMouseEvent>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QStyle>

#include <algorithm>

namespace pelmora {

namespace {
// Where a heading keeps the width it was given, in layout pixels.
constexpr int LAYOUT_WIDTH_ROLE = Qt::UserRole;
}  // namespace

ReportList::ReportList(QWidget* parent) : QTableWidget(parent) {
    setColumnCount(0);
    setRowCount(0);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();

    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // The selection stays as visible without focus as with it.
    QPalette colours = palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    }
    setPalette(colours);
    ApplyRowHeight();

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_deletingRows) emit itemStateChanged();
    });
}

void ReportList::ApplyRowHeight() {
    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
}

void ReportList::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ApplyRowHeight();
        ApplyColumnWidths();
    }
}

double ReportList::ColumnScale() const {
    return DialogUnits::FromFont(font()).BaseUnitX() / double{LAYOUT_BASE_UNIT_X};
}

void ReportList::ApplyColumnWidths() {
    const double scale = ColumnScale();
    for (int column = 0; column < columnCount(); ++column) {
        if (const QTableWidgetItem* heading = horizontalHeaderItem(column)) {
            setColumnWidth(column, qRound(heading->data(LAYOUT_WIDTH_ROLE).toInt() * scale));
        }
    }
}

int ReportList::InsertColumn(int column, const QString& heading, int widthPixels) {
    if (column < 0 || column > columnCount()) return -1;
    insertColumn(column);
    auto* item = new QTableWidgetItem(heading);
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    item->setData(LAYOUT_WIDTH_ROLE, widthPixels);
    setHorizontalHeaderItem(column, item);
    setColumnWidth(column, qRound(widthPixels * ColumnScale()));
    return column;
}

bool ReportList::DeleteColumn(int column) {
    if (column < 0 || column >= columnCount()) return false;
    removeColumn(column);
    return true;
}

void ReportList::DeleteAllColumns() {
    for (int count = HeaderItemCount(); count > 0; --count) DeleteColumn(0);
}

int ReportList::HeaderItemCount() const { return horizontalHeader()->count(); }

int ReportList::GetColumnWidth(int column) const {
    if (column < 0 || column >= columnCount()) return 0;
    const double scale = ColumnScale();
    const QTableWidgetItem* heading = horizontalHeaderItem(column);
    const int layoutWidth = heading != nullptr ? heading->data(LAYOUT_WIDTH_ROLE).toInt() : 0;
    if (qRound(layoutWidth * scale) == columnWidth(column)) return layoutWidth;
    return qRound(columnWidth(column) / scale);
}

int ReportList::GetColumnScreenWidth(int column) const {
    return column >= 0 && column < columnCount() ? columnWidth(column) : 0;
}

QString ReportList::GetColumnHeading(int column) const {
    const QTableWidgetItem* item = horizontalHeaderItem(column);
    return item != nullptr ? item->text() : QString();
}

int ReportList::InsertItem(int row, const QString& text) {
    if (row < 0) return -1;
    const int at = std::min(row, rowCount());
    insertRow(at);
    if (columnCount() > 0) setItem(at, 0, new QTableWidgetItem(text));
    return at;
}

bool ReportList::SetItemText(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return false;
    if (QTableWidgetItem* existing = item(row, column)) {
        existing->setText(text);
    } else {
        setItem(row, column, new QTableWidgetItem(text));
    }
    return true;
}

bool ReportList::SetItemWarning(int row, int column, const QString& warning) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return false;
    QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) {
        cell = new QTableWidgetItem;
        setItem(row, column, cell);
    }
    cell->setIcon(warning.isEmpty() ? QIcon() : style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this));
    cell->setToolTip(warning);
    cell->setData(Qt::AccessibleDescriptionRole, warning.isEmpty() ? QVariant() : QVariant(warning));
    return true;
}

QString ReportList::GetItemText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr ? cell->text() : QString();
}

int ReportList::GetItemCount() const { return rowCount(); }

bool ReportList::DeleteAllItems() {
    const bool hadSelection = GetSelectedCount() > 0;
    // One notification for the whole deletion, however the model reports it.
    m_deletingRows = true;
    setRowCount(0);
    m_deletingRows = false;
    if (hadSelection) emit itemStateChanged();
    return true;
}

int ReportList::GetSelectedCount() const { return static_cast<int>(selectionModel()->selectedRows().size()); }

int ReportList::GetFirstSelectedItem() const {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (first < 0 || index.row() < first) first = index.row();
    }
    return first;
}

void ReportList::SelectItem(int row) {
    if (row < 0 || row >= rowCount()) {
        clearSelection();
        return;
    }
    selectRow(row);
}

void ReportList::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = indexAt(event->position().toPoint()).row();
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit rowDoubleClicked(row);
}

}  // namespace pelmora
