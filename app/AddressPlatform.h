#pragma once
// What the temporary address needs of the platform: the adapter list and adding and deleting an address.
// Passed in, so the choice of adapter can be tested with a fake and without root.
#include <optional>
#include <vector>

#include "Ipv4.h"
#include "NetworkTables.h"

namespace pelmora {

class AddressPlatform {
public:
    virtual ~AddressPlatform() = default;
    virtual std::optional<std::vector<AdapterInfo>> ListAdapters() = 0;
    virtual std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) = 0;
    virtual bool DeleteIpv4Address(const AddressContext& context) = 0;
};

// This PC's adapters and addresses (rtnetlink).
class SystemAddressPlatform final : public AddressPlatform {
public:
    std::optional<std::vector<AdapterInfo>> ListAdapters() override;
    std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) override;
    bool DeleteIpv4Address(const AddressContext& context) override;
};

}  // namespace pelmora
