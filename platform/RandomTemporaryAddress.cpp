#include "platform/RandomTemporaryAddress.h"

#include <algorithm>
#include <cstdlib>

namespace pelmora {

namespace {

std::uint8_t DrawnOctet(const std::function<int()>& draw) { return static_cast<std::uint8_t>((draw() >> 2) & 0xFF); }

std::uint32_t MaskBits(std::uint8_t prefixLength) {
    return prefixLength == 0 ? 0u : 0xFFFFFFFFu << (32u - std::min<unsigned>(prefixLength, 32u));
}

bool Overlap(const Subnet& a, const Subnet& b) {
    const std::uint32_t mask = MaskBits(std::min(a.prefixLength, b.prefixLength));
    return (ToHost(a.address).value & mask) == (ToHost(b.address).value & mask);
}

}  // namespace

std::uint32_t TemporarySeed(std::time_t now, const void* holder) {
    const auto seconds = static_cast<std::uint32_t>(static_cast<std::uint64_t>(now));
    return seconds + static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(holder));
}

Ipv4Octets TemporaryAddressFromDraws(const std::function<int()>& draw) {
    draw();
    Ipv4Octets address{{10, 0, 0, 0}};
    address.bytes[1] = DrawnOctet(draw);
    address.bytes[2] = DrawnOctet(draw);
    do {
        address.bytes[3] = DrawnOctet(draw);
    } while (address.bytes[3] == 0 || address.bytes[3] == 255);
    return address;
}

std::optional<Ipv4Octets> DrawFreeTemporaryAddress(const std::function<int()>& draw,
                                                   const std::vector<Subnet>& reached) {
    for (int attempt = 0; attempt < MAX_TEMPORARY_DRAWS; ++attempt) {
        const Ipv4Octets address = TemporaryAddressFromDraws(draw);
        const Subnet drawn{ToNet(address), TEMPORARY_PREFIX};
        if (std::none_of(reached.begin(), reached.end(), [&](const Subnet& s) { return Overlap(drawn, s); }))
            return address;
    }
    return std::nullopt;
}

std::optional<Ipv4Octets> DrawTemporaryAddress(std::uint32_t seed, const std::vector<Subnet>& reached) {
    std::srand(seed);
    return DrawFreeTemporaryAddress([] { return std::rand(); }, reached);
}

std::vector<Subnet> ReachedSubnets(const std::vector<AddressRow>& addresses, const std::vector<RouteRow>& routes) {
    std::vector<Subnet> reached;
    reached.reserve(addresses.size() + routes.size());
    // Windows lists an adapter without an address as 0.0.0.0/0, which would overlap every draw; an address
    // with a mask of 0 still keeps its own /24 out of the draw.
    for (const AddressRow& row : addresses) {
        if (row.address.value == 0) continue;
        reached.push_back(Subnet{row.address, row.prefixLength == 0 ? std::uint8_t{32} : row.prefixLength});
    }
    for (const RouteRow& route : routes)
        if (route.prefixLength > 8) reached.push_back(Subnet{route.destination, route.prefixLength});
    return reached;
}

}  // namespace pelmora
