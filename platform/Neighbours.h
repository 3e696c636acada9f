#pragma once
// The neighbour (ARP) cache. Linux: rtnetlink (libnl-route-3); Windows: IP Helper (GetIpNetTable,
// DeleteIpNetEntry).
#include <cstddef>
#include <optional>
#include <vector>

#include "base/Ipv4.h"

namespace pelmora {

struct NeighbourEntry {
    int ifIndex = 0;
    Ipv4Net address;
};
// IPv4 neighbour cache entries; nothing when the cache cannot be read.
std::optional<std::vector<NeighbourEntry>> ReadNeighbours();
// Deletes every neighbour entry for the address, on every interface: how many went, or nothing when
// the cache cannot be read.
std::optional<std::size_t> DeleteNeighbours(Ipv4Net address);

}  // namespace pelmora
