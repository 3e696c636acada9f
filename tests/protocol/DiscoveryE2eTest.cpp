// The discovery scan on a real network: the test thread runs it inside the lab's PC namespace against
// the device simulator, or against datagrams the test sends itself from a device namespace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <thread>

#include "listing/RowTexts.h"
#include "platform/Clock.h"
#include "platform/UdpSocket.h"
#include "platform/UdpTransport.h"
#include "protocol/DiscoveryScan.h"
#include "protocol/MacAddress.h"
#include "protocol/PacketEnvelope.h"
#include "protocol/WireFormat.h"
#include "tests/protocol/SimulatorLog.h"
#include "tests/support/LabTest.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

std::string MacText(std::uint32_t generated) {
    char text[18];
    std::snprintf(text, sizeof text, "02:00:00:%.2X:%.2X:%.2X", (generated >> 16) & 0xFFu, (generated >> 8) & 0xFFu,
                  generated & 0xFFu);
    return text;
}

std::vector<std::string> ShownMacs(const DeviceStore& store) {
    std::vector<std::string> macs;
    for (long i = 0; i < static_cast<long>(store.Count()); ++i) macs.push_back(RowTexts(*store.RecordAt(i))[COL_UNIT]);
    return macs;
}

class DiscoveryE2e : public LabTest {
protected:
    // One scan as the main window runs it; the rows' MACs in table order.
    std::vector<std::string> Scan(ReplyStore& replies) {
        const auto table = ReadInterfaceTable(transport);
        EXPECT_TRUE(table) << "interface table of the PC namespace";
        if (!table) return {};
        EXPECT_TRUE(RunDiscovery(transport, clock, *table, BROADCAST_ADDRESS, replies));
        RebuildDeviceStore(replies, m_store);
        return ShownMacs(m_store);
    }
    UdpTransport transport;
    SteadyClock clock;
    DeviceStore m_store;
};

TEST_F(DiscoveryE2e, TwentyShuffledDevicesAreEachListedOnceInMacOrder) {
    ASSERT_TRUE(StartSimulator(1, {"--generate", "20", "--shuffle", "--seed", "7"}));
    ReplyStore replies;
    const auto macs = Scan(replies);
    std::vector<std::string> expected;
    for (std::uint32_t n = 1; n <= 20; ++n) expected.push_back(MacText(n));
    ASSERT_EQ(macs, expected);
    EXPECT_EQ(RowTexts(*m_store.RecordAt(0))[COL_DEVICE_NAME], "SIM-0001");
}

TEST_F(DiscoveryE2e, ThreeHundredDevicesShowTheFirst256InMacOrder) {
    ASSERT_TRUE(StartSimulator(1, {"--generate", "300", "--shuffle"}));
    ReplyStore replies;
    const auto macs = Scan(replies);
    EXPECT_EQ(replies.size(), 300u) << "every reply of a burst of 300 must be received";
    ASSERT_EQ(macs.size(), 256u);
    EXPECT_EQ(macs.front(), MacText(1));
    EXPECT_EQ(macs.back(), MacText(256));
}

TEST_F(DiscoveryE2e, MalformedRepliesAreDroppedWhileGoodDevicesAreListed) {
    // Broken checks, a payload of exactly 00 03, a cut list, a MAC of length 5, a datagram over 2000
    // bytes and the rest of the simulator's fault kinds, each sent once per request beside 3 devices.
    ASSERT_TRUE(StartSimulator(1, {"--generate", "3", "--faults", "all"}));
    ReplyStore replies;
    const auto macs = Scan(replies);
    EXPECT_EQ(macs, (std::vector<std::string>{MacText(1), MacText(2), MacText(3)}));
    EXPECT_EQ(replies.size(), 3u);
}

TEST_F(DiscoveryE2e, TheRowShowsTheLastAcceptedReplyAndLateUnicastsAreHeard) {
    ReplyStore replies;
    std::thread scan([&] { Scan(replies); });
    const auto reply = [](const std::string& name, bool breakMac) {
        ElementList list;
        const std::uint8_t mac[6] = {0x02, 0x77, 0, 0, 0, 1};
        AppendElement(list, reply::MAC.tag, mac, breakMac ? 5 : 6);
        AppendTextElement(list, reply::DEVICE_NAME.tag, name);
        std::vector<std::uint8_t> payload = {0x00, CMD_DISCOVERY_REPLY};
        payload.insert(payload.end(), list.begin(), list.end());
        std::uint8_t header[HEADER_CAPACITY];
        BufferPart parts[2] = {{HEADER_CAPACITY, header}, {static_cast<std::uint32_t>(payload.size()), payload.data()}};
        EXPECT_TRUE(SealPacket(parts));
        std::vector<std::uint8_t> datagram(header, header + parts[0].length);
        datagram.insert(datagram.end(), payload.begin(), payload.end());
        return datagram;
    };
    InNode(Lab::DeviceNode(1), [&] {
        auto device = OpenPortSocket(Lab::DeviceAddress(1), DEVICE_PORT);
        ASSERT_TRUE(device);
        AbortUnlessLabSocket(device->Descriptor(), "device reply");
        const auto send = [&](std::vector<std::uint8_t> bytes) {
            BufferPart parts[2] = {{static_cast<std::uint32_t>(bytes.size()), bytes.data()}, {0, nullptr}};
            EXPECT_EQ(device->SendTo(parts, Lab::DefaultPcAddress(), DEVICE_PORT), SendResult::Sent);
        };
        std::this_thread::sleep_for(300ms);
        send(reply("FIRST", false));
        std::this_thread::sleep_for(2500ms);  // in the second window
        send(reply("LAST", false));
        send(reply("BROKEN", true));
    });
    scan.join();
    ASSERT_EQ(m_store.Count(), 1u);
    EXPECT_EQ(m_store.RecordAt(0)->deviceName, "LAST");
}

class TwoSegmentsE2e : public DiscoveryE2e {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.devices = 2;
        return options;
    }
};

TEST_F(TwoSegmentsE2e, ADeviceWhoseSettingsDoNotFitAnswersByBroadcastAndIsListed) {
    LoggedProcess* local = StartSimulator(1, {"--generate", "2"});
    LoggedProcess* foreign =
        StartSimulator(2, {"--generate", "2", "--subnet", "10.20.30.0/24", "--mac-base", "02:00:00:00:10:01"});
    ASSERT_TRUE(local && foreign);
    ReplyStore replies;
    const auto macs = Scan(replies);
    ASSERT_EQ(macs, (std::vector<std::string>{MacText(1), MacText(2), MacText(0x1001), MacText(0x1002)}));
    EXPECT_EQ(RowTexts(*m_store.RecordAt(2))[COL_IP_ADDRESS].rfind("10.20.30.", 0), 0u);
    const auto answers = WaitForRecords(
        *foreign, [](const JsonValue& r) { return IsSent(r, "reply"); }, 1, 2s);
    ASSERT_FALSE(answers.empty());
    for (const JsonValue& answer : answers) EXPECT_EQ(answer.TextOf("mode"), "broadcast");
}

TEST_F(DiscoveryE2e, WithoutInterfaceRowsTheRequestGoesTwiceAndNothingIsRead) {
    // The devices answer by broadcast, which the scan would hear if it read anything.
    LoggedProcess* sim = StartSimulator(1, {"--generate", "2", "--subnet", "10.20.30.0/24"});
    ASSERT_TRUE(sim);
    ReplyStore replies{{"0200000000FF", {reply::MAC.tag, 6, 0x02, 0, 0, 0, 0, 0xFF}}};
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(RunDiscovery(transport, clock, InterfaceTable{}, BROADCAST_ADDRESS, replies));
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, 2 * RECEIVE_WINDOW);
    ASSERT_EQ(replies.size(), 1u) << "nothing is received; what the store held stays";
    RebuildDeviceStore(replies, m_store);
    EXPECT_EQ(ShownMacs(m_store), std::vector<std::string>{"02:00:00:00:00:FF"});

    const auto requests = WaitForRecords(
        *sim, [](const JsonValue& r) { return IsReceived(r, "request"); }, 3, 1s);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].TextOf("peer"), requests[1].TextOf("peer")) << "both from the one broadcast socket";
    EXPECT_NE(PortOf(requests[0].TextOf("peer")), unsigned{DEVICE_PORT}) << "the broadcast socket is never bound";
    EXPECT_EQ(requests[0].TextOf("local"), "255.255.255.255:26487");
}

class ManyAddressesE2e : public DiscoveryE2e {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.extraAdapters = 1;
        return options;
    }
};

// The table has room for 116 rows and the scan for 100 sockets: rows past the hundredth send nothing,
// while the scan still lists the devices and hears the broadcast answers to the rows it did send from.
TEST_F(ManyAddressesE2e, RowsPastTheHundredthGetNoSocket) {
    const std::string batch = "/tmp/" + TheLab().Prefix() + "-addresses.batch";
    {
        std::FILE* file = std::fopen(batch.c_str(), "w");
        ASSERT_NE(file, nullptr);
        for (int n = 1; n <= 114; ++n)
            std::fprintf(file, "address add 10.77.0.%d/32 dev %s\n", n, TheLab().ExtraInterface(1).c_str());
        std::fclose(file);
    }
    const CommandResult added = RunInPc({"ip", "-batch", batch});
    std::remove(batch.c_str());
    ASSERT_EQ(added.exitStatus, 0) << added.output;
    const auto table = ReadInterfaceTable(transport);
    ASSERT_TRUE(table);
    ASSERT_EQ(table->rows.size(), INTERFACE_TABLE_ROWS);
    const auto pcRow = std::find_if(table->rows.begin(), table->rows.end(),
                                    [](const AddressRow& row) { return row.address == Lab::DefaultPcAddress(); });
    ASSERT_LT(pcRow - table->rows.begin(), 100) << "the lab's own address must be among the rows with a socket";

    LoggedProcess* sim = StartSimulator(1, {"--generate", "2"});
    ASSERT_TRUE(sim);
    ReplyStore replies;
    ASSERT_TRUE(RunDiscovery(transport, clock, *table, BROADCAST_ADDRESS, replies));
    RebuildDeviceStore(replies, m_store);
    EXPECT_EQ(ShownMacs(m_store), (std::vector<std::string>{MacText(1), MacText(2)}));

    // One request from the broadcast socket at each step, one from each non-loopback row with a socket.
    const std::size_t expected = 2 + MAX_SCAN_SOCKETS - 1;
    std::set<std::string> senders;
    for (const JsonValue& r : WaitForRecords(
             *sim, [](const JsonValue& v) { return IsReceived(v, "request"); }, expected, 2s))
        if (PortOf(r.TextOf("peer")) == DEVICE_PORT) senders.insert(r.TextOf("peer"));
    for (std::size_t i = 0; i < table->rows.size(); ++i) {
        const std::string peer = ToText(table->rows[i].address) + ":26487";
        if (ToOctets(table->rows[i].address).bytes[0] == 127) continue;  // loopback requests stay on the PC
        EXPECT_EQ(senders.count(peer), i < MAX_SCAN_SOCKETS ? 1u : 0u) << "row " << i << " " << peer;
    }
}

class NoDefaultRouteE2e : public DiscoveryE2e {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.pcDefaultRoute = false;
        return options;
    }
};

TEST_F(NoDefaultRouteE2e, PerAddressSocketsStillReachTheSegment) {
    LoggedProcess* sim = StartSimulator(1, {"--generate", "2"});
    ASSERT_TRUE(sim);
    ReplyStore replies;
    EXPECT_EQ(Scan(replies), (std::vector<std::string>{MacText(1), MacText(2)}));
    const auto requests = WaitForRecords(
        *sim, [](const JsonValue& r) { return IsReceived(r, "request"); }, 2, 1s);
    ASSERT_EQ(requests.size(), 2u)
        << "the unbound socket finds no route; both requests go from the address-bound socket";
    for (const JsonValue& request : requests) EXPECT_EQ(request.TextOf("peer"), "192.168.92.1:26487");
}

}  // namespace
}  // namespace pelmora::test
