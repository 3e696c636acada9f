#pragma once
// What the network helper reads and changes on the PC. Passed in, so the session's rules run on a fake
// in tests, without root; SystemHelperHost is the real one.
#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

#include "base/Ipv4.h"
#include "platform/Adapters.h"
#include "platform/AddressTable.h"
#include "platform/RandomTemporaryAddress.h"

namespace pelmora {

class HelperHost {
public:
    HelperHost() = default;
    virtual ~HelperHost() = default;
    HelperHost(const HelperHost&) = delete;
    HelperHost& operator=(const HelperHost&) = delete;
    HelperHost(HelperHost&&) = delete;
    HelperHost& operator=(HelperHost&&) = delete;

    // The links with their IPv4 addresses, as they are now; nothing when they cannot be read.
    virtual std::optional<std::vector<AdapterInfo>> ListLinks() = 0;
    // As ReachedSubnets in platform/RandomTemporaryAddress.h; nothing when the addresses or routes cannot be read.
    virtual std::optional<std::vector<Subnet>> ReachedSubnets() = 0;
    virtual std::optional<AddressContext> AddAddress(int ifIndex, Ipv4Net address, std::chrono::seconds lifetime) = 0;
    virtual bool RenewAddress(const AddressContext& context, std::chrono::seconds lifetime) = 0;
    virtual bool DeleteAddress(const AddressContext& context) = 0;
    virtual std::optional<std::size_t> DeleteNeighbours(Ipv4Net address) = 0;
    // Holds off the adds of every other helper until UnlockAdds; false when the lock is not had in time.
    virtual bool LockAdds() = 0;
    virtual void UnlockAdds() = 0;
};

}  // namespace pelmora
