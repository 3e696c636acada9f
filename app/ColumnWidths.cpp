#include "app/ColumnWidths.h"

#include <algorithm>
#include <cmath>

#include "listing/DeviceColumns.h"
#include "ui/ReportList.h"

namespace pelmora {

namespace {

// The least layout width that InsertColumn turns into at least `screenPixels`.
int LayoutWidthFor(int screenPixels, double scale) {
    int width = static_cast<int>(std::floor(screenPixels / scale));
    while (std::lround(width * scale) < screenPixels) ++width;
    return width;
}

}  // namespace

std::array<int, COLUMN_COUNT> DeviceColumnWidths(const ReportList& list, const DeviceListing& listing) {
    std::array<int, COLUMN_COUNT> widths{};
    for (std::size_t column = 0; column < COLUMN_COUNT; ++column) widths[column] = DEVICE_COLUMNS[column].width;
    const double scale = list.ColumnScale();
    for (std::size_t row = 0; row < listing.rows.size(); ++row) {
        for (std::size_t column = 0; column < COLUMN_COUNT; ++column) {
            const bool flagged = row < listing.warnings.size() && !listing.warnings[row][column].empty();
            if (!flagged && column != COL_UNIT && column != COL_IP_ADDRESS) continue;
            const int needed = list.CellWidthFor(listing.rows[row][column], flagged);
            widths[column] = std::max(widths[column], LayoutWidthFor(needed, scale));
        }
    }
    return widths;
}

}  // namespace pelmora
