#pragma once
// Sending and receiving for the end-to-end tests: every send first proves that its socket lives in a
// lab namespace, and every receive waits for the datagram instead of sleeping.
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/UdpSocket.h"
#include "protocol/WireFormat.h"
#include "tests/support/Namespaces.h"

namespace pelmora::test {

inline bool SendBytes(UdpSocket& socket, std::vector<std::uint8_t> bytes, Ipv4Net to, std::uint16_t port) {
    AbortUnlessLabSocket(socket.Descriptor(), "test send");
    BufferPart parts[2] = {{static_cast<std::uint32_t>(bytes.size()), bytes.data()}, {0, nullptr}};
    return socket.SendTo(parts, to, port) == SendResult::Sent;
}

struct Datagram {
    std::vector<std::uint8_t> bytes;
    Ipv4Net from;
    std::uint16_t fromPort = 0;
};

// The next datagram that fits the buffer, or nothing when none arrives within the timeout.
inline std::optional<Datagram> ReceiveWithin(UdpSocket& socket, std::chrono::milliseconds timeout,
                                             std::size_t capacity = 2000) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::vector<std::uint8_t> buffer(capacity);
    do {
        if (const auto got = socket.Receive(buffer.data(), buffer.size())) {
            buffer.resize(got->length);
            return Datagram{buffer, got->from, got->fromPort};
        }
    } while (WaitReadable({&socket}, deadline));
    return std::nullopt;
}

// The next datagram from the given sender; datagrams from others (a host's own broadcasts come back to
// it) are read and passed over.
inline std::optional<Datagram> ReceiveFromWithin(UdpSocket& socket, Ipv4Net from, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        auto got = ReceiveWithin(socket, left.count() > 0 ? left : std::chrono::milliseconds(0));
        if (!got || got->from == from) return got;
    }
}

inline Ipv4Net Address(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    return ToNet(Ipv4Octets{{a, b, c, d}});
}

}  // namespace pelmora::test
