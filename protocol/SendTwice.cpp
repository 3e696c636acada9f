#include "protocol/SendTwice.h"

#include <memory>
#include <set>
#include <vector>

#include "protocol/InterfaceTable.h"
#include "protocol/WireFormat.h"

namespace pelmora {

namespace {

bool IsLoopback(Ipv4Net address) { return ToOctets(address).bytes[0] == 127; }

// One socket per link that has a non-loopback address, bound to the first such address of the link.
std::vector<std::unique_ptr<DatagramSocket>> OpenLinkSockets(Transport& transport) {
    std::vector<std::unique_ptr<DatagramSocket>> sockets;
    const auto table = ReadInterfaceTable(transport);
    if (!table) return sockets;
    std::set<int> links;
    for (const AddressRow& row : table->rows) {
        if (IsLoopback(row.address) || links.count(row.ifIndex) != 0) continue;
        auto socket = transport.Open(SocketOptions{true, 0});
        if (!socket || !socket->Bind(row.address, DEVICE_PORT)) continue;
        links.insert(row.ifIndex);
        sockets.push_back(std::move(socket));
    }
    return sockets;
}

}  // namespace

bool SendSealedTwice(Transport& transport, Clock& clock, const SealedPacket& packet, Ipv4Host destination) {
    if (!packet.IsSealed()) return false;
    const std::unique_ptr<DatagramSocket> socket = transport.Open(SocketOptions{true, 0});
    if (!socket) return false;
    socket->Bind(ToNet(ANY_ADDRESS), DEVICE_PORT);

    const Ipv4Net to = ToNet(destination);
    std::vector<std::unique_ptr<DatagramSocket>> perLink;
    bool viaLinks = false;
    const auto sendOnce = [&] {
        if (!viaLinks) {
            if (socket->SendTo(packet.Parts(), to, DEVICE_PORT) != SendResult::NoRoute) return;
            perLink = OpenLinkSockets(transport);
            viaLinks = !perLink.empty();
        }
        for (const auto& link : perLink) link->SendTo(packet.Parts(), to, DEVICE_PORT);
    };
    sendOnce();
    clock.SleepFor(REPEAT_PAUSE);
    sendOnce();
    return true;
}

}  // namespace pelmora
