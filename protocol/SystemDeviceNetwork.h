#pragma once
// The network of this PC behind the DeviceNetwork seam: the device operations over a transport and a
// clock, and the neighbour flush through the network helper.
#include "platform/Clock.h"
#include "platform/NetworkAdmin.h"
#include "platform/Transport.h"
#include "protocol/DeviceNetwork.h"

namespace pelmora {

class SystemDeviceNetwork final : public DeviceNetwork {
public:
    // All are borrowed for the object's life. Without admin (null) the neighbour flush is skipped.
    SystemDeviceNetwork(Transport& transport, Clock& clock, NetworkAdmin* admin = nullptr)
        : m_transport(transport), m_clock(clock), m_admin(admin) {}

    std::optional<InterfaceTable> ReadInterfaceTable() override;
    bool Discover(const InterfaceTable& table, Ipv4Host destination, ReplyStore& replies) override;
    void SendWink(const ElementList& list, Ipv4Host destination) override;
    bool SendOnce(const std::vector<std::uint8_t>& payload, Ipv4Host destination) override;
    void FlushArpEntries(Ipv4Host address) override;
    Clock& Time() override { return m_clock; }

private:
    Transport& m_transport;
    Clock& m_clock;
    NetworkAdmin* m_admin;
};

}  // namespace pelmora
