#include "platform/LocalNetworkAdmin_win32.h"

#include <ctime>

#include "platform/Neighbours.h"
#include "platform/RandomTemporaryAddress.h"
#include "platform/TemporaryAddressRecord_win32.h"

namespace pelmora {

namespace {

constexpr std::size_t MAX_TABLE_ROWS_FOR_DRAW = 1024;  // more local addresses than any PC has

}  // namespace

std::optional<AddressContext> LocalNetworkAdmin::AddTemporaryAddress(int ifIndex) {
    // The /24s of the PC's own addresses and of its routes (a VPN's) are never drawn: the address would
    // take their traffic. Without both tables there is no telling, and no address.
    const auto rows = ReadIpv4AddressTable(MAX_TABLE_ROWS_FOR_DRAW);
    const auto routes = ReadIpv4Routes();
    if (!rows || !routes) return std::nullopt;
    const auto address = DrawTemporaryAddress(TemporarySeed(std::time(nullptr), this), ReachedSubnets(*rows, *routes));
    if (!address) return std::nullopt;
    auto added = AddIpv4Address(ifIndex, ToNet(*address), ToNet(TEMPORARY_MASK));
    // So that the next start deletes it should this process end without doing so.
    if (added) RecordTemporaryAddress(*added);
    return added;
}

bool LocalNetworkAdmin::DeleteIpv4Address(const AddressContext& context) {
    if (!pelmora::DeleteIpv4Address(context)) return false;
    ForgetTemporaryAddress(context);
    return true;
}

std::optional<std::size_t> LocalNetworkAdmin::DeleteNeighbours(Ipv4Net address) {
    return pelmora::DeleteNeighbours(address);
}

}  // namespace pelmora
