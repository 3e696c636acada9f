#pragma once
// The changes to the PC's network that need CAP_NET_ADMIN: one temporary address and the neighbour
// flush after a write. The program makes them through the privileged helper; the helper itself makes
// them through rtnetlink.
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

    // As AddIpv4Address and DeleteIpv4Address in AddressTable.h.
    virtual std::optional<AddressContext> AddIpv4Address(int ifIndex, Ipv4Net address, Ipv4Net mask) = 0;
    virtual bool DeleteIpv4Address(const AddressContext& context) = 0;
    // Deletes every neighbour entry of the address on every link: how many went, or nothing when the
    // cache could not be read or the request did not get through.
    virtual std::optional<std::size_t> DeleteNeighbours(Ipv4Net address) = 0;
};

}  // namespace pelmora
