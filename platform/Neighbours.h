#pragma once
// The neighbour (ARP) cache. Linux: rtnetlink; Windows: IP Helper (GetIpNetTable, DeleteIpNetEntry).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/Ipv4.h"

namespace pelmora {

struct NeighbourEntry {
    int ifIndex = 0;
    Ipv4Net address;
    std::uint16_t state = 0;  // NUD_* bits
};
// IPv4 neighbour cache entries; nothing when the cache cannot be read.
std::optional<std::vector<NeighbourEntry>> ReadNeighbours();
// Deletes the dynamic neighbour entries for the address, on every interface: how many went, or nothing
// when the cache or the routes cannot be read. An entry someone fixed (NUD_PERMANENT or NUD_NOARP) and
// the entry of any route's gateway stay. Windows: every dynamic entry of the address that GetIpNetTable
// lists (MIB_IPNET_TYPE_DYNAMIC), as the program there deletes them with its own rights.
std::optional<std::size_t> DeleteNeighbours(Ipv4Net address);

}  // namespace pelmora
