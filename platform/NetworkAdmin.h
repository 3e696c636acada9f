#pragma once
// The changes to the PC's network that need CAP_NET_ADMIN: one temporary address and the neighbour
// flush after a write. On Linux the program makes them through the privileged helper, which draws the
// address itself.
#include <cstddef>
#include <optional>

#include "base/Ipv4.h"
#include "platform/AddressTable.h"

namespace pelmora {

class NetworkAdmin {
public:
    NetworkAdmin() = default;
    virtual ~NetworkAdmin() = default;
    NetworkAdmin(const NetworkAdmin&) = delete;
    NetworkAdmin& operator=(const NetworkAdmin&) = delete;
    NetworkAdmin(NetworkAdmin&&) = delete;
    NetworkAdmin& operator=(NetworkAdmin&&) = delete;

    // Adds a temporary address drawn as RandomTemporaryAddress.h says to the link: what was added, or nothing.
    virtual std::optional<AddressContext> AddTemporaryAddress(int ifIndex) = 0;
    virtual bool DeleteIpv4Address(const AddressContext& context) = 0;
    // Deletes the dynamic neighbour entries of the address (Neighbours.h): how many went, or nothing
    // when the cache could not be read or the request did not get through.
    virtual std::optional<std::size_t> DeleteNeighbours(Ipv4Net address) = 0;
};

}  // namespace pelmora
