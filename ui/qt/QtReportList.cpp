#include "ui/qt/QtReportList.h"

#include "ui/qt/DialogUnits.h"

#include <QtGui/QMouseEvent>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QStyle>

#include <algorithm>

namespace pelmora {

namespace {
// Where a heading keeps the width it was given, in layout pixels.
constexpr int LAYOUT_WIDTH_ROLE = Qt::UserRole;

QString ToQString(const std::string& utf8) { return QString::fromStdString(utf8); }
}  // namespace

QtReportList::QtReportList(QWidget* parent) : QTableWidget(parent) {
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
        if (!m_deletingRows) SelectionChanged();
    });
}

void QtReportList::ApplyRowHeight() {
    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
}

void QtReportList::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ApplyRowHeight();
        ApplyColumnWidths();
    }
}

double QtReportList::ColumnScale() const {
    return DialogUnits::FromFont(font()).BaseUnitX() / double{LAYOUT_BASE_UNIT_X};
}

void QtReportList::ApplyColumnWidths() {
    const double scale = ColumnScale();
    for (int column = 0; column < columnCount(); ++column) {
        if (const QTableWidgetItem* heading = horizontalHeaderItem(column)) {
            setColumnWidth(column, qRound(heading->data(LAYOUT_WIDTH_ROLE).toInt() * scale));
        }
    }
}

int QtReportList::InsertColumn(int column, const std::string& heading, int widthPixels) {
    if (column < 0 || column > columnCount()) return -1;
    insertColumn(column);
    auto* item = new QTableWidgetItem(ToQString(heading));
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    item->setData(LAYOUT_WIDTH_ROLE, widthPixels);
    setHorizontalHeaderItem(column, item);
    setColumnWidth(column, qRound(widthPixels * ColumnScale()));
    return column;
}

bool QtReportList::DeleteColumn(int column) {
    if (column < 0 || column >= columnCount()) return false;
    removeColumn(column);
    return true;
}

int QtReportList::HeaderItemCount() const { return horizontalHeader()->count(); }

int QtReportList::GetColumnWidth(int column) const {
    if (column < 0 || column >= columnCount()) return 0;
    const double scale = ColumnScale();
    const QTableWidgetItem* heading = horizontalHeaderItem(column);
    const int layoutWidth = heading != nullptr ? heading->data(LAYOUT_WIDTH_ROLE).toInt() : 0;
    if (qRound(layoutWidth * scale) == columnWidth(column)) return layoutWidth;
    return qRound(columnWidth(column) / scale);
}

int QtReportList::GetColumnScreenWidth(int column) const {
    return column >= 0 && column < columnCount() ? columnWidth(column) : 0;
}

std::string QtReportList::GetColumnHeading(int column) const {
    const QTableWidgetItem* item = horizontalHeaderItem(column);
    return item != nullptr ? item->text().toStdString() : std::string();
}

int QtReportList::CellWidthFor(const std::string& text, bool withMarkIcon) const {
    // The style's text margins and the grid line, and for a mark its icon with the same margins.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int iconWidth =
        iconSize().isValid() ? iconSize().width() : style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    const int icon = withMarkIcon ? iconWidth + 2 * margin : 0;
    return fontMetrics().horizontalAdvance(ToQString(text)) + 2 * margin + icon + (showGrid() ? 1 : 0);
}

int QtReportList::InsertItem(int row, const std::string& text) {
    if (row < 0) return -1;
    const int at = std::min(row, rowCount());
    insertRow(at);
    if (columnCount() > 0) setItem(at, 0, new QTableWidgetItem(ToQString(text)));
    return at;
}

bool QtReportList::SetItemText(int row, int column, const std::string& utf8) {
    const QString text = ToQString(utf8);
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return false;
    if (QTableWidgetItem* existing = item(row, column)) {
        existing->setText(text);
    } else {
        setItem(row, column, new QTableWidgetItem(text));
    }
    return true;
}

bool QtReportList::SetItemMark(int row, int column, const std::string& utf8, MarkIcon icon) {
    const QString mark = ToQString(utf8);
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return false;
    QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) {
        cell = new QTableWidgetItem;
        setItem(row, column, cell);
    }
    const QStyle::StandardPixmap pixmap =
        icon == MarkIcon::Information ? QStyle::SP_MessageBoxInformation : QStyle::SP_MessageBoxWarning;
    cell->setIcon(mark.isEmpty() ? QIcon() : style()->standardIcon(pixmap, nullptr, this));
    cell->setData(MARK_ICON_ROLE, mark.isEmpty() ? QVariant() : QVariant(static_cast<int>(icon)));
    cell->setToolTip(mark);
    cell->setData(Qt::AccessibleDescriptionRole, mark.isEmpty() ? QVariant() : QVariant(mark));
    return true;
}

std::string QtReportList::GetItemText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr ? cell->text().toStdString() : std::string();
}

std::string QtReportList::GetItemWarning(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr ? cell->toolTip().toStdString() : std::string();
}

MarkIcon QtReportList::GetItemMarkIcon(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr && cell->data(MARK_ICON_ROLE).toInt() == static_cast<int>(MarkIcon::Information)
               ? MarkIcon::Information
               : MarkIcon::Warning;
}

int QtReportList::GetItemCount() const { return rowCount(); }

bool QtReportList::DeleteAllItems() {
    const bool hadSelection = GetSelectedCount() > 0;
    // One notification for the whole deletion, however the model reports it.
    m_deletingRows = true;
    setRowCount(0);
    m_deletingRows = false;
    if (hadSelection) SelectionChanged();
    return true;
}

int QtReportList::GetSelectedCount() const { return static_cast<int>(selectionModel()->selectedRows().size()); }

int QtReportList::GetFirstSelectedItem() const {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (first < 0 || index.row() < first) first = index.row();
    }
    return first;
}

void QtReportList::SelectItem(int row) {
    if (row < 0 || row >= rowCount()) {
        clearSelection();
        return;
    }
    selectRow(row);
}

void QtReportList::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = indexAt(event->position().toPoint()).row();
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) ReportList::DoubleClicked(row);
}

}  // namespace pelmora
