#include "tests/support/FakeTransport.h"

#include <algorithm>
#include <cstring>
#include <deque>

namespace pelmora::test {

class FakeTransport::Socket final : public DatagramSocket {
public:
    Socket(FakeTransport* transport, int socketNumber) : m_transport(transport), number(socketNumber) {}
    ~Socket() override {
        if (m_transport != nullptr) m_transport->Forget(this);
    }

    bool Bind(Ipv4Net at, std::uint16_t atPort) override {
        if (port != 0) return false;
        address = at;
        port = atPort;
        return true;
    }

    SendResult SendTo(const BufferPart (&parts)[2], Ipv4Net to, std::uint16_t toPort) override {
        if (m_transport == nullptr) return SendResult::Failed;
        if (port == 0) port = static_cast<std::uint16_t>(50000 + number);  // an ephemeral port, as the system gives
        FakeSend send;
        send.at = m_transport->m_clock.Now();
        send.socket = number;
        send.boundAddress = address;
        send.boundPort = port;
        send.to = to;
        send.toPort = toPort;
        for (const BufferPart& part : parts)
            if (part.data != nullptr) send.bytes.insert(send.bytes.end(), part.data, part.data + part.length);
        const SendResult result = m_transport->sendResult ? m_transport->sendResult(send) : SendResult::Sent;
        m_transport->sent.push_back(send);
        if (result == SendResult::Sent && m_transport->respond) m_transport->respond(send);
        return result;
    }

    std::optional<ReceivedDatagram> Receive(std::uint8_t* buffer, std::size_t capacity) override {
        if (m_transport == nullptr) return std::nullopt;
        m_transport->Arrive();
        if (inbox.empty()) return std::nullopt;
        const Pending datagram = std::move(inbox.front());
        inbox.pop_front();
        m_transport->m_clock.Advance(m_transport->receiveCost);
        if (datagram.bytes.size() > capacity) return std::nullopt;
        std::memcpy(buffer, datagram.bytes.data(), datagram.bytes.size());
        ++m_transport->received;
        return ReceivedDatagram{datagram.bytes.size(), datagram.from, datagram.fromPort};
    }

    void Detach() { m_transport = nullptr; }

    FakeTransport* m_transport;
    const int number;
    std::optional<Ipv4Net> address;  // nothing while unbound: then it receives at any address
    std::uint16_t port = 0;
    std::deque<Pending> inbox;
};

FakeTransport::~FakeTransport() {
    for (Socket* socket : m_sockets) socket->Detach();
}

void FakeTransport::Deliver(Clock::TimePoint at, Ipv4Net to, std::uint16_t toPort, std::vector<std::uint8_t> bytes,
                            Ipv4Net from, std::uint16_t fromPort) {
    m_pending.push_back(Pending{at, to, toPort, std::move(bytes), from, fromPort});
}

std::unique_ptr<DatagramSocket> FakeTransport::Open(const SocketOptions&) {
    if (openLimit >= 0 && opened >= openLimit) return nullptr;
    auto socket = std::make_unique<Socket>(this, ++opened);
    m_sockets.push_back(socket.get());
    ++openSockets;
    return socket;
}

std::vector<FakeTransport::Socket*> FakeTransport::Destinations(Ipv4Net to, std::uint16_t port) const {
    std::vector<Socket*> exact;
    std::vector<Socket*> any;
    for (Socket* socket : m_sockets) {
        if (socket->port != port) continue;
        if (!socket->address || *socket->address == ToNet(ANY_ADDRESS)) {
            any.push_back(socket);
        } else if (*socket->address == to || (windowsBroadcast && to == ToNet(BROADCAST_ADDRESS))) {
            exact.push_back(socket);
        }
    }
    if (to == ToNet(BROADCAST_ADDRESS)) {
        any.insert(any.end(), exact.begin(), exact.end());
        return any;
    }
    if (exact.empty()) return any;
    return {exact.front()};
}

void FakeTransport::Arrive() {
    std::stable_sort(m_pending.begin(), m_pending.end(),
                     [](const Pending& a, const Pending& b) { return a.at < b.at; });
    auto due = m_pending.begin();
    while (due != m_pending.end() && due->at <= m_clock.Now()) {
        for (Socket* socket : Destinations(due->to, due->toPort)) socket->inbox.push_back(*due);
        ++due;
    }
    m_pending.erase(m_pending.begin(), due);
}

bool FakeTransport::WaitReadable(const std::vector<DatagramSocket*>& sockets, Clock::TimePoint deadline) {
    const auto anyWaiting = [&] {
        return std::any_of(sockets.begin(), sockets.end(),
                           [](DatagramSocket* s) { return s != nullptr && !static_cast<Socket*>(s)->inbox.empty(); });
    };
    for (;;) {
        Arrive();
        if (anyWaiting()) {
            ++wakeUps;
            return true;
        }
        if (m_pending.empty() || m_pending.front().at > deadline) break;
        m_clock.Advance(m_pending.front().at);
    }
    m_clock.Advance(deadline);
    return false;
}

std::optional<std::vector<AddressRow>> FakeTransport::ReadAddressTable(std::size_t maxRows) {
    if (!addresses || addresses->size() > maxRows) return std::nullopt;
    return addresses;
}

void FakeTransport::Forget(Socket* socket) {
    m_sockets.erase(std::remove(m_sockets.begin(), m_sockets.end(), socket), m_sockets.end());
    --openSockets;
}

}  // namespace pelmora::test
