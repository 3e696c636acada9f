// The wink and the repeated send of the device network, as the simulator sees them on the lab segment.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "platform/Clock.h"
#include "platform/Neighbours.h"
#include "platform/NetworkAdmin.h"
#include "platform/UdpSocket.h"
#include "platform/UdpTransport.h"
#include "protocol/DeviceNetwork.h"
#include "protocol/DeviceStore.h"
#include "protocol/DiscoveryScan.h"
#include "protocol/MacAddress.h"
#include "protocol/PacketEnvelope.h"
#include "protocol/SendTwice.h"
#include "protocol/SystemDeviceNetwork.h"
#include "protocol/Wink.h"
#include "protocol/WireFormat.h"
#include "tests/protocol/SimulatorLog.h"
#include "tests/support/LabTest.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

// The two datagrams of one repeated send must be the same bytes, from the device port, at least the pause
// apart (the exact spacing is a unit test on the fake clock; a loaded machine may only add to it).
void ExpectTwoIdenticalSends(const std::vector<JsonValue>& received, const std::string& local) {
    ASSERT_EQ(received.size(), 2u);
    for (const JsonValue& r : received) {
        EXPECT_EQ(r.TextOf("local"), local);
        EXPECT_EQ(PortOf(r.TextOf("peer")), unsigned{DEVICE_PORT}) << r.TextOf("peer");
    }
    EXPECT_EQ(received[0].TextOf("hex"), received[1].TextOf("hex"));
    const JsonValue* first = received[0].Find("mono_ms");
    const JsonValue* second = received[1].Find("mono_ms");
    ASSERT_TRUE(first && second);
    const double gap = second->number - first->number;
    EXPECT_GE(gap, 190.0);
}

class WinkE2e : public LabTest {
protected:
    UdpTransport transport;
    SteadyClock clock;
    // A scan, then the wink of the row's device exactly as the main window finds its element list; the
    // row shows the device with MAC `unit`.
    void ScanAndWink(LoggedProcess& sim, long row, const std::string& unit) {
        const auto table = ReadInterfaceTable(transport);
        ASSERT_TRUE(table);
        ReplyStore replies;
        ASSERT_TRUE(RunDiscovery(transport, clock, *table, BROADCAST_ADDRESS, replies));
        DeviceStore store;
        RebuildDeviceStore(replies, store);
        ASSERT_GT(static_cast<long>(store.Count()), row);
        const auto found = replies.find(MacKey(store.RecordAt(row)->mac));
        ASSERT_NE(found, replies.end());

        // A list without a MAC element sends nothing.
        SendWink(transport, clock, ElementList{}, BROADCAST_ADDRESS);
        SendWink(transport, clock, ElementList{reply::MAC.tag, 5, 1, 2, 3, 4, 5}, BROADCAST_ADDRESS);
        // Another socket of ours holds 0.0.0.0:26487; the wink's socket still binds beside it.
        auto holder = OpenPortSocket(ToNet(ANY_ADDRESS), DEVICE_PORT);
        ASSERT_TRUE(holder);
        SendWink(transport, clock, found->second, BROADCAST_ADDRESS);

        const auto winks = WaitForRecords(
            sim, [](const JsonValue& r) { return IsReceived(r, "wink"); }, 3, 1500ms);
        ExpectTwoIdenticalSends(winks, "255.255.255.255:26487");
        for (const JsonValue& w : winks) {
            EXPECT_EQ(w.Find("len") ? w.Find("len")->number : 0.0, 17.0);
            EXPECT_EQ(w.TextOf("mac"), unit) << "the payload names the row's device, bytes in Unit order";
            EXPECT_TRUE(w.Find("winked") && w.Find("winked")->boolean) << w.TextOf("reject");
        }
    }
};

TEST_F(WinkE2e, TwoIdenticalBroadcastsFromTheDevicePortCarryTheRowsMac) {
    LoggedProcess* sim = StartSimulator(1, {"--generate", "3", "--shuffle"});
    ASSERT_TRUE(sim);
    ScanAndWink(*sim, 1, "02:00:00:00:00:02");
}

TEST_F(WinkE2e, SendOnceRepeatedToTheDevicesAddressSealsTheSamePayload) {
    LoggedProcess* sim = StartSimulator(1, {"--generate", "1"});
    ASSERT_TRUE(sim);
    // The helper's own flush, run in this process as root.
    struct DirectFlush final : NetworkAdmin {
        std::optional<AddressContext> AddTemporaryAddress(int) override { return std::nullopt; }
        bool DeleteIpv4Address(const AddressContext&) override { return false; }
        std::optional<std::size_t> DeleteNeighbours(Ipv4Net address) override {
            return pelmora::DeleteNeighbours(address);
        }
    } admin;
    SystemDeviceNetwork network(transport, clock, &admin);
    const std::vector<std::uint8_t> wink = {0x00, 0x05, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01, 0x0A};
    network.SendOnce(wink, ToHost(Lab::DeviceAddress(1)));
    clock.SleepFor(REPEAT_PAUSE);
    network.SendOnce(wink, ToHost(Lab::DeviceAddress(1)));
    const auto received = WaitForRecords(
        *sim, [](const JsonValue& r) { return IsReceived(r, "wink"); }, 3, 1500ms);
    ExpectTwoIdenticalSends(received, "192.168.92.2:26487");
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0].TextOf("payload"), "00050200000000010a");

    // The exchange left a neighbour entry for the device; flushing it leaves none.
    const auto before = ReadNeighbours();
    ASSERT_TRUE(before);
    bool present = false;
    for (const auto& entry : *before) present = present || entry.address == Lab::DeviceAddress(1);
    network.FlushArpEntries(ToHost(Lab::DeviceAddress(1)));
    const auto after = ReadNeighbours();
    ASSERT_TRUE(after);
    for (const auto& entry : *after) EXPECT_NE(entry.address, Lab::DeviceAddress(1));
    EXPECT_TRUE(present) << "the unicast send should have made a neighbour entry to flush";
}

class WinkWithoutDefaultRouteE2e : public WinkE2e {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.pcDefaultRoute = false;
        return options;
    }
};

// A 0.0.0.0 socket's broadcast has no route here; the wink still leaves by the local address's interface.
TEST_F(WinkWithoutDefaultRouteE2e, TheWinkStillReachesTheSegmentTwice) {
    LoggedProcess* sim = StartSimulator(1, {"--generate", "2"});
    ASSERT_TRUE(sim);
    ScanAndWink(*sim, 0, "02:00:00:00:00:01");
}

}  // namespace
}  // namespace pelmora::test
