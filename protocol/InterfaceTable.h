#pragma once
// The PC's IPv4 address table as the scan works from it.
#include <cstddef>
#include <optional>
#include <vector>

#include "Ipv4.h"

namespace pelmora {

constexpr std::size_t INTERFACE_TABLE_ROWS = 116;  // what the table has room for

struct InterfaceTable {
    std::vector<Ipv4Net> rows;  // in the platform's order
};

// Nothing when the table cannot be read or does not fit (more than 116 rows).
std::optional<InterfaceTable> ReadInterfaceTable();

}  // namespace pelmora
