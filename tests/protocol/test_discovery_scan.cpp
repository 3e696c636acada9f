// The scan's loops on a fake transport and clock: the sends and their order, the two windows and their
// lengths, a burst taken in one wake-up, a flood that cannot stretch a window, the 256 cap.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "protocol/DiscoveryScan.h"
#include "protocol/PacketEnvelope.h"
#include "protocol/WireFormat.h"
#include "tests/support/FakeTransport.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

const Ipv4Net PC = ToNet(Ipv4Octets{{192, 168, 92, 1}});
const Ipv4Net LOOPBACK = ToNet(Ipv4Octets{{127, 0, 0, 1}});
const Ipv4Net DEVICE = ToNet(Ipv4Octets{{192, 168, 92, 10}});

// A sealed discovery reply of the device whose MAC ends in `id` (two bytes).
std::vector<std::uint8_t> SealedReply(int id) {
    ElementList list;
    const std::uint8_t mac[6] = {0x02, 0, 0, 0, static_cast<std::uint8_t>(id >> 8), static_cast<std::uint8_t>(id)};
    AppendElement(list, reply::MAC.tag, mac, reply::MAC.width);
    std::vector<std::uint8_t> payload{PAYLOAD_LEAD, CMD_DISCOVERY_REPLY};
    payload.insert(payload.end(), list.begin(), list.end());
    const SealedPacket packet(payload);
    std::vector<std::uint8_t> bytes;
    for (const BufferPart& part : packet.Parts()) bytes.insert(bytes.end(), part.data, part.data + part.length);
    return bytes;
}

class DiscoveryScanTest : public ::testing::Test {
protected:
    bool Scan(Ipv4Host destination = BROADCAST_ADDRESS) {
        return RunDiscovery(transport, clock, table, destination, replies);
    }
    // A reply arriving `after` the scan's start, for to:DEVICE_PORT.
    void ReplyAt(Clock::Duration after, int id, Ipv4Net to = PC) {
        transport.Deliver(start + after, to, DEVICE_PORT, SealedReply(id), DEVICE, DEVICE_PORT);
    }

    FakeClock clock;
    FakeTransport transport{clock};
    InterfaceTable table{{{1, LOOPBACK}, {2, PC}}};
    ReplyStore replies;
    const Clock::TimePoint start = clock.Now();
};

TEST_F(DiscoveryScanTest, RequestFromEverySocketThenAgainFromTheBroadcastSocketAfterTheFirstWindow) {
    ASSERT_TRUE(Scan(Ipv4Host{0xC0A805FFu}));
    ASSERT_EQ(transport.sent.size(), 4u);
    const std::vector<std::uint8_t> request = transport.sent[0].bytes;
    EXPECT_EQ(request.size(), 10u);
    struct Expected {
        Clock::Duration at;
        std::optional<Ipv4Net> from;
    } expected[] = {{0ms, std::nullopt}, {0ms, LOOPBACK}, {0ms, PC}, {RECEIVE_WINDOW, std::nullopt}};
    for (std::size_t i = 0; i < 4; ++i) {
        const FakeSend& send = transport.sent[i];
        EXPECT_EQ(send.at - start, expected[i].at) << i;
        EXPECT_EQ(send.boundAddress, expected[i].from) << i;
        EXPECT_EQ(send.boundPort == DEVICE_PORT, expected[i].from.has_value()) << "only bound sockets use the port";
        EXPECT_EQ(send.to, ToNet(Ipv4Host{0xC0A805FFu})) << "the destination given";
        EXPECT_EQ(send.toPort, DEVICE_PORT);
        EXPECT_EQ(send.bytes, request) << "sealed once";
    }
    EXPECT_EQ(transport.sent[3].socket, transport.sent[0].socket);
    EXPECT_EQ(clock.Now() - start, 2 * RECEIVE_WINDOW) << "both windows run to their end";
    EXPECT_EQ(transport.openSockets, 0) << "every socket is closed";
}

TEST_F(DiscoveryScanTest, WithoutARouteTheSecondRequestGoesOnceFromEachLinkNeverFromLoopback) {
    const Ipv4Net second = ToNet(Ipv4Octets{{192, 168, 92, 50}});
    const Ipv4Net other = ToNet(Ipv4Octets{{10, 1, 2, 3}});
    table = InterfaceTable{{{1, LOOPBACK}, {2, PC}, {2, second}, {3, other}}};
    transport.sendResult = [](const FakeSend& send) {
        return send.boundAddress ? SendResult::Sent : SendResult::NoRoute;
    };
    ASSERT_TRUE(Scan());
    std::vector<std::optional<Ipv4Net>> secondRequest;
    for (const FakeSend& send : transport.sent)
        if (send.at - start == RECEIVE_WINDOW) secondRequest.push_back(send.boundAddress);
    EXPECT_EQ(secondRequest, (std::vector<std::optional<Ipv4Net>>{std::nullopt, PC, other}));
}

TEST_F(DiscoveryScanTest, RepliesCountUntilTheLastMomentOfEachWindowAndBroadcastRepliesAreHeard) {
    ReplyAt(RECEIVE_WINDOW - 1ms, 1);
    ReplyAt(RECEIVE_WINDOW + 5ms, 2, ToNet(BROADCAST_ADDRESS));  // to the 0.0.0.0 listener
    ReplyAt(2 * RECEIVE_WINDOW - 1ms, 3);
    ReplyAt(2 * RECEIVE_WINDOW, 4);  // the scan is over
    ASSERT_TRUE(Scan());
    std::vector<std::string> keys;
    for (const auto& entry : replies) keys.push_back(entry.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"020000000001", "020000000002", "020000000003"}));
    EXPECT_EQ(clock.Now() - start, 2 * RECEIVE_WINDOW);
}

TEST_F(DiscoveryScanTest, WhereBoundSocketsHearBroadcastsTheyAloneHearBroadcastReplies) {
    transport.windowsBroadcast = true;
    ReplyAt(5ms, 2, ToNet(BROADCAST_ADDRESS));
    ASSERT_TRUE(Scan());
    EXPECT_EQ(transport.opened, 3) << "the broadcast socket and one per address, no listener on 0.0.0.0";
    EXPECT_EQ(replies.count("020000000002"), 1u);
}

TEST_F(DiscoveryScanTest, ABurstIsDrainedInOneWakeUpAndTheStoreShowsTheFirst256) {
    std::vector<int> ids(300);
    for (int i = 0; i < 300; ++i) ids[static_cast<std::size_t>(i)] = i + 1;
    std::shuffle(ids.begin(), ids.end(), std::mt19937(7));
    for (const int id : ids) ReplyAt(500ms, id);
    ASSERT_TRUE(Scan());
    EXPECT_EQ(transport.wakeUps, 1);
    EXPECT_EQ(replies.size(), 300u);
    DeviceStore store;
    RebuildDeviceStore(replies, store);
    ASSERT_EQ(store.Count(), DeviceStore::CAPACITY);
    EXPECT_EQ(store.RecordAt(0)->mac[5], 1);
    EXPECT_EQ(store.RecordAt(255)->mac[5], 0);  // device 256 is 01 00
    EXPECT_EQ(store.RecordAt(255)->mac[4], 1);
}

TEST_F(DiscoveryScanTest, AFloodCannotStretchAWindow) {
    transport.receiveCost = 1ms;  // 10 000 datagrams take 10 s to read
    for (int i = 0; i < 10000; ++i) ReplyAt(1000ms, i % 50 + 1);
    ASSERT_TRUE(Scan());
    ASSERT_EQ(transport.sent.size(), 4u);
    EXPECT_EQ(transport.sent[3].at - start, RECEIVE_WINDOW) << "the second request goes on time";
    EXPECT_EQ(clock.Now() - start, 2 * RECEIVE_WINDOW);
    EXPECT_EQ(transport.received, 3000) << "read until each window's end, no further";
}

TEST_F(DiscoveryScanTest, RowsPastTheHundredthGetNoSocketAndAnEmptyTableStillSendsTwice) {
    for (std::uint8_t i = 0; i < 114; ++i) table.rows.push_back({3, ToNet(Ipv4Octets{{10, 9, 0, i}})});
    ASSERT_TRUE(Scan());
    EXPECT_EQ(transport.opened, 1 + static_cast<int>(MAX_SCAN_SOCKETS) + 1) << "broadcast, per-address, listener";
    EXPECT_EQ(transport.sent.size(), 1 + MAX_SCAN_SOCKETS + 1);

    FakeTransport empty(clock);
    ReplyStore kept{{"0200000000FF", {reply::MAC.tag, 6, 0x02, 0, 0, 0, 0, 0xFF}}};
    ASSERT_TRUE(RunDiscovery(empty, clock, InterfaceTable{}, BROADCAST_ADDRESS, kept));
    EXPECT_EQ(empty.opened, 1) << "no row, no listener";
    EXPECT_EQ(empty.sent.size(), 2u);
    EXPECT_EQ(kept.size(), 1u);
}

TEST_F(DiscoveryScanTest, WithoutTheBroadcastSocketNothingIsSentAndNothingChanges) {
    transport.openLimit = 0;
    replies["0200000000FF"] = ElementList{reply::MAC.tag, 6, 0x02, 0, 0, 0, 0, 0xFF};
    EXPECT_FALSE(Scan());
    EXPECT_TRUE(transport.sent.empty());
    EXPECT_EQ(replies.size(), 1u);
    EXPECT_EQ(clock.Now(), start);
}

}  // namespace
}  // namespace pelmora::test
