#pragma once
#include "app/AddressPlatform.h"

namespace pelmora {

// This PC's adapters and addresses (rtnetlink).
class SystemAddressPlatform final : public AddressPlatform {
public:
    std::optional<std::vector<AdapterInfo>> ListAdapters() override;
    std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) override;
    bool DeleteIpv4Address(const AddressContext& context) override;
};

}  // namespace pelmora
