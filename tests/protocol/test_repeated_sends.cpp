// The wink and the repeated send on a fake transport and clock: two identical datagrams REPEAT_PAUSE apart
// from the device port, and the path through every link when a broadcast has no route.
#include <gtest/gtest.h>

#include "protocol/PacketEnvelope.h"
#include "protocol/SendTwice.h"
#include "protocol/Wink.h"
#include "protocol/WireFormat.h"
#include "tests/support/FakeTransport.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

Ipv4Net Net(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) { return ToNet(Ipv4Octets{{a, b, c, d}}); }

std::vector<std::uint8_t> Opened(std::vector<std::uint8_t> datagram) {
    auto length = static_cast<std::uint32_t>(datagram.size());
    const std::uint8_t* payload = OpenPacket(datagram.data(), length);
    if (payload == nullptr) return {};
    return std::vector<std::uint8_t>(payload, payload + length);
}

class RepeatedSendTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakeTransport transport{clock};
    const Clock::TimePoint start = clock.Now();
};

TEST_F(RepeatedSendTest, WinkGoesTwiceFromTheDevicePortRepeatPauseApart) {
    const ElementList list = {reply::DEVICE_NAME.tag, 1, 'X', reply::MAC.tag, 6, 0x00, 0x50, 0xC2, 0x8F, 0x10, 0x07};
    SendWink(transport, clock, list, BROADCAST_ADDRESS);
    ASSERT_EQ(transport.sent.size(), 2u);
    for (const FakeSend& send : transport.sent) {
        EXPECT_EQ(send.boundAddress, ToNet(ANY_ADDRESS));
        EXPECT_EQ(send.boundPort, DEVICE_PORT);
        EXPECT_EQ(send.to, ToNet(BROADCAST_ADDRESS));
        EXPECT_EQ(send.toPort, DEVICE_PORT);
        EXPECT_EQ(send.bytes.size(), 17u);
    }
    EXPECT_EQ(transport.sent[0].at, start);
    EXPECT_EQ(transport.sent[1].at - start, REPEAT_PAUSE);
    EXPECT_EQ(transport.sent[0].bytes, transport.sent[1].bytes);
    EXPECT_EQ(Opened(transport.sent[0].bytes),
              (std::vector<std::uint8_t>{0x00, CMD_WINK, 0x00, 0x50, 0xC2, 0x8F, 0x10, 0x07, WINK_END}));

    FakeTransport none(clock);
    const Clock::TimePoint before = clock.Now();
    SendWink(none, clock, ElementList{reply::MAC.tag, 5, 1, 2, 3, 4, 5}, BROADCAST_ADDRESS);
    EXPECT_EQ(none.opened, 0) << "a list without a MAC element sends nothing";
    EXPECT_EQ(clock.Now(), before);
}

TEST_F(RepeatedSendTest, WithoutARouteEachSendGoesOnceFromEveryLinkAndNeverFromLoopback) {
    transport.addresses = std::vector<AddressRow>{
        {1, Net(127, 0, 0, 1)}, {2, Net(192, 168, 92, 1)}, {2, Net(192, 168, 92, 50)}, {3, Net(10, 1, 2, 3)}};
    transport.sendResult = [](const FakeSend& send) {
        return send.boundAddress == ToNet(ANY_ADDRESS) ? SendResult::NoRoute : SendResult::Sent;
    };
    const SealedPacket packet({PAYLOAD_LEAD, CMD_WINK});
    ASSERT_TRUE(SendSealedTwice(transport, clock, packet, BROADCAST_ADDRESS));
    std::vector<std::pair<std::optional<Ipv4Net>, Clock::Duration>> sends;
    for (const FakeSend& send : transport.sent) sends.emplace_back(send.boundAddress, send.at - start);
    const std::vector<std::pair<std::optional<Ipv4Net>, Clock::Duration>> expected = {
        {ToNet(ANY_ADDRESS), 0ms},        {Net(192, 168, 92, 1), 0ms},
        {Net(10, 1, 2, 3), 0ms},          {Net(192, 168, 92, 1), REPEAT_PAUSE},
        {Net(10, 1, 2, 3), REPEAT_PAUSE},
    };
    EXPECT_EQ(sends, expected) << "one copy per link and send; the second send goes the same way at once";
}

TEST_F(RepeatedSendTest, OtherFailuresDoNotTakeThePathThroughTheLinks) {
    transport.addresses = std::vector<AddressRow>{{2, Net(192, 168, 92, 1)}};
    transport.sendResult = [](const FakeSend&) { return SendResult::Failed; };
    const SealedPacket packet({PAYLOAD_LEAD, CMD_WINK});
    EXPECT_TRUE(SendSealedTwice(transport, clock, packet, Ipv4Host{0xC0A85C0Au}));
    EXPECT_EQ(transport.opened, 1);
    EXPECT_EQ(transport.sent.size(), 2u);
}

TEST_F(RepeatedSendTest, WithoutASocketNothingIsSentAndThereIsNoPause) {
    transport.openLimit = 0;
    const SealedPacket packet({PAYLOAD_LEAD, CMD_WINK});
    EXPECT_FALSE(SendSealedTwice(transport, clock, packet, BROADCAST_ADDRESS));
    EXPECT_TRUE(transport.sent.empty());
    EXPECT_EQ(clock.Now(), start);
}

}  // namespace
}  // namespace pelmora::test
