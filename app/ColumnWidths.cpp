#include "app/ColumnWidths.h"

#include <QtGui/QFontMetrics>
#include <QtWidgets/QStyle>

#include <algorithm>
#include <cmath>

#include "listing/DeviceColumns.h"
#include "ui/ReportList.h"

namespace pelmora {

namespace {

// Screen pixels a cell needs to show the text whole: the style's text margins and the grid line.
int CellWidthFor(const ReportList& list, const QFontMetrics& metrics, const std::string& text) {
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    return metrics.horizontalAdvance(QString::fromStdString(text)) + 2 * margin + (list.showGrid() ? 1 : 0);
}

// The least layout width that InsertColumn turns into at least `screenPixels`.
int LayoutWidthFor(int screenPixels, double scale) {
    int width = static_cast<int>(std::floor(screenPixels / scale));
    while (qRound(width * scale) < screenPixels) ++width;
    return width;
}

}  // namespace

std::array<int, COLUMN_COUNT> DeviceColumnWidths(const ReportList& list, const RowTextList& rows) {
    std::array<int, COLUMN_COUNT> widths{};
    for (std::size_t column = 0; column < COLUMN_COUNT; ++column) widths[column] = DEVICE_COLUMNS[column].width;
    const QFontMetrics metrics(list.font());
    const double scale = list.ColumnScale();
    for (const std::size_t column : {std::size_t{COL_UNIT}, std::size_t{COL_IP_ADDRESS}}) {
        for (const auto& texts : rows) {
            widths[column] =
                std::max(widths[column], LayoutWidthFor(CellWidthFor(list, metrics, texts[column]), scale));
        }
    }
    return widths;
}

}  // namespace pelmora
