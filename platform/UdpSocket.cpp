#include "platform/UdpSocket.h"

namespace pelmora {

UdpSocket::UdpSocket(UdpSocket&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

UdpSocket::~UdpSocket() { Close(); }

std::optional<UdpSocket> OpenPortSocket(Ipv4Net address, std::uint16_t port) {
    auto socket = UdpSocket::Create();
    if (!socket || !socket->SetBroadcast() || !socket->SetReuseAddress() || !socket->SetNonBlocking() ||
        !socket->Bind(address, port))
        return std::nullopt;
    return socket;
}

}  // namespace pelmora
