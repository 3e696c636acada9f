#pragma once
// A transport without a network, on a FakeClock. Datagrams are scheduled to arrive at a time and an
// address; they reach the socket bound to that address and port, or, for 255.255.255.255 or an address
// no socket is bound to, the sockets bound to 0.0.0.0 and that port, as on Linux. Every send is recorded,
// and a responder can answer it. WaitReadable moves the clock to the next arrival or to the deadline.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Transport.h"
#include "tests/support/FakeClock.h"

namespace pelmora::test {

struct FakeSend {
    Clock::TimePoint at;
    int socket = 0;                       // the socket's number, in the order they were opened, from 1
    std::optional<Ipv4Net> boundAddress;  // nothing for a socket never bound
    std::uint16_t boundPort = 0;          // an ephemeral port for a socket never bound
    Ipv4Net to;
    std::uint16_t toPort = 0;
    std::vector<std::uint8_t> bytes;  // header and payload as one datagram
};

class FakeTransport final : public Transport {
public:
    explicit FakeTransport(FakeClock& clock) : m_clock(clock) {}
    ~FakeTransport() override;

    // What ReadAddressTable returns (within maxRows); nothing stands for a table that cannot be read.
    std::optional<std::vector<AddressRow>> addresses = std::vector<AddressRow>{};
    // Open fails once this many sockets have been opened; -1 never.
    int openLimit = -1;
    // What a send returns; Sent when unset. A failed send is still recorded.
    std::function<SendResult(const FakeSend&)> sendResult;
    // Called after every successful send, to schedule answers with Deliver.
    std::function<void(const FakeSend&)> respond;
    // The time each Receive call takes: a flood of datagrams then takes time to read.
    Clock::Duration receiveCost{0};
    // Deliver broadcasts as Windows does, to address-bound sockets too, instead of as Linux does.
    bool windowsBroadcast = false;

    // A datagram that arrives at `at` for to:toPort, from from:fromPort.
    void Deliver(Clock::TimePoint at, Ipv4Net to, std::uint16_t toPort, std::vector<std::uint8_t> bytes, Ipv4Net from,
                 std::uint16_t fromPort);

    std::vector<FakeSend> sent;
    int opened = 0;
    int wakeUps = 0;      // WaitReadable calls that returned true
    int received = 0;     // datagrams handed out by Receive
    int openSockets = 0;  // sockets not yet destroyed

    std::unique_ptr<DatagramSocket> Open(const SocketOptions& options) override;
    bool WaitReadable(const std::vector<DatagramSocket*>& sockets, Clock::TimePoint deadline) override;
    std::optional<std::vector<AddressRow>> ReadAddressTable(std::size_t maxRows) override;
    bool BoundSocketsHearBroadcast() const override { return windowsBroadcast; }

    class Socket;

private:
    struct Pending {
        Clock::TimePoint at;
        Ipv4Net to;
        std::uint16_t toPort;
        std::vector<std::uint8_t> bytes;
        Ipv4Net from;
        std::uint16_t fromPort;
    };
    // The sockets a datagram for to:port goes to.
    std::vector<Socket*> Destinations(Ipv4Net to, std::uint16_t port) const;
    // Hands every datagram that has arrived by now to its sockets.
    void Arrive();
    void Forget(Socket* socket);
    friend class Socket;

    FakeClock& m_clock;
    std::vector<Pending> m_pending;
    std::vector<Socket*> m_sockets;
};

}  // namespace pelmora::test
