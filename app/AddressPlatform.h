#pragma once
// What the temporary address needs of the platform: the adapter list and adding and deleting the
// address. Passed in, so the choice of adapter can be tested with a fake and without root.
#include <optional>
#include <vector>

#include "base/Ipv4.h"
#include "platform/Adapters.h"
#include "platform/AddressTable.h"

namespace pelmora {

class AddressPlatform {
public:
    virtual ~AddressPlatform() = default;
    virtual std::optional<std::vector<AdapterInfo>> ListAdapters() = 0;
    // Adds a temporary address, drawn as platform/RandomTemporaryAddress.h says, to the adapter.
    virtual std::optional<AddressContext> AddTemporaryAddress(int ifIndex) = 0;
    virtual bool DeleteIpv4Address(const AddressContext& context) = 0;
};

}  // namespace pelmora
