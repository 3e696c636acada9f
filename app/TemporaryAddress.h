#pragma once
// The temporary IPv4 address on the first Ethernet adapter that has none, for the main window's run: a
// device on that adapter's segment can then be reached by broadcast. The holder's lifetime is the
// address's lifetime.
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "app/AddressPlatform.h"
#include "base/Ipv4.h"
#include "platform/Adapters.h"
#include "platform/AddressTable.h"

namespace pelmora {

constexpr Ipv4Host TEMPORARY_MASK{0xFFFFFF00u};  // 255.255.255.0

// The index of the adapter that gets the address: the first with a non-zero interface index that is
// Ethernet and holds no IPv4 address (entries without an address and 0.0.0.0 do not count). Nothing
// when no adapter qualifies.
std::optional<std::size_t> ChooseTemporaryAdapter(const std::vector<AdapterInfo>& adapters);

// 10.b1.b2.b3 from successive draws: the first is not used, then b = (v >> 2) & 0xFF of the second,
// third and fourth. A last octet of 0 or 255 (the /24's network and broadcast address) is drawn again.
Ipv4Octets TemporaryAddressFromDraws(const std::function<int()>& draw);

class TemporaryAddress {
public:
    // Adds the address where an adapter qualifies; a failure leaves the holder empty, silently.
    explicit TemporaryAddress(AddressPlatform& platform);
    // Deletes the address if one is held.
    ~TemporaryAddress();
    TemporaryAddress(const TemporaryAddress&) = delete;
    TemporaryAddress& operator=(const TemporaryAddress&) = delete;

    bool Holds() const { return nteContext.has_value(); }
    // What the add returned; empty when no address is held.
    const std::optional<AddressContext>& Context() const { return nteContext; }

private:
    void AddAddress(int ifIndex);

    AddressPlatform& m_platform;
    std::optional<AddressContext> nteContext;
};

}  // namespace pelmora
