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

namespace {

// One send from the socket, or, once a send has found no route, from each link's socket.
class RepeatableSend {
public:
    RepeatableSend(Transport& transport, DatagramSocket& socket) : m_transport(transport), m_socket(socket) {}
    void Send(const SealedPacket& packet, Ipv4Net to) {
        if (!m_viaLinks) {
            if (m_socket.SendTo(packet.Parts(), to, DEVICE_PORT) != SendResult::NoRoute) return;
            m_perLink = OpenLinkSockets(m_transport);
            m_viaLinks = !m_perLink.empty();
        }
        for (const auto& link : m_perLink) link->SendTo(packet.Parts(), to, DEVICE_PORT);
    }

private:
    Transport& m_transport;
    DatagramSocket& m_socket;
    std::vector<std::unique_ptr<DatagramSocket>> m_perLink;
    bool m_viaLinks = false;
};

std::unique_ptr<DatagramSocket> OpenDevicePortSocket(Transport& transport) {
    std::unique_ptr<DatagramSocket> socket = transport.Open(SocketOptions{true, 0});
    if (socket) socket->Bind(ToNet(ANY_ADDRESS), DEVICE_PORT);
    return socket;
}

}  // namespace

bool SendSealedTwice(Transport& transport, Clock& clock, const SealedPacket& packet, Ipv4Host destination) {
    if (!packet.IsSealed()) return false;
    const std::unique_ptr<DatagramSocket> socket = OpenDevicePortSocket(transport);
    if (!socket) return false;
    RepeatableSend send(transport, *socket);
    send.Send(packet, ToNet(destination));
    clock.SleepFor(REPEAT_PAUSE);
    send.Send(packet, ToNet(destination));
    return true;
}

bool SendSealedOnce(Transport& transport, const SealedPacket& packet, Ipv4Host destination) {
    if (!packet.IsSealed()) return false;
    const std::unique_ptr<DatagramSocket> socket = OpenDevicePortSocket(transport);
    if (!socket) return false;
    RepeatableSend(transport, *socket).Send(packet, ToNet(destination));
    return true;
}

}  // namespace pelmora
