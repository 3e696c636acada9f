#pragma once
// The two commissioning faults the device list makes visible: a BACnet device instance used by more than one
// device, and an IP address held by more than one device.
#include <array>
#include <string>
#include <vector>

#include "listing/RowTexts.h"
#include "protocol/DeviceStore.h"

namespace pelmora {

// The heading of the column after the nine that names a row's flagged columns.
constexpr const char* DUPLICATES_HEADING = "Duplicates";

// One row's warnings by column; empty where the cell is no duplicate.
using RowWarnings = std::array<std::string, COLUMN_COUNT>;

// One entry per record of the store, in row order. A BACnet row whose shown device number (the factory
// default's included) another BACnet row shows too gets "Device ID 4001 is also used by <Unit>, <Unit>" under
// "Device ID"; a row whose address another row has (0.0.0.0 aside) gets "IP address 192.168.1.5 is also used
// by <Unit>" under "IP address".
std::vector<RowWarnings> FindDuplicates(const DeviceStore& store);

// The headings of the flagged columns, the device ID first, e.g. {"Device ID", "IP address"}.
std::vector<std::string> FlaggedHeadings(const RowWarnings& warnings);

// The same headings joined with ", "; empty for a row without warnings.
std::string FlaggedHeadingsText(const RowWarnings& warnings);

}  // namespace pelmora
