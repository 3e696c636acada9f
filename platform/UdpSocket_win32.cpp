#include <algorithm>
#include <climits>

#include "platform/UdpSocket.h"
#include "platform/Win32Headers_win32.h"

namespace pelmora {

namespace {

SOCKET Native(NativeSocket socket) { return static_cast<SOCKET>(socket); }

sockaddr_in MakeAddress(Ipv4Net address, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = address.value;
    return sa;
}

bool SetFlag(NativeSocket socket, int option, int value) {
    return setsockopt(Native(socket), SOL_SOCKET, option, reinterpret_cast<const char*>(&value), sizeof value) == 0;
}

}  // namespace

bool BoundSocketsHearBroadcast() { return true; }

std::optional<UdpSocket> UdpSocket::Create() {
    const SOCKET socket = WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (socket == INVALID_SOCKET) return std::nullopt;
    // Windows reports an ICMP port-unreachable for an earlier send as WSAECONNRESET on the next receive
    // of a UDP socket; the scan's sockets must go on receiving after a send to a PC without a listener.
    BOOL report = FALSE;
    DWORD returned = 0;
    WSAIoctl(socket, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr, nullptr);
    return UdpSocket(static_cast<NativeSocket>(socket));
}

void UdpSocket::Close() {
    if (m_fd >= 0) {
        closesocket(Native(m_fd));
        m_fd = -1;
    }
}

bool UdpSocket::SetBroadcast() { return m_fd >= 0 && SetFlag(m_fd, SO_BROADCAST, 1); }

// Windows lets sockets bound to different local addresses share a port as it is; SO_REUSEADDR there would
// let another program bind the same address and port and take the replies.
bool UdpSocket::SetReuseAddress() { return m_fd >= 0; }

bool UdpSocket::SetReceiveBufferSize(int bytes) { return m_fd >= 0 && bytes > 0 && SetFlag(m_fd, SO_RCVBUF, bytes); }

bool UdpSocket::SetNonBlocking() {
    u_long nonBlocking = 1;
    return m_fd >= 0 && ioctlsocket(Native(m_fd), static_cast<long>(FIONBIO), &nonBlocking) == 0;
}

bool UdpSocket::Bind(Ipv4Net address, std::uint16_t port) {
    if (m_fd < 0) return false;
    // No other socket may bind this address and port while this one holds it, nor a wildcard over it.
    if (!SetFlag(m_fd, SO_EXCLUSIVEADDRUSE, 1)) return false;
    const sockaddr_in sa = MakeAddress(address, port);
    return bind(Native(m_fd), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

SendResult UdpSocket::SendTo(const BufferPart (&parts)[2], Ipv4Net address, std::uint16_t port) {
    if (m_fd < 0) return SendResult::Failed;
    const sockaddr_in sa = MakeAddress(address, port);
    WSABUF buffers[2];
    DWORD total = 0;
    for (std::size_t i = 0; i < 2; ++i) {
        buffers[i].buf = reinterpret_cast<char*>(parts[i].data);
        buffers[i].len = parts[i].data != nullptr ? parts[i].length : 0;
        total += buffers[i].len;
    }
    DWORD sent = 0;
    if (WSASendTo(Native(m_fd), buffers, 2, &sent, 0, reinterpret_cast<const sockaddr*>(&sa), sizeof sa, nullptr,
                  nullptr) != 0) {
        const int error = WSAGetLastError();
        return error == WSAENETUNREACH || error == WSAEHOSTUNREACH ? SendResult::NoRoute : SendResult::Failed;
    }
    return sent == total ? SendResult::Sent : SendResult::Failed;
}

// NOLINTNEXTLINE(readability-non-const-parameter): recvfrom writes the datagram into buffer.
std::optional<UdpSocket::Received> UdpSocket::Receive(std::uint8_t* buffer, std::size_t capacity) {
    if (m_fd < 0) return std::nullopt;
    sockaddr_in from{};
    int fromLength = sizeof from;
    const int length = static_cast<int>(std::min<std::size_t>(capacity, INT_MAX));
    const int got = recvfrom(Native(m_fd), reinterpret_cast<char*>(buffer), length, 0,
                             reinterpret_cast<sockaddr*>(&from), &fromLength);
    // An oversized datagram fails with WSAEMSGSIZE after filling the buffer; it is gone from the queue
    // and, cut short, no datagram.
    if (got == SOCKET_ERROR) return std::nullopt;
    Received received;
    received.length = static_cast<std::size_t>(got);
    received.from.value = from.sin_addr.s_addr;
    received.fromPort = ntohs(from.sin_port);
    return received;
}

std::optional<std::uint16_t> UdpSocket::LocalPort() const {
    if (m_fd < 0) return std::nullopt;
    sockaddr_in sa{};
    int length = sizeof sa;
    if (getsockname(Native(m_fd), reinterpret_cast<sockaddr*>(&sa), &length) != 0 || sa.sin_port == 0)
        return std::nullopt;
    return ntohs(sa.sin_port);
}

int PollOnce(const std::vector<const UdpSocket*>& sockets, int timeoutMs) {
    std::vector<WSAPOLLFD> fds;
    fds.reserve(sockets.size());
    for (const UdpSocket* s : sockets)
        if (s != nullptr && s->IsOpen()) fds.push_back(WSAPOLLFD{Native(s->Descriptor()), POLLRDNORM, 0});
    // WSAPoll refuses an empty set; there is nothing to wait for but the time.
    if (fds.empty()) {
        Sleep(static_cast<DWORD>(timeoutMs));
        return 0;
    }
    const int ready = WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), timeoutMs);
    return ready == SOCKET_ERROR ? -1 : ready;
}

}  // namespace pelmora
