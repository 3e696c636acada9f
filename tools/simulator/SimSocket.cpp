#include "tools/simulator/SimSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pelmora {
namespace {

constexpr int RECEIVE_BUFFER_BYTES = 8 * 1024 * 1024;  // a burst of a thousand broadcast replies loops back to us

bool Enable(int fd, int level, int option) {
    const int on = 1;
    return setsockopt(fd, level, option, &on, sizeof on) == 0;
}

sockaddr_in SocketAddress(Ipv4Octets address, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = ToNet(address).value;
    return sa;
}

Ipv4Octets FromInAddr(in_addr address) { return ToOctets(Ipv4Net{address.s_addr}); }

}  // namespace

SimSocket::~SimSocket() {
    if (m_fd >= 0) close(m_fd);
}

bool SimSocket::Open(std::uint16_t port, std::string& error) {
    m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_UDP);
    if (m_fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    if (!Enable(m_fd, SOL_SOCKET, SO_REUSEADDR) || !Enable(m_fd, SOL_SOCKET, SO_BROADCAST) ||
        !Enable(m_fd, IPPROTO_IP, IP_PKTINFO)) {
        error = std::string("setsockopt: ") + std::strerror(errno);
        return false;
    }
    // Forcing the size needs CAP_NET_ADMIN; without it the kernel's cap applies.
    if (setsockopt(m_fd, SOL_SOCKET, SO_RCVBUFFORCE, &RECEIVE_BUFFER_BYTES, sizeof RECEIVE_BUFFER_BYTES) != 0) {
        setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &RECEIVE_BUFFER_BYTES, sizeof RECEIVE_BUFFER_BYTES);
    }
    const sockaddr_in any = SocketAddress(Ipv4Octets{}, port);
    if (bind(m_fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        error = "bind 0.0.0.0:" + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// NOLINTNEXTLINE(readability-non-const-parameter): recvmsg writes the datagram through the iovec into buffer.
bool SimSocket::Receive(std::uint8_t* buffer, std::size_t capacity, Datagram& datagram) {
    sockaddr_in from{};
    iovec part{buffer, capacity};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t received = recvmsg(m_fd, &message, MSG_TRUNC);
    if (received < 0) return false;
    datagram = Datagram{};
    datagram.truncated = (message.msg_flags & MSG_TRUNC) != 0;
    datagram.size = datagram.truncated ? capacity : static_cast<std::size_t>(received);
    datagram.from = FromInAddr(from.sin_addr);
    datagram.fromPort = ntohs(from.sin_port);
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            datagram.to = FromInAddr(info.ipi_addr);
            datagram.path.interfaceIndex = info.ipi_ifindex;
            datagram.path.localAddress = FromInAddr(info.ipi_spec_dst);
        }
    }
    return true;
}

int SimSocket::Send(const pelmora::Datagram& bytes, Ipv4Octets to, std::uint16_t port, const ArrivalPath& path) {
    sockaddr_in destination = SocketAddress(to, port);
    iovec part{const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = &destination;
    message.msg_namelen = sizeof destination;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    if (path.interfaceIndex > 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* c = CMSG_FIRSTHDR(&message);
        c->cmsg_level = IPPROTO_IP;
        c->cmsg_type = IP_PKTINFO;
        c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = path.interfaceIndex;
        info.ipi_spec_dst.s_addr = ToNet(path.localAddress).value;
        std::memcpy(CMSG_DATA(c), &info, sizeof info);
    }
    constexpr int MAX_WAITS = 20;
    for (int waits = 0;;) {
        if (sendmsg(m_fd, &message, 0) >= 0) return 0;
        const int failure = errno;
        if (failure == EINTR) continue;
        if ((failure == EAGAIN || failure == EWOULDBLOCK || failure == ENOBUFS) && waits++ < MAX_WAITS) {
            // The socket is non-blocking for receiving; a full send queue is worth a short wait, not a loss.
            pollfd wait{m_fd, POLLOUT, 0};
            poll(&wait, 1, 100);
            continue;
        }
        return failure;
    }
}

}  // namespace pelmora
