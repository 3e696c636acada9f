#pragma once
// The narrow seam under the scan, the wink and the configuration write: UDP sockets that bind, send a
// gathered datagram and receive, a wait until one of them is readable, and the local addresses they can
// send from. UdpTransport is the real one; tests use a fake that delivers datagrams on a fake clock.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "base/BufferPart.h"
#include "base/Ipv4.h"
#include "platform/AddressTable.h"
#include "platform/Clock.h"

namespace pelmora {

enum class SendResult {
    Sent,
    NoRoute,  // no route to the destination (ENETUNREACH), as for a broadcast on a PC without a default route
    Failed,
};

struct ReceivedDatagram {
    std::size_t length = 0;
    Ipv4Net from;
    std::uint16_t fromPort = 0;
};

// One non-blocking IPv4 UDP socket with SO_BROADCAST; closed when destroyed.
class DatagramSocket {
public:
    virtual ~DatagramSocket() = default;
    virtual bool Bind(Ipv4Net address, std::uint16_t port) = 0;
    // Header and payload as one datagram.
    virtual SendResult SendTo(const BufferPart (&parts)[2], Ipv4Net address, std::uint16_t port) = 0;
    // The next waiting datagram into the buffer; nothing when none is waiting, on error, and for a datagram
    // larger than the buffer (it is taken off the queue and dropped).
    virtual std::optional<ReceivedDatagram> Receive(std::uint8_t* buffer, std::size_t capacity) = 0;
};

struct SocketOptions {
    bool reuseAddress = false;  // several sockets share the device port
    int receiveBuffer = 0;      // bytes; 0 keeps the system's default
};

class Transport {
public:
    virtual ~Transport() = default;
    // Null when the system refuses a socket. An option that cannot be set is not fatal.
    virtual std::unique_ptr<DatagramSocket> Open(const SocketOptions& options) = 0;
    // True as soon as one of the sockets has a datagram (or an error) to collect; false once the deadline
    // has passed without one.
    virtual bool WaitReadable(const std::vector<DatagramSocket*>& sockets, Clock::TimePoint deadline) = 0;
    // See ReadIpv4AddressTable.
    virtual std::optional<std::vector<AddressRow>> ReadAddressTable(std::size_t maxRows) = 0;
    // See BoundSocketsHearBroadcast in UdpSocket.h: whether the scan needs a listener on 0.0.0.0 too.
    virtual bool BoundSocketsHearBroadcast() const = 0;
};

}  // namespace pelmora
