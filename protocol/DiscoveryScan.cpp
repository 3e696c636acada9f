#include "protocol/DiscoveryScan.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <set>
#include <vector>

#include "protocol/PacketEnvelope.h"
#include "protocol/Payloads.h"
#include "protocol/WireFormat.h"

namespace pelmora {

namespace {

// Reads every socket until it is empty, each time one of them becomes readable, until the window ends.
// The deadline is checked before every datagram, so a flood cannot stretch the window.
void RunReceiveWindow(Transport& transport, Clock& clock, const std::vector<DatagramSocket*>& readers,
                      ReplyStore& replies) {
    const Clock::TimePoint deadline = clock.Now() + RECEIVE_WINDOW;
    std::uint8_t buffer[MAX_DATAGRAM];
    while (clock.Now() < deadline) {
        if (readers.empty() || !transport.WaitReadable(readers, deadline)) {
            clock.SleepUntil(deadline);
            break;
        }
        for (DatagramSocket* socket : readers) {
            while (clock.Now() < deadline) {
                const auto received = socket->Receive(buffer, sizeof buffer);
                if (!received) break;
                AcceptReply(buffer, received->length, replies);
            }
        }
    }
}

}  // namespace

bool AcceptReply(std::uint8_t* datagram, std::size_t length, ReplyStore& replies) {
    if (datagram == nullptr || length > std::numeric_limits<std::uint32_t>::max()) return false;
    auto size = static_cast<std::uint32_t>(length);
    const std::uint8_t* payload = OpenPacket(datagram, size);
    if (payload == nullptr) return false;
    ElementList list;
    if (!ExtractReplyList(payload, size, list)) return false;
    replies.insert_or_assign(MacKey(list), std::move(list));
    return true;
}

bool RunDiscovery(Transport& transport, Clock& clock, const InterfaceTable& table, Ipv4Host destination,
                  ReplyStore& replies) {
    const std::unique_ptr<DatagramSocket> broadcastSocket = transport.Open(SocketOptions{});
    if (!broadcastSocket) return false;

    // Per-address sockets hear the unicast replies to their address; on Linux they hear no broadcast,
    // so one more socket on 0.0.0.0, sharing the port with them, hears the replies of devices that
    // answer by broadcast. On Windows they hear those themselves. A failed bind is not fatal: the socket
    // still sends (from a port the system picks) and is still read.
    const bool needsListener = !transport.BoundSocketsHearBroadcast();
    const SocketOptions scanSocket{needsListener, SCAN_RECEIVE_BUFFER};
    const std::size_t rowCount = std::min(table.rows.size(), MAX_SCAN_SOCKETS);
    std::vector<std::unique_ptr<DatagramSocket>> perAddress;
    perAddress.reserve(rowCount);
    // The first non-loopback address's socket of each link: the way out when a broadcast finds no route.
    std::vector<DatagramSocket*> perLink;
    std::set<int> links;
    for (std::size_t i = 0; i < rowCount; ++i) {
        if (auto socket = transport.Open(scanSocket)) {
            const AddressRow& row = table.rows[i];
            socket->Bind(row.address, DEVICE_PORT);
            if (ToOctets(row.address).bytes[0] != 127 && links.insert(row.ifIndex).second)
                perLink.push_back(socket.get());
            perAddress.push_back(std::move(socket));
        }
    }
    std::unique_ptr<DatagramSocket> broadcastListener;
    if (rowCount > 0 && needsListener) {
        broadcastListener = transport.Open(scanSocket);
        if (broadcastListener) broadcastListener->Bind(ToNet(ANY_ADDRESS), DEVICE_PORT);
    }
    std::vector<DatagramSocket*> readers;
    readers.reserve(perAddress.size() + 1);
    for (const auto& socket : perAddress) readers.push_back(socket.get());
    if (broadcastListener) readers.push_back(broadcastListener.get());

    const SealedPacket request(DiscoveryRequestPayload());
    const Ipv4Net to = ToNet(destination);
    broadcastSocket->SendTo(request.Parts(), to, DEVICE_PORT);
    for (const auto& socket : perAddress) socket->SendTo(request.Parts(), to, DEVICE_PORT);
    RunReceiveWindow(transport, clock, readers, replies);
    if (broadcastSocket->SendTo(request.Parts(), to, DEVICE_PORT) == SendResult::NoRoute)
        for (DatagramSocket* socket : perLink) socket->SendTo(request.Parts(), to, DEVICE_PORT);
    RunReceiveWindow(transport, clock, readers, replies);
    return true;
}

void RebuildDeviceStore(const ReplyStore& replies, DeviceStore& store) {
    store.ResetRecords();
    for (const auto& entry : replies) {
        // Only an accepted reply carries a MAC element; any other entry would show a made-up device.
        if (FindElement(entry.second, reply::MAC) < 0) continue;
        DeviceRecord* record = store.NewRecord();
        if (record == nullptr) break;
        ParseDeviceRecord(*record, entry.second);
    }
}

}  // namespace pelmora
