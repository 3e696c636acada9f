#pragma once
// The PC's IPv4 address table as the scan works from it.
#include <cstddef>
#include <optional>
#include <vector>

#include "platform/AddressTable.h"
#include "platform/Transport.h"

namespace pelmora {

constexpr std::size_t INTERFACE_TABLE_ROWS = 116;  // what the table has room for

struct InterfaceTable {
    std::vector<AddressRow> rows;  // in the platform's order
};

// Nothing when the table cannot be read or does not fit (more than 116 rows).
std::optional<InterfaceTable> ReadInterfaceTable(Transport& transport);

// The message the program shows, and pelmora-scan prints, when the table cannot be read.
constexpr char INTERFACE_TABLE_ERROR_CAPTION[] = "Internal Error";
constexpr char INTERFACE_TABLE_ERROR[] = "Internal Error: Cannot enumerate network interfaces on this computer.";

}  // namespace pelmora
