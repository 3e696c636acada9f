#include "protocol/InterfaceTable.h"

namespace pelmora {

std::optional<InterfaceTable> ReadInterfaceTable(Transport& transport) {
    auto rows = transport.ReadAddressTable(INTERFACE_TABLE_ROWS);
    if (!rows) return std::nullopt;
    return InterfaceTable{std::move(*rows)};
}

}  // namespace pelmora
