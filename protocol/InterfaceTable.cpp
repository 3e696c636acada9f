#include "InterfaceTable.h"

#include "NetworkTables.h"

namespace pelmora {

std::optional<InterfaceTable> ReadInterfaceTable() {
    auto rows = ReadIpv4AddressTable(INTERFACE_TABLE_ROWS);
    if (!rows) return std::nullopt;
    return InterfaceTable{std::move(*rows)};
}

}  // namespace pelmora
