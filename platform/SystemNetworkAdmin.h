#pragma once
// NetworkAdmin straight through rtnetlink, for the process that holds CAP_NET_ADMIN: the network helper.
#include "platform/NetworkAdmin.h"

namespace pelmora {

class SystemNetworkAdmin final : public NetworkAdmin {
public:
    std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) override;
    bool DeleteIpv4Address(const AddressContext& context) override;
    std::optional<std::size_t> DeleteNeighbours(Ipv4Net address) override;
};

}  // namespace pelmora
