#pragma once
// The widths the device list's columns are created with.
#include <cstddef>

namespace pelmora {

class ReportList;

// The column's width as DEVICE_COLUMNS gives it, widened where that would cut the column's longest
// fixed-form text in the list's font: a MAC address in "Unit", 255.255.255.255 in "IP address".
int DeviceColumnWidth(const ReportList& list, std::size_t column);

}  // namespace pelmora
