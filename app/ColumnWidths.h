#pragma once
// The widths the device list's columns are created with.
#include <array>

#include "protocol/RowTexts.h"

namespace pelmora {

class ReportList;

// The widths of DEVICE_COLUMNS, except that "Unit" and "IP address" are widened where the given width
// would cut a MAC or an address of the rows in the list's font. Layout pixels, as InsertColumn takes them.
std::array<int, COLUMN_COUNT> DeviceColumnWidths(const ReportList& list, const RowTextList& rows);

}  // namespace pelmora
