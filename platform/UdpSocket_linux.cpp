#include "platform/UdpSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pelmora {

namespace {

sockaddr_in MakeAddress(Ipv4Net address, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = address.value;
    return sa;
}

bool SetFlag(int fd, int option, int value) { return setsockopt(fd, SOL_SOCKET, option, &value, sizeof value) == 0; }

int Fd(NativeSocket socket) { return static_cast<int>(socket); }

}  // namespace

bool BoundSocketsHearBroadcast() { return false; }

std::optional<UdpSocket> UdpSocket::Create() {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0) return std::nullopt;
    return UdpSocket(fd);
}

void UdpSocket::Close() {
    if (m_fd >= 0) {
        ::close(Fd(m_fd));
        m_fd = -1;
    }
}

bool UdpSocket::SetBroadcast() { return m_fd >= 0 && SetFlag(Fd(m_fd), SO_BROADCAST, 1); }

bool UdpSocket::SetReuseAddress() { return m_fd >= 0 && SetFlag(Fd(m_fd), SO_REUSEADDR, 1); }

bool UdpSocket::SetReceiveBufferSize(int bytes) {
    return m_fd >= 0 && bytes > 0 && SetFlag(Fd(m_fd), SO_RCVBUF, bytes);
}

bool UdpSocket::SetNonBlocking() {
    if (m_fd < 0) return false;
    const int flags = fcntl(Fd(m_fd), F_GETFL);
    return flags >= 0 && fcntl(Fd(m_fd), F_SETFL, flags | O_NONBLOCK) == 0;
}

bool UdpSocket::Bind(Ipv4Net address, std::uint16_t port) {
    if (m_fd < 0) return false;
    const sockaddr_in sa = MakeAddress(address, port);
    return bind(Fd(m_fd), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
}

SendResult UdpSocket::SendTo(const BufferPart (&parts)[2], Ipv4Net address, std::uint16_t port) {
    if (m_fd < 0) return SendResult::Failed;
    sockaddr_in sa = MakeAddress(address, port);
    iovec iov[2];
    std::size_t total = 0;
    for (std::size_t i = 0; i < 2; ++i) {
        iov[i].iov_base = parts[i].data;
        iov[i].iov_len = parts[i].data != nullptr ? parts[i].length : 0;
        total += iov[i].iov_len;
    }
    msghdr msg{};
    msg.msg_name = &sa;
    msg.msg_namelen = sizeof sa;
    msg.msg_iov = iov;
    msg.msg_iovlen = 2;
    ssize_t sent = -1;
    do {
        sent = sendmsg(Fd(m_fd), &msg, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) return errno == ENETUNREACH ? SendResult::NoRoute : SendResult::Failed;
    return static_cast<std::size_t>(sent) == total ? SendResult::Sent : SendResult::Failed;
}

// NOLINTNEXTLINE(readability-non-const-parameter): recvmsg writes the datagram through the iovec into buffer.
std::optional<UdpSocket::Received> UdpSocket::Receive(std::uint8_t* buffer, std::size_t capacity) {
    if (m_fd < 0) return std::nullopt;
    sockaddr_in from{};
    iovec iov{buffer, capacity};
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    ssize_t got = -1;
    do {
        got = recvmsg(Fd(m_fd), &msg, MSG_DONTWAIT);
    } while (got < 0 && errno == EINTR);
    // The kernel has already discarded the rest of an oversized datagram; a partial one is no datagram.
    if (got < 0 || (msg.msg_flags & MSG_TRUNC) != 0) return std::nullopt;
    Received received;
    received.length = static_cast<std::size_t>(got);
    received.from.value = from.sin_addr.s_addr;
    received.fromPort = ntohs(from.sin_port);
    return received;
}

std::optional<std::uint16_t> UdpSocket::LocalPort() const {
    if (m_fd < 0) return std::nullopt;
    sockaddr_in sa{};
    socklen_t length = sizeof sa;
    if (getsockname(Fd(m_fd), reinterpret_cast<sockaddr*>(&sa), &length) != 0 || sa.sin_port == 0) return std::nullopt;
    return ntohs(sa.sin_port);
}

int PollOnce(const std::vector<const UdpSocket*>& sockets, int timeoutMs) {
    std::vector<pollfd> fds;
    fds.reserve(sockets.size());
    for (const UdpSocket* s : sockets)
        if (s != nullptr && s->IsOpen()) fds.push_back(pollfd{Fd(s->Descriptor()), POLLIN, 0});
    const int ready = poll(fds.data(), fds.size(), timeoutMs);
    if (ready < 0) return errno == EINTR ? 0 : -1;
    return ready;
}

}  // namespace pelmora
