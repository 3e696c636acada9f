#pragma once
// IPv4 UDP sockets owned by RAII objects: the socket layer that the scan, the wink and the
// configuration write use. Failures are results; nothing here throws.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "Ipv4.h"

namespace pelmora {

// One part of a gather send: the form the packet envelope fills in (length, then pointer).
struct BufferPart {
    std::uint32_t length = 0;
    std::uint8_t* data = nullptr;
};

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
    bool SetReuseAddress();  // several sockets share the device port
    bool SetNonBlocking();
    bool SetReceiveBufferSize(int bytes);
    bool Bind(Ipv4Net address, std::uint16_t port);

    // Sends header and payload as one datagram (sendmsg with an iovec pair).
    bool SendTo(const BufferPart (&parts)[2], Ipv4Net address, std::uint16_t port);

    struct Received {
        std::size_t length = 0;
        Ipv4Net from;
        std::uint16_t fromPort = 0;
    };
    // Non-blocking receive into the caller's buffer. Nothing when no datagram is waiting, on error,
    // and for a datagram larger than the buffer (it is taken off the queue and dropped).
    std::optional<Received> Receive(std::uint8_t* buffer, std::size_t capacity);

    // The local address and port the socket is bound to.
    std::optional<std::uint16_t> LocalPort() const;
    int Descriptor() const { return m_fd; }
    void Close();

private:
    explicit UdpSocket(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

// Waits until at least one of the sockets is readable or the deadline passes. True when one is readable.
bool WaitReadable(const std::vector<const UdpSocket*>& sockets, std::chrono::steady_clock::time_point deadline);

}  // namespace pelmora
