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

bool WaitReadable(const std::vector<const UdpSocket*>& sockets, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        const auto remaining = deadline > now ? deadline - now : std::chrono::steady_clock::duration::zero();
        // Rounded up, so the wait never ends just short of the deadline and spins.
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(remaining).count();
        const int ready = PollOnce(sockets, ms > 60000 ? 60000 : static_cast<int>(ms));
        // An error condition also counts: the next Receive collects it and the wait does not spin on it.
        if (ready > 0) return true;
        if (ready < 0) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
    }
}

}  // namespace pelmora
