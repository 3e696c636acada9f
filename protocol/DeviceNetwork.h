#pragma once
// The seam between the windows and the network: everything the program sends to devices or reads
// from the PC's tables goes through one of these, so windows can be tested with a fake.
#include <cstdint>
#include <optional>
#include <vector>

#include "base/Ipv4.h"
#include "platform/Clock.h"
#include "protocol/ElementList.h"
#include "protocol/InterfaceTable.h"

namespace pelmora {

class DeviceNetwork {
public:
    virtual ~DeviceNetwork() = default;
    virtual std::optional<InterfaceTable> ReadInterfaceTable() = 0;
    // See RunDiscovery.
    virtual bool Discover(const InterfaceTable& table, Ipv4Host destination, ReplyStore& replies) = 0;
    // See SendWink (the window's goes to 255.255.255.255).
    virtual void SendWink(const ElementList& list, Ipv4Host destination) = 0;
    // Seals the payload and sends it once, from 0.0.0.0:DEVICE_PORT to destination:DEVICE_PORT. The
    // caller repeats it after REPEAT_PAUSE on Time(), so that writes to several devices can overlap.
    // False when no socket could be created: nothing was sent.
    virtual bool SendOnce(const std::vector<std::uint8_t>& payload, Ipv4Host destination) = 0;
    // Deletes every neighbour-cache entry for the address.
    virtual void FlushArpEntries(Ipv4Host address) = 0;
    // The clock the network's windows and pauses run on, for the pauses of its callers.
    virtual Clock& Time() = 0;
};

}  // namespace pelmora
