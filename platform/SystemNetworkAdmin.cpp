#include "platform/SystemNetworkAdmin.h"

#include "platform/Neighbours.h"

namespace pelmora {

std::optional<AddressContext> SystemNetworkAdmin::AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) {
    return pelmora::AddIpv4Address(ifIndex, address, mask);
}

bool SystemNetworkAdmin::DeleteIpv4Address(const AddressContext& context) {
    return pelmora::DeleteIpv4Address(context);
}

std::optional<std::size_t> SystemNetworkAdmin::DeleteNeighbours(Ipv4Net address) {
    return pelmora::DeleteNeighbours(address);
}

}  // namespace pelmora
