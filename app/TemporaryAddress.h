#pragma once
// The temporary IPv4 address on the first Ethernet adapter that has none, for the main window's run: a
// device on that adapter's segment can then be reached by broadcast. The holder's lifetime is the
// address's lifetime. The platform draws the address (platform/RandomTemporaryAddress.h).
#include <cstddef>
#include <optional>
#include <vector>

#include "app/AddressPlatform.h"
#include "base/Ipv4.h"
#include "platform/Adapters.h"
#include "platform/AddressTable.h"

namespace pelmora {

// The index of the adapter that gets the address: of those with a non-zero interface index that are
// Ethernet and hold no IPv4 address (entries without an address and 0.0.0.0 do not count), the first
// that is connected, else the first. Nothing when no adapter qualifies.
std::optional<std::size_t> ChooseTemporaryAdapter(const std::vector<AdapterInfo>& adapters);

class TemporaryAddress {
public:
    // Adds the address where an adapter qualifies; a failure leaves the holder empty, silently.
    explicit TemporaryAddress(AddressPlatform& platform);
    // Deletes the address if one is held.
    ~TemporaryAddress();
    TemporaryAddress(const TemporaryAddress&) = delete;
    TemporaryAddress& operator=(const TemporaryAddress&) = delete;

    // Deletes the address now, if one is held; the holder is empty after.
    void Delete();

    bool Holds() const { return nteContext.has_value(); }
    // What the add returned; empty when no address is held.
    const std::optional<AddressContext>& Context() const { return nteContext; }

private:
    AddressPlatform& m_platform;
    std::optional<AddressContext> nteContext;
};

}  // namespace pelmora
