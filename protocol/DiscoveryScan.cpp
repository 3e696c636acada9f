#include "DiscoveryScan.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <thread>
#include <vector>

#include "PacketEnvelope.h"
#include "UdpSocket.h"

namespace pelmora {

namespace {

using Clock = std::chrono::steady_clock;

// Room for every device on a segment answering at once (the kernel caps it at net.core.rmem_max).
constexpr int SCAN_RECEIVE_BUFFER = 2 * 1024 * 1024;

// A socket on port DEVICE_PORT of one address. A failed bind is not fatal: the socket still sends (from
// a port the system picks) and is still read, as every per-address socket is.
UdpSocket OpenScanSocket(UdpSocket socket, Ipv4Net address) {
    socket.SetBroadcast();
    socket.SetReuseAddress();
    socket.SetNonBlocking();
    socket.SetReceiveBufferSize(SCAN_RECEIVE_BUFFER);
    socket.Bind(address, DEVICE_PORT);
    return socket;
}

// Reads every socket until it is empty, each time one of them becomes readable, until the window ends.
void RunReceiveWindow(const std::vector<UdpSocket*>& readers, ReplyStore& replies) {
    const Clock::time_point deadline = Clock::now() + RECEIVE_WINDOW;
    const std::vector<const UdpSocket*> waitSet(readers.begin(), readers.end());
    std::uint8_t buffer[MAX_DATAGRAM];
    while (Clock::now() < deadline) {
        if (readers.empty() || !WaitReadable(waitSet, deadline)) {
            std::this_thread::sleep_until(deadline);
            break;
        }
        for (UdpSocket* socket : readers) {
            while (Clock::now() < deadline) {
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

bool RunDiscovery(const InterfaceTable& table, Ipv4Host destination, ReplyStore& replies) {
    auto broadcastSocket = UdpSocket::Create();
    if (!broadcastSocket) return false;
    broadcastSocket->SetBroadcast();

    // Per-address sockets hear the unicast replies to their address; on Linux they hear no broadcast,
    // so one more socket on 0.0.0.0 hears the replies of devices that answer by broadcast.
    const std::size_t rowCount = std::min(table.rows.size(), MAX_SCAN_SOCKETS);
    std::vector<UdpSocket> perAddress;
    perAddress.reserve(rowCount);
    for (std::size_t i = 0; i < rowCount; ++i) {
        if (auto socket = UdpSocket::Create()) perAddress.push_back(OpenScanSocket(std::move(*socket), table.rows[i]));
    }
    std::optional<UdpSocket> broadcastListener;
    if (rowCount > 0) {
        if (auto socket = UdpSocket::Create())
            broadcastListener = OpenScanSocket(std::move(*socket), ToNet(ANY_ADDRESS));
    }
    std::vector<UdpSocket*> readers;
    readers.reserve(perAddress.size() + 1);
    for (UdpSocket& socket : perAddress) readers.push_back(&socket);
    if (broadcastListener) readers.push_back(&*broadcastListener);

    std::uint8_t header[HEADER_CAPACITY];
    std::uint8_t request[2] = {0x00, CMD_DISCOVERY_REQUEST};
    BufferPart sealed[2] = {{HEADER_CAPACITY, header}, {sizeof request, request}};
    SealPacket(sealed);
    const Ipv4Net to = ToNet(destination);

    broadcastSocket->SendTo(sealed, to, DEVICE_PORT);
    for (UdpSocket& socket : perAddress) socket.SendTo(sealed, to, DEVICE_PORT);
    RunReceiveWindow(readers, replies);
    broadcastSocket->SendTo(sealed, to, DEVICE_PORT);
    RunReceiveWindow(readers, replies);
    return true;
}

void RebuildDeviceStore(const ReplyStore& replies, DeviceStore& store) {
    store.ResetRecords();
    for (const auto& entry : replies) {
        // Only an accepted reply carries a MAC element; any other entry would show a made-up device.
        if (FindElement(entry.second, TAG_MAC, MAC_LENGTH) < 0) continue;
        DeviceRecord* record = store.NewRecord();
        if (record == nullptr) break;
        ParseDeviceRecord(*record, entry.second);
    }
}

}  // namespace pelmora
