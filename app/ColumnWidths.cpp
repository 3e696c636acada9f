#include "app/ColumnWidths.h"

#include <QtGui/QFontMetrics>
#include <QtWidgets/QStyle>

#include <algorithm>
#include <cmath>

#include "listing/DeviceColumns.h"
#include "ui/ReportList.h"

namespace pelmora {

namespace {

// Screen pixels a cell needs to show the text whole: the style's text margins and the grid line, and for a
// cell with a warning its icon with the same margins.
int CellWidthFor(const ReportList& list, const QFontMetrics& metrics, const std::string& text, bool withIcon) {
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    const int iconWidth = list.iconSize().isValid()
                              ? list.iconSize().width()
                              : list.style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &list);
    const int icon = withIcon ? iconWidth + 2 * margin : 0;
    return metrics.horizontalAdvance(QString::fromStdString(text)) + 2 * margin + icon + (list.showGrid() ? 1 : 0);
}

// The least layout width that InsertColumn turns into at least `screenPixels`.
int LayoutWidthFor(int screenPixels, double scale) {
    int width = static_cast<int>(std::floor(screenPixels / scale));
    while (qRound(width * scale) < screenPixels) ++width;
    return width;
}

}  // namespace

std::array<int, COLUMN_COUNT> DeviceColumnWidths(const ReportList& list, const DeviceListing& listing) {
    std::array<int, COLUMN_COUNT> widths{};
    for (std::size_t column = 0; column < COLUMN_COUNT; ++column) widths[column] = DEVICE_COLUMNS[column].width;
    const QFontMetrics metrics(list.font());
    const double scale = list.ColumnScale();
    for (std::size_t row = 0; row < listing.rows.size(); ++row) {
        for (std::size_t column = 0; column < COLUMN_COUNT; ++column) {
            const bool flagged = row < listing.warnings.size() && !listing.warnings[row][column].empty();
            if (!flagged && column != COL_UNIT && column != COL_IP_ADDRESS) continue;
            const int needed = CellWidthFor(list, metrics, listing.rows[row][column], flagged);
            widths[column] = std::max(widths[column], LayoutWidthFor(needed, scale));
        }
    }
    return widths;
}

}  // namespace pelmora
