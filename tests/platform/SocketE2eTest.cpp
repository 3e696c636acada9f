#include <gtest/gtest.h>

#include <numeric>

#include "tests/platform/SocketHelpers.h"
#include "tests/support/LabTest.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

const Ipv4Net LOOPBACK = Address(127, 0, 0, 1);

class SocketE2e : public LabTest {};

// A receiver on loopback with the port the system chose.
std::optional<UdpSocket> LoopbackReceiver(std::uint16_t& port) {
    auto socket = OpenPortSocket(LOOPBACK, 0);
    if (socket) port = socket->LocalPort().value_or(0);
    return socket;
}

TEST_F(SocketE2e, TwoBuffersLeaveAsOneDatagram) {
    std::uint16_t port = 0;
    auto receiver = LoopbackReceiver(port);
    ASSERT_TRUE(receiver);
    ASSERT_NE(port, 0);
    auto sender = UdpSocket::Create();
    ASSERT_TRUE(sender);
    AbortUnlessLabSocket(sender->Descriptor(), "two-buffer send");

    std::uint8_t header[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::uint8_t payload[3] = {0x00, 0x03, 0xAA};
    BufferPart parts[2] = {{sizeof header, header}, {sizeof payload, payload}};
    ASSERT_EQ(sender->SendTo(parts, LOOPBACK, port), SendResult::Sent);
    const auto got = ReceiveWithin(*receiver, 2s);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->bytes, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 0x00, 0x03, 0xAA}));
    EXPECT_EQ(got->from, LOOPBACK);
    EXPECT_EQ(got->fromPort, sender->LocalPort().value_or(0));
    EXPECT_FALSE(ReceiveWithin(*receiver, 100ms)) << "the two parts must not arrive as two datagrams";

    // An empty second part (a header-only packet) is still one datagram of the first part's length.
    BufferPart headerOnly[2] = {{sizeof header, header}, {0, nullptr}};
    ASSERT_EQ(sender->SendTo(headerOnly, LOOPBACK, port), SendResult::Sent);
    const auto second = ReceiveWithin(*receiver, 2s);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->bytes.size(), sizeof header);
}

TEST_F(SocketE2e, DatagramLargerThanTheBufferIsDroppedAndTheNextArrives) {
    std::uint16_t port = 0;
    auto receiver = LoopbackReceiver(port);
    ASSERT_TRUE(receiver);
    auto sender = UdpSocket::Create();
    ASSERT_TRUE(sender);
    std::vector<std::uint8_t> tooLong(2001);
    std::iota(tooLong.begin(), tooLong.end(), std::uint8_t{0});
    std::vector<std::uint8_t> exact(2000, 0x5A);
    ASSERT_TRUE(SendBytes(*sender, tooLong, LOOPBACK, port));
    ASSERT_TRUE(SendBytes(*sender, exact, LOOPBACK, port));

    std::vector<std::uint8_t> buffer(2000);
    ASSERT_TRUE(WaitReadable({&*receiver}, std::chrono::steady_clock::now() + 2s));
    EXPECT_FALSE(receiver->Receive(buffer.data(), buffer.size())) << "a cut datagram must not be delivered";
    const auto next = ReceiveWithin(*receiver, 2s);
    ASSERT_TRUE(next) << "the datagram after the dropped one must arrive";
    EXPECT_EQ(next->bytes, exact);
    EXPECT_FALSE(ReceiveWithin(*receiver, 100ms));
}

// The receiving set-up that UdpSocket.h recommends for the scan, with a device answering both ways.
TEST_F(SocketE2e, ScanSocketsHearUnicastsToTheLocalAddressAndBroadcasts) {
    const Ipv4Net pc = Lab::DefaultPcAddress();
    const Ipv4Net device = Lab::DeviceAddress(1);
    auto perAddress = OpenPortSocket(pc, DEVICE_PORT);
    auto anyAddress = OpenPortSocket(ToNet(ANY_ADDRESS), DEVICE_PORT);
    ASSERT_TRUE(perAddress) << "address-bound socket on the device port";
    ASSERT_TRUE(anyAddress) << "0.0.0.0 socket on the same port (needs SO_REUSEADDR on both)";

    std::optional<UdpSocket> deviceSocket;
    InNode("dev1", [&] { deviceSocket = OpenPortSocket(ToNet(ANY_ADDRESS), DEVICE_PORT); });
    ASSERT_TRUE(deviceSocket);

    ASSERT_TRUE(SendBytes(*deviceSocket, {0x00, 0x03, 0x01}, pc, DEVICE_PORT));
    const auto unicast = ReceiveWithin(*perAddress, 2s);
    ASSERT_TRUE(unicast) << "unicast reply to the PC's address";
    EXPECT_EQ(unicast->bytes, (std::vector<std::uint8_t>{0x00, 0x03, 0x01}));
    EXPECT_EQ(unicast->from, device);
    EXPECT_EQ(unicast->fromPort, DEVICE_PORT);
    EXPECT_FALSE(ReceiveWithin(*anyAddress, 100ms)) << "a unicast goes to the address-bound socket only";

    ASSERT_TRUE(SendBytes(*deviceSocket, {0x00, 0x03, 0x02}, ToNet(BROADCAST_ADDRESS), DEVICE_PORT));
    const auto limited = ReceiveWithin(*anyAddress, 2s);
    ASSERT_TRUE(limited) << "broadcast reply to 255.255.255.255";
    EXPECT_EQ(limited->bytes, (std::vector<std::uint8_t>{0x00, 0x03, 0x02}));
    EXPECT_EQ(limited->from, device);
    EXPECT_FALSE(ReceiveWithin(*perAddress, 100ms)) << "Linux gives broadcasts to 0.0.0.0 sockets only";

    ASSERT_TRUE(SendBytes(*deviceSocket, {0x00, 0x03, 0x03}, Address(192, 168, 92, 255), DEVICE_PORT));
    const auto directed = ReceiveWithin(*anyAddress, 2s);
    ASSERT_TRUE(directed) << "broadcast reply to the subnet's broadcast address";
    EXPECT_EQ(directed->bytes, (std::vector<std::uint8_t>{0x00, 0x03, 0x03}));

    // The request side: a broadcast from the address-bound socket reaches the device from the device
    // port, and the PC's own 0.0.0.0 socket hears it too.
    ASSERT_TRUE(SendBytes(*perAddress, {0x00, 0x00}, ToNet(BROADCAST_ADDRESS), DEVICE_PORT));
    const auto request = ReceiveFromWithin(*deviceSocket, pc, 2s);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->bytes, (std::vector<std::uint8_t>{0x00, 0x00}));
    EXPECT_EQ(request->fromPort, DEVICE_PORT);
    const auto echo = ReceiveFromWithin(*anyAddress, pc, 2s);
    ASSERT_TRUE(echo) << "the PC hears its own broadcast request";
    EXPECT_EQ(echo->from, pc);
}

}  // namespace
}  // namespace pelmora::test
