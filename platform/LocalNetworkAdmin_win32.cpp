#include "platform/LocalNetworkAdmin_win32.h"

#include <ctime>

#include "platform/Neighbours.h"
#include "platform/RandomTemporaryAddress.h"

namespace pelmora {

namespace {

constexpr std::size_t MAX_TABLE_ROWS_FOR_DRAW = 1024;  // more local addresses than any PC has

}  // namespace

std::optional<AddressContext> LocalNetworkAdmin::AddTemporaryAddress(int ifIndex) {
    // The /24s of the PC's own addresses are never drawn: the address would take their traffic.
    const auto rows = ReadIpv4AddressTable(MAX_TABLE_ROWS_FOR_DRAW);
    const auto reached = ReachedSubnets(rows.value_or(std::vector<AddressRow>{}), {});
    const auto address = DrawTemporaryAddress(TemporarySeed(std::time(nullptr), this), reached);
    if (!address) return std::nullopt;
    return AddIpv4Address(ifIndex, ToNet(*address), ToNet(TEMPORARY_MASK));
}

bool LocalNetworkAdmin::DeleteIpv4Address(const AddressContext& context) { return pelmora::DeleteIpv4Address(context); }

std::optional<std::size_t> LocalNetworkAdmin::DeleteNeighbours(Ipv4Net address) {
    return pelmora::DeleteNeighbours(address);
}

}  // namespace pelmora
