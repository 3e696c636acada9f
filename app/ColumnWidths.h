#pragma once
// The widths the device list's columns are created with.
#include <array>

#include "listing/DeviceListing.h"
#include "listing/RowTexts.h"

namespace pelmora {

class ReportList;

// The widths of DEVICE_COLUMNS, except that "Unit" and "IP address" are widened where the given width would
// cut a MAC or an address of the rows in the list's font, and any column as far as a cell with a duplicate
// warning needs for its icon and text. Layout pixels, as InsertColumn takes them.
std::array<int, COLUMN_COUNT> DeviceColumnWidths(const ReportList& list, const DeviceListing& listing);

}  // namespace pelmora
