#include "platform/UdpTransport.h"

#include <utility>

#include "platform/UdpSocket.h"

namespace pelmora {

namespace {

class UdpDatagramSocket final : public DatagramSocket {
public:
    explicit UdpDatagramSocket(UdpSocket socket) : m_socket(std::move(socket)) {}

    bool Bind(Ipv4Net address, std::uint16_t port) override { return m_socket.Bind(address, port); }
    SendResult SendTo(const BufferPart (&parts)[2], Ipv4Net address, std::uint16_t port) override {
        return m_socket.SendTo(parts, address, port);
    }
    std::optional<ReceivedDatagram> Receive(std::uint8_t* buffer, std::size_t capacity) override {
        return m_socket.Receive(buffer, capacity);
    }

    const UdpSocket& Socket() const { return m_socket; }

private:
    UdpSocket m_socket;
};

}  // namespace

std::unique_ptr<DatagramSocket> UdpTransport::Open(const SocketOptions& options) {
    auto socket = UdpSocket::Create();
    if (!socket) return nullptr;
    socket->SetBroadcast();
    socket->SetNonBlocking();
    if (options.reuseAddress) socket->SetReuseAddress();
    if (options.receiveBuffer > 0) socket->SetReceiveBufferSize(options.receiveBuffer);
    return std::make_unique<UdpDatagramSocket>(std::move(*socket));
}

bool UdpTransport::WaitReadable(const std::vector<DatagramSocket*>& sockets, Clock::TimePoint deadline) {
    std::vector<const UdpSocket*> waitSet;
    waitSet.reserve(sockets.size());
    // Every socket this transport hands out is one of its own.
    for (DatagramSocket* socket : sockets)
        if (socket != nullptr) waitSet.push_back(&static_cast<UdpDatagramSocket*>(socket)->Socket());
    return pelmora::WaitReadable(waitSet, deadline);
}

std::optional<std::vector<AddressRow>> UdpTransport::ReadAddressTable(std::size_t maxRows) {
    return ReadIpv4AddressTable(maxRows);
}

bool UdpTransport::BoundSocketsHearBroadcast() const { return pelmora::BoundSocketsHearBroadcast(); }

}  // namespace pelmora
