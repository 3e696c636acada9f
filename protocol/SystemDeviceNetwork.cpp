#include <limits>

#include "DeviceNetwork.h"
#include "DiscoveryScan.h"
#include "NetworkTables.h"
#include "PacketEnvelope.h"
#include "SendTwice.h"
#include "Wink.h"

namespace pelmora {

std::optional<InterfaceTable> SystemDeviceNetwork::ReadInterfaceTable() { return pelmora::ReadInterfaceTable(); }

bool SystemDeviceNetwork::Discover(const InterfaceTable& table, Ipv4Host destination, ReplyStore& replies) {
    return RunDiscovery(table, destination, replies);
}

void SystemDeviceNetwork::SendWink(const ElementList& list) { pelmora::SendWink(list); }

void SystemDeviceNetwork::SendTwice(const std::vector<std::uint8_t>& payload, Ipv4Host destination) {
    std::vector<std::uint8_t> body(payload);
    std::uint8_t header[HEADER_CAPACITY];
    BufferPart parts[2] = {{HEADER_CAPACITY, header}, {static_cast<std::uint32_t>(body.size()), body.data()}};
    if (body.size() > std::numeric_limits<std::uint32_t>::max() || !SealPacket(parts)) return;
    SendSealedTwice(parts, destination);
}

void SystemDeviceNetwork::FlushArpEntries(Ipv4Host address) { DeleteNeighbours(ToNet(address)); }

}  // namespace pelmora
