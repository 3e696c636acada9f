#pragma once
// The temporary address's draw, the same on every platform: 10.b1.b2.b3/24 from the C library's rand()
// seeded with the calendar time and the holder's address, drawn again while its /24 overlaps a subnet
// the PC already reaches (the address would capture traffic routed elsewhere).
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <vector>

#include "base/Ipv4.h"
#include "platform/AddressTable.h"

namespace pelmora {

constexpr std::uint8_t TEMPORARY_PREFIX = 24;
constexpr Ipv4Host TEMPORARY_MASK{0xFFFFFF00u};  // 255.255.255.0
// How many addresses are drawn before the add gives up on finding a free /24.
constexpr int MAX_TEMPORARY_DRAWS = 16;

struct Subnet {
    Ipv4Net address;
    std::uint8_t prefixLength = 32;
};

// Calendar time plus the holder's own address, so two starts within a second still differ.
std::uint32_t TemporarySeed(std::time_t now, const void* holder);

// 10.b1.b2.b3 from successive draws: the first is not used, then b = (v >> 2) & 0xFF of the second,
// third and fourth. A last octet of 0 or 255 (the /24's network and broadcast address) is drawn again.
Ipv4Octets TemporaryAddressFromDraws(const std::function<int()>& draw);

// Addresses from draw until one whose /24 overlaps none of reached, at most MAX_TEMPORARY_DRAWS of
// them; nothing when all did.
std::optional<Ipv4Octets> DrawFreeTemporaryAddress(const std::function<int()>& draw,
                                                   const std::vector<Subnet>& reached);
// The same from srand(seed) and rand().
std::optional<Ipv4Octets> DrawTemporaryAddress(std::uint32_t seed, const std::vector<Subnet>& reached);

// The subnets the PC reaches: every local address's subnet, and every route more specific than /8 (the
// default route and 10.0.0.0/8 itself would leave no room at all). A row of 0.0.0.0 is skipped, and
// an address with prefix 0 counts as itself alone.
std::vector<Subnet> ReachedSubnets(const std::vector<AddressRow>& addresses, const std::vector<RouteRow>& routes);

}  // namespace pelmora
