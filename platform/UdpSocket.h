#pragma once
// IPv4 UDP sockets owned by RAII objects: the socket layer that the scan, the wink and the
// configuration write use. Failures are results; nothing here throws. Linux: POSIX sockets; Windows:
// Windows Sockets 2, once the process's SocketLayer has started.
//
// Receiving at the device port on Linux. A socket bound to a local address receives only unicasts
// to that address; broadcasts (255.255.255.255 or a subnet broadcast) reach only sockets bound to
// 0.0.0.0. A scan that must hear both opens, with OpenPortSocket:
//   - one socket per local address, bound to address:DEVICE_PORT: it sends the request out of that
//     address's interface and receives the unicast replies to that address;
//   - one socket bound to 0.0.0.0:DEVICE_PORT: it receives the broadcast replies (and unicasts to
//     any local address that has no socket of its own). It also hears the scan's own broadcast
//     requests, which the reply checks drop.
// All of them carry SO_REUSEADDR (set by OpenPortSocket), without which the address-bound sockets
// and the 0.0.0.0 socket cannot share the port. A unicast goes to exactly one socket, the one bound
// to its destination address; a broadcast goes to every 0.0.0.0 socket, so replies are not doubled.
//
// Windows delivers a broadcast to every socket bound to an address of the link it came in on, so
// there the per-address sockets hear broadcast replies themselves (BoundSocketsHearBroadcast). There every
// bind is exclusive (SO_EXCLUSIVEADDRUSE) and SO_REUSEADDR is never set: sockets on different local
// addresses share the port without it, and no other program can bind over ours.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/BufferPart.h"
#include "base/Ipv4.h"
#include "platform/Transport.h"

namespace pelmora {

// The system's handle of a socket: a file descriptor on Linux, a SOCKET on Windows; -1 for none.
using NativeSocket = std::intptr_t;

// Whether a socket bound to a local address also receives the broadcasts of that address's link.
bool BoundSocketsHearBroadcast();

class UdpSocket {
public:
    // A new IPv4 UDP socket, or nothing when the system refuses one.
    static std::optional<UdpSocket> Create();

    UdpSocket(UdpSocket&& other) noexcept;
    UdpSocket& operator=(UdpSocket&& other) noexcept;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    ~UdpSocket();

    bool SetBroadcast();
    bool SetReuseAddress();  // several sockets share the device port (Linux; Windows needs nothing)
    bool SetNonBlocking();
    bool SetReceiveBufferSize(int bytes);
    bool Bind(Ipv4Net address, std::uint16_t port);

    // Sends header and payload as one datagram (sendmsg with an iovec pair).
    SendResult SendTo(const BufferPart (&parts)[2], Ipv4Net address, std::uint16_t port);

    using Received = ReceivedDatagram;
    // Non-blocking receive into the caller's buffer. Nothing when no datagram is waiting, on error,
    // and for a datagram larger than the buffer (it is taken off the queue and dropped).
    std::optional<Received> Receive(std::uint8_t* buffer, std::size_t capacity);

    // The local port; nothing before the socket has one (not bound and nothing sent yet).
    std::optional<std::uint16_t> LocalPort() const;
    NativeSocket Descriptor() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    void Close();

private:
    explicit UdpSocket(NativeSocket fd) : m_fd(fd) {}
    NativeSocket m_fd = -1;
};

// A non-blocking socket with SO_BROADCAST and SO_REUSEADDR, bound to address:port; nothing when any
// step fails. The building block of the receiving set-up described above.
std::optional<UdpSocket> OpenPortSocket(Ipv4Net address, std::uint16_t port);

// One wait of at most timeoutMs for one of the sockets to become readable: how many are, 0 when none is
// (a signal also gives 0), -1 when the wait failed. The OS's own call; WaitReadable loops over it.
int PollOnce(const std::vector<const UdpSocket*>& sockets, int timeoutMs);

// Waits until at least one of the sockets is readable (or holds an error to collect) or the deadline
// passes; true in the first case. A signal does not cut the wait short. Null entries and closed
// sockets are ignored.
bool WaitReadable(const std::vector<const UdpSocket*>& sockets, std::chrono::steady_clock::time_point deadline);

}  // namespace pelmora
