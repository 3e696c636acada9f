#include "protocol/SystemDeviceNetwork.h"

#include "protocol/DiscoveryScan.h"
#include "protocol/PacketEnvelope.h"
#include "protocol/SendTwice.h"
#include "protocol/Wink.h"

namespace pelmora {

std::optional<InterfaceTable> SystemDeviceNetwork::ReadInterfaceTable() {
    return pelmora::ReadInterfaceTable(m_transport);
}

bool SystemDeviceNetwork::Discover(const InterfaceTable& table, Ipv4Host destination, ReplyStore& replies) {
    return RunDiscovery(m_transport, m_clock, table, destination, replies);
}

void SystemDeviceNetwork::SendWink(const ElementList& list, Ipv4Host destination) {
    pelmora::SendWink(m_transport, m_clock, list, destination);
}

bool SystemDeviceNetwork::SendOnce(const std::vector<std::uint8_t>& payload, Ipv4Host destination) {
    const SealedPacket packet(payload);
    return SendSealedOnce(m_transport, packet, destination);
}

void SystemDeviceNetwork::FlushArpEntries(Ipv4Host address) {
    if (m_admin != nullptr) m_admin->DeleteNeighbours(ToNet(address));
}

}  // namespace pelmora
