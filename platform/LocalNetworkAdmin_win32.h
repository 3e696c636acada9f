#pragma once
// NetworkAdmin done by the program itself, as on Windows: with its user's own rights (administrator or
// "Network Configuration Operators"), and without them every change fails, silently.
#include "platform/NetworkAdmin.h"

namespace pelmora {

class LocalNetworkAdmin final : public NetworkAdmin {
public:
    std::optional<AddressContext> AddTemporaryAddress(int ifIndex) override;
    bool DeleteIpv4Address(const AddressContext& context) override;
    std::optional<std::size_t> DeleteNeighbours(Ipv4Net address) override;
};

}  // namespace pelmora
