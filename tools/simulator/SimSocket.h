#pragma once
// The simulator's one UDP socket on 0.0.0.0:26487. It reads each datagram's destination address and
// arrival interface, and answers out of that interface, so a broadcast reply needs no default route.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/Ipv4.h"
#include "tools/simulator/Datagram.h"

namespace pelmora {

// Where a datagram came in: answers leave by the same interface and from the same local address.
struct ArrivalPath {
    int interfaceIndex = 0;
    Ipv4Octets localAddress;
};

class SimSocket {
public:
    SimSocket() = default;
    SimSocket(const SimSocket&) = delete;
    SimSocket& operator=(const SimSocket&) = delete;
    ~SimSocket();

    // Non-blocking, SO_REUSEADDR, SO_BROADCAST, IP_PKTINFO, bound to 0.0.0.0:port. False with error set.
    bool Open(std::uint16_t port, std::string& error);
    int Descriptor() const { return m_fd; }

    struct Datagram {
        std::size_t size = 0;
        bool truncated = false;
        Ipv4Octets from;
        std::uint16_t fromPort = 0;
        Ipv4Octets to;
        ArrivalPath path;
    };
    // False when nothing is waiting.
    bool Receive(std::uint8_t* buffer, std::size_t capacity, Datagram& datagram);
    // 0 on success, else the errno of the failed send.
    int Send(const pelmora::Datagram& bytes, Ipv4Octets to, std::uint16_t port, const ArrivalPath& path);

private:
    int m_fd = -1;
};

}  // namespace pelmora
