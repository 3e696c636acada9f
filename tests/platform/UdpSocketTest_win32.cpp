// Windows Sockets as the scan uses them, on loopback only: the gathered send, a datagram larger than the
// buffer, a receive after a send that nobody took, and a port that no other socket can bind over.
#include <gtest/gtest.h>

#include <vector>

#include "platform/SocketLayer.h"
#include "platform/UdpSocket.h"
#include "platform/Win32Headers_win32.h"

namespace pelmora {
namespace {

using namespace std::chrono_literals;

const Ipv4Net LOOPBACK = ToNet(Ipv4Octets{{127, 0, 0, 1}});

class Win32Socket : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(layer.Started()); }

    // A non-blocking socket bound to loopback on a port the system picks.
    static UdpSocket Bound() {
        auto socket = UdpSocket::Create();
        EXPECT_TRUE(socket && socket->SetNonBlocking() && socket->Bind(LOOPBACK, 0));
        return std::move(*socket);
    }
    static SendResult Send(UdpSocket& from, std::vector<std::uint8_t> head, std::vector<std::uint8_t> body,
                           const UdpSocket& to) {
        BufferPart parts[2] = {{static_cast<std::uint32_t>(head.size()), head.data()},
                               {static_cast<std::uint32_t>(body.size()), body.data()}};
        return from.SendTo(parts, LOOPBACK, *to.LocalPort());
    }
    // The next datagram, waiting for it up to a generous bound.
    static std::optional<std::vector<std::uint8_t>> Next(UdpSocket& socket, std::size_t capacity) {
        std::vector<std::uint8_t> buffer(capacity);
        if (!WaitReadable({&socket}, std::chrono::steady_clock::now() + 5s)) return std::nullopt;
        const auto got = socket.Receive(buffer.data(), buffer.size());
        if (!got) return std::vector<std::uint8_t>{};
        buffer.resize(got->length);
        return buffer;
    }

    SocketLayer layer;
};

TEST_F(Win32Socket, HeaderAndPayloadGoAsOneDatagramAndAnOversizedOneIsDroppedWhole) {
    UdpSocket sender = Bound();
    UdpSocket receiver = Bound();
    ASSERT_EQ(Send(sender, {1, 2, 3}, {4, 5}, receiver), SendResult::Sent);
    EXPECT_EQ(Next(receiver, 16), (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));

    ASSERT_EQ(Send(sender, std::vector<std::uint8_t>(8, 7), std::vector<std::uint8_t>(8, 9), receiver),
              SendResult::Sent);
    EXPECT_EQ(Next(receiver, 10), std::vector<std::uint8_t>{}) << "cut short is no datagram";
    ASSERT_EQ(Send(sender, {6}, {}, receiver), SendResult::Sent);
    EXPECT_EQ(Next(receiver, 10), (std::vector<std::uint8_t>{6})) << "the oversized datagram left the queue";
}

TEST_F(Win32Socket, ASendNobodyTookDoesNotStopTheSocketReceiving) {
    UdpSocket socket = Bound();
    UdpSocket gone = Bound();
    ASSERT_EQ(Send(socket, {1}, {}, gone), SendResult::Sent);
    gone.Close();
    UdpSocket closedPort = Bound();
    const std::uint16_t port = *closedPort.LocalPort();
    closedPort.Close();
    std::uint8_t byte = 0;
    BufferPart parts[2] = {{1, &byte}, {0, nullptr}};
    ASSERT_EQ(socket.SendTo(parts, LOOPBACK, port), SendResult::Sent);
    std::uint8_t buffer[4];
    EXPECT_FALSE(socket.Receive(buffer, sizeof buffer)) << "no error report stands in for a datagram";

    UdpSocket peer = Bound();
    ASSERT_EQ(Send(peer, {8}, {}, socket), SendResult::Sent);
    EXPECT_EQ(Next(socket, 4), (std::vector<std::uint8_t>{8}));
}

TEST_F(Win32Socket, WaitEndsAtThePassedDeadlineAndAClosedSocketRefusesEverything) {
    UdpSocket socket = Bound();
    EXPECT_FALSE(WaitReadable({&socket}, std::chrono::steady_clock::now() - 1s));
    EXPECT_FALSE(WaitReadable({nullptr}, std::chrono::steady_clock::now() + 10ms));
    socket.Close();
    std::uint8_t byte = 0;
    BufferPart parts[2] = {{1, &byte}, {0, nullptr}};
    EXPECT_FALSE(socket.SetBroadcast());
    EXPECT_FALSE(socket.Bind(LOOPBACK, 0));
    EXPECT_EQ(socket.SendTo(parts, LOOPBACK, 9), SendResult::Failed);
    EXPECT_FALSE(socket.Receive(&byte, 1));
}

// Another program's socket with SO_REUSEADDR, bound to the same address and port, would get the replies.
// (The scan's sharing of the port by sockets on different local addresses needs two addresses: the
// Windows scan's end-to-end test in the lab shows it.)
TEST_F(Win32Socket, APortSocketsAddressAndPortCannotBeTakenOver) {
    auto held = OpenPortSocket(LOOPBACK, 0);
    ASSERT_TRUE(held);
    const std::uint16_t port = *held->LocalPort();

    const SOCKET intruder = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    ASSERT_NE(intruder, INVALID_SOCKET);
    const BOOL reuse = TRUE;
    setsockopt(intruder, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = LOOPBACK.value;
    EXPECT_NE(bind(intruder, reinterpret_cast<const sockaddr*>(&sa), sizeof sa), 0);
    sa.sin_addr.s_addr = INADDR_ANY;
    EXPECT_NE(bind(intruder, reinterpret_cast<const sockaddr*>(&sa), sizeof sa), 0) << "nor the wildcard over it";
    closesocket(intruder);
}

}  // namespace
}  // namespace pelmora
