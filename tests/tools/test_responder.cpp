#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

#include "protocol/ElementList.h"
#include "protocol/PacketEnvelope.h"
#include "tools/simulator/DeviceFile.h"
#include "tools/simulator/FaultyReplies.h"
#include "tools/simulator/NetNamespace.h"
#include "tools/simulator/Responder.h"

namespace pelmora {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr Ipv4Octets PC{{192, 168, 92, 1}};

// The log in memory, read back line by line.
class MemoryLog {
public:
    MemoryLog() : m_file(open_memstream(&m_buffer, &m_size)), m_log(m_file) {}
    ~MemoryLog() {
        std::fclose(m_file);
        std::free(m_buffer);
    }
    EventLog& Log() { return m_log; }
    std::vector<std::string> Lines() {
        std::fflush(m_file);
        std::vector<std::string> lines;
        std::string text(m_buffer, m_size);
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = text.find('\n', start);
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }
    std::string Last() { return Lines().back(); }

private:
    char* m_buffer = nullptr;
    std::size_t m_size = 0;
    std::FILE* m_file;
    EventLog m_log;
};

std::vector<SimDevice> Devices(const std::string& text) {
    std::istringstream in(text);
    std::vector<SimDevice> devices;
    std::string error;
    EXPECT_TRUE(ReadDeviceFile(in, devices, error)) << error;
    return devices;
}

// Two devices in the PC's subnet, one outside it, one that keeps broadcasting, one that never answers.
const char* FIVE_DEVICES =
    "mac=02:00:00:00:00:01 ip=192.168.92.10 mask=255.255.255.0 bacnet=1 id=10\n"
    "mac=02:00:00:00:00:02 ip=192.168.92.11 mask=255.255.255.0 bacnet=1 id=11\n"
    "mac=02:00:00:00:00:03 ip=10.9.0.5 mask=255.255.0.0\n"
    "mac=02:00:00:00:00:04 ip=192.168.92.13 mask=255.255.255.0 reply=broadcast\n"
    "mac=02:00:00:00:00:05 ip=192.168.92.14 mask=255.255.255.0 reply=none\n";

struct Sent {
    Bytes datagram;
    Received in;
};
Sent Datagram(const Bytes& payload, Ipv4Octets from = PC, std::uint16_t port = DEVICE_PORT,
              Clock::time_point now = Clock::now()) {
    Sent s{SealDatagram(payload), {}};
    s.in.data = s.datagram.data();
    s.in.size = s.datagram.size();
    s.in.from = from;
    s.in.fromPort = port;
    s.in.to = Ipv4Octets{{255, 255, 255, 255}};
    s.in.toPort = DEVICE_PORT;
    s.in.now = now;
    return s;
}
const Bytes REQUEST{0x00, 0x00};

std::string MacOf(const Outgoing& out) {
    Bytes copy = out.bytes;
    auto length = static_cast<std::uint32_t>(copy.size());
    const std::uint8_t* payload = OpenPacket(copy.data(), length);
    ElementList list;
    if (payload == nullptr || !ExtractReplyList(payload, length, list)) return "";
    return MacKey(list);
}

bool Has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

TEST(Responder, AutoModeUnicastsInsideTheDevicesSubnetAndBroadcastsOutside) {
    MemoryLog log;
    Responder responder(Devices(FIVE_DEVICES), {}, log.Log());
    const Sent request = Datagram(REQUEST, PC, 40000);
    const std::vector<Outgoing> out = responder.Handle(request.in);
    ASSERT_EQ(out.size(), 4u) << "reply=none stays silent";
    const auto to = [](const Outgoing& o) { return ToText(o.to) + ":" + std::to_string(o.port); };
    EXPECT_EQ(MacOf(out[0]), "020000000001");
    EXPECT_EQ(to(out[0]), "192.168.92.1:40000");
    EXPECT_EQ(to(out[1]), "192.168.92.1:40000");
    EXPECT_EQ(MacOf(out[2]), "020000000003");
    EXPECT_EQ(to(out[2]), "255.255.255.255:26487") << "outside its subnet a device can only broadcast";
    EXPECT_EQ(to(out[3]), "255.255.255.255:26487") << "the device's own reply mode wins";
    const std::string line = log.Last();
    EXPECT_TRUE(Has(line, "\"dir\":\"in\"")) << line;
    EXPECT_TRUE(Has(line, "\"cmd\":\"request\""));
    EXPECT_TRUE(Has(line, "\"peer\":\"192.168.92.1:40000\""));
    EXPECT_TRUE(Has(line, "\"answers\":4"));
    EXPECT_TRUE(Has(line, "\"hex\":\"" + HexBytes(request.datagram.data(), request.datagram.size()) + "\""));
    EXPECT_TRUE(Has(out[0].fields.Text(), "\"mode\":\"unicast\""));
    EXPECT_TRUE(Has(out[2].fields.Text(), "\"mode\":\"broadcast\""));
}

TEST(Responder, AutoModeUnicastsThroughAGatewayThatExistsOnTheWire) {
    // Behind a router: the requester is in another subnet, the router's address is each device's gateway.
    const char* routed =
        "mac=02:00:00:00:00:01 ip=192.168.93.2 mask=255.255.255.0 gw=192.168.93.1\n"
        "mac=02:00:00:00:00:02 ip=192.168.93.3 mask=255.255.255.0\n"
        "mac=02:00:00:00:00:03 ip=192.168.93.4 mask=255.255.255.0 gw=10.0.0.1\n";
    for (const bool attached : {true, false}) {
        MemoryLog log;
        ResponderSettings settings;
        if (attached) settings.attachedSubnets = {{Ipv4Octets{{192, 168, 93, 7}}, 24}};
        Responder responder(Devices(routed), settings, log.Log());
        const std::vector<Outgoing> out = responder.Handle(Datagram(REQUEST, PC, 40000).in);
        ASSERT_EQ(out.size(), 3u);
        EXPECT_EQ(ToText(out[0].to), attached ? "192.168.92.1" : "255.255.255.255")
            << "only a gateway on the namespace's own subnets exists";
        EXPECT_EQ(ToText(out[1].to), "255.255.255.255") << "no gateway";
        EXPECT_EQ(ToText(out[2].to), "255.255.255.255") << "a gateway outside the device's subnet";
    }
}

TEST(Responder, ForcedModesApplyToDevicesWithoutTheirOwn) {
    for (const ReplyMode mode : {ReplyMode::Unicast, ReplyMode::Broadcast}) {
        MemoryLog log;
        ResponderSettings settings;
        settings.mode = mode;
        settings.broadcast = Ipv4Octets{{192, 168, 92, 255}};
        Responder responder(Devices(FIVE_DEVICES), settings, log.Log());
        const std::vector<Outgoing> out = responder.Handle(Datagram(REQUEST).in);
        ASSERT_EQ(out.size(), 4u);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(ToText(out[i].to), mode == ReplyMode::Unicast ? "192.168.92.1" : "192.168.92.255") << i;
        }
        EXPECT_EQ(ToText(out[3].to), "192.168.92.255");
    }
}

TEST(Responder, WriteToItsMacChangesTheNextReply) {
    MemoryLog log;
    Responder responder(Devices(FIVE_DEVICES), {}, log.Log());
    // MAC 02:00:00:00:00:03, address 192.168.92.30/24, name "Néw", DHCP off, ID 77.
    Bytes write{0x00, 0x04, 0x01, 0x06, 0x02, 0,   0,    0,    0,   0x03, 0x60, 4, 192,  168, 92, 30, 0x61, 4, 255,
                255,  255,  0,    0x7E, 4,    'N', 0xC3, 0xA9, 'w', 0x6A, 1,    0, 0x7C, 4,   77, 0,  0,    0};
    EXPECT_TRUE(responder.Handle(Datagram(write).in).empty()) << "writes are not acknowledged";
    const std::string line = log.Last();
    EXPECT_TRUE(Has(line, "\"cmd\":\"write\"")) << line;
    EXPECT_TRUE(Has(line, "\"mac\":\"02:00:00:00:00:03\""));
    EXPECT_TRUE(Has(line,
                    "\"settings\":{\"ip\":\"192.168.92.30\",\"mask\":\"255.255.255.0\",\"dhcp\":0,\"id\":77,"
                    "\"name\":\"N\xC3\xA9w\"}"))
        << line;
    EXPECT_TRUE(Has(line, "\"tags\":[1,96,97,126,106,124]"));
    EXPECT_TRUE(Has(line, "\"applied\":true"));
    EXPECT_TRUE(Has(line, "\"state\":\"mac=02:00:00:00:00:03 ip=192.168.92.30 "));

    const SimDevice& changed = responder.Devices()[2];
    EXPECT_EQ(changed.name, "N\xC3\xA9w");
    EXPECT_EQ(changed.deviceId, 77);
    const std::vector<Outgoing> out = responder.Handle(Datagram(REQUEST).in);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(MacOf(out[2]), "020000000003");
    EXPECT_EQ(ToText(out[2].to), "192.168.92.1") << "now in the PC's subnet, so it answers by unicast";
}

TEST(Responder, WritesThatDoNotFitAreLoggedWithTheReason) {
    MemoryLog log;
    Responder responder(Devices(FIVE_DEVICES), {}, log.Log());
    responder.Handle(Datagram({0x00, 0x04, 0x01, 0x06, 0x02, 0, 0, 0, 0, 0x99, 0x6A, 1, 1}).in);
    EXPECT_TRUE(Has(log.Last(), "\"reject\":\"no device with this MAC\"")) << log.Last();
    responder.Handle(Datagram({0x00, 0x04, 0x01, 0x06, 0x02, 0}).in);
    EXPECT_TRUE(Has(log.Last(), "\"reject\":\"malformed element list\"")) << log.Last();
    responder.Handle(Datagram({0x00, 0x00, 0x00}).in);
    EXPECT_TRUE(Has(log.Last(), "\"reject\":\"request is 3 bytes, not 2\"")) << log.Last();
    responder.Handle(Datagram({0x01, 0x00}).in);
    EXPECT_TRUE(Has(log.Last(), "\"reject\":\"payload byte 0 is 0x01, not 0x00\"")) << log.Last();
    responder.Handle(Datagram({0x00, 0x09}).in);
    EXPECT_TRUE(Has(log.Last(), "\"reject\":\"unknown command 0x09\"")) << log.Last();

    Bytes garbage = BuildFaultyReply(FaultKind::BadPacketCheck, responder.Devices()[0]);
    Received in = Datagram(REQUEST).in;
    in.data = garbage.data();
    in.size = garbage.size();
    responder.Handle(in);
    EXPECT_TRUE(Has(log.Last(), "\"reject\":\"open failed: packet check\"")) << log.Last();
    EXPECT_TRUE(Has(log.Last(), "\"open_reason\":1"));
    for (const SimDevice& d : responder.Devices()) EXPECT_FALSE(d.dhcp) << "nothing was applied";
}

TEST(Responder, RestartingDeviceIsSilentAndIgnoresWritesUntilItsTimeIsUp) {
    MemoryLog log;
    ResponderSettings settings;
    settings.restartSilence = 1000ms;
    settings.dhcpLease = Ipv4Prefix{{{192, 168, 92, 200}}, 24};
    Responder responder(Devices(FIVE_DEVICES), settings, log.Log());
    const Clock::time_point t0 = Clock::now();
    const Bytes toDhcp{0x00, 0x04, 0x01, 0x06, 0x02, 0, 0, 0, 0, 0x01, 0x6A, 1, 1};
    responder.Handle(Datagram(toDhcp, PC, DEVICE_PORT, t0).in);
    EXPECT_TRUE(Has(log.Last(), "\"lease\":\"192.168.92.200\"")) << log.Last();
    EXPECT_TRUE(Has(log.Last(), "\"silent_ms\":1000"));
    responder.Handle(Datagram(toDhcp, PC, DEVICE_PORT, t0 + 200ms).in);
    EXPECT_TRUE(Has(log.Last(), "\"reject\":\"restarting\"")) << log.Last();

    std::vector<Outgoing> out = responder.Handle(Datagram(REQUEST, PC, DEVICE_PORT, t0 + 999ms).in);
    EXPECT_EQ(out.size(), 3u);
    EXPECT_TRUE(Has(log.Last(), "\"silent\":1"));
    for (const Outgoing& o : out) EXPECT_NE(MacOf(o), "020000000001");
    out = responder.Handle(Datagram(REQUEST, PC, DEVICE_PORT, t0 + 1000ms).in);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(MacOf(out[0]), "020000000001");

    // The next device to take DHCP gets the next address.
    responder.Handle(Datagram({0x00, 0x04, 0x01, 0x06, 0x02, 0, 0, 0, 0, 0x02, 0x6A, 1, 1}, PC, DEVICE_PORT, t0).in);
    EXPECT_TRUE(Has(log.Last(), "\"lease\":\"192.168.92.201\"")) << log.Last();
}

TEST(Responder, AddressMovesWhenTheRestartIsOver) {
    MemoryLog log;
    ResponderSettings settings;
    settings.restartSilence = 500ms;
    Responder responder(Devices(FIVE_DEVICES), settings, log.Log());
    std::vector<std::string> moves;
    responder.OnAddressChange(
        [&](Ipv4Octets before, Ipv4Octets after) { moves.push_back(ToText(before) + ">" + ToText(after)); });
    const Clock::time_point t0 = Clock::now();
    const Bytes move{0x00, 0x04, 0x01, 0x06, 0x02, 0, 0, 0, 0, 0x02, 0x60, 4, 10, 0, 0, 2};
    responder.Handle(Datagram(move, PC, DEVICE_PORT, t0).in);
    EXPECT_TRUE(moves.empty()) << "the old address stays while the device restarts";
    EXPECT_EQ(responder.Advance(t0 + 499ms), t0 + 500ms);
    EXPECT_TRUE(moves.empty());
    EXPECT_EQ(responder.Advance(t0 + 500ms), std::nullopt);
    EXPECT_EQ(moves, (std::vector<std::string>{"192.168.92.11>10.0.0.2"}));
    // A write that keeps the address moves nothing.
    responder.Handle(Datagram(move, PC, DEVICE_PORT, t0 + 600ms).in);
    responder.Advance(t0 + 2s);
    EXPECT_EQ(moves.size(), 1u);
}

TEST(Responder, WinkIsLoggedWithItsMac) {
    MemoryLog log;
    Responder responder(Devices(FIVE_DEVICES), {}, log.Log());
    EXPECT_TRUE(responder.Handle(Datagram({0x00, 0x05, 0x02, 0, 0, 0, 0, 0x02, 0x0A}).in).empty());
    std::string line = log.Last();
    EXPECT_TRUE(Has(line, "\"cmd\":\"wink\",\"mac\":\"02:00:00:00:00:02\",\"device\":1,\"winked\":true")) << line;
    responder.Handle(Datagram({0x00, 0x05, 0x02, 0, 0, 0, 0, 0x07, 0x0A}).in);
    EXPECT_TRUE(Has(log.Last(), "\"mac\":\"02:00:00:00:00:07\",\"reject\":\"no device with this MAC\"")) << log.Last();
    responder.Handle(Datagram({0x00, 0x05, 0x02, 0, 0, 0, 0, 0x02, 0x0B}).in);
    EXPECT_TRUE(Has(log.Last(), "\"reject\":\"wink byte 8 is 0x0B, not 0x0A\"")) << log.Last();
    responder.Handle(Datagram({0x00, 0x05, 0x02, 0, 0, 0, 0, 0x02, 0x0A, 0x00}).in);
    EXPECT_TRUE(Has(log.Last(), "\"reject\":\"wink is 10 bytes, not 9\"")) << log.Last();
}

TEST(Responder, FaultsFloodAndShuffleShapeTheAnswer) {
    MemoryLog log;
    ResponderSettings settings;
    settings.faults = {FaultKind::CutList, FaultKind::Oversize};
    settings.faultsOnly = true;
    settings.flood = 30;
    settings.floodMacs = 7;
    settings.mode = ReplyMode::Broadcast;
    Responder responder(Devices(FIVE_DEVICES), settings, log.Log());
    const std::vector<Outgoing> out = responder.Handle(Datagram(REQUEST, PC, 41000).in);
    ASSERT_EQ(out.size(), 2u + 30u + 7u) << "no good replies of the devices themselves";
    std::set<std::string> accepted;
    for (const Outgoing& o : out) {
        if (Has(o.fields.Text(), "\"origin\":\"flood\"")) {
            EXPECT_EQ(ToText(o.to) + ":" + std::to_string(o.port), "192.168.92.1:41000")
                << "the flood goes to the requester";
        }
        const std::string mac = MacOf(o);
        if (!mac.empty()) accepted.insert(mac);
    }
    // Of all that, only the made-up devices' good replies (and the oversize one, which is sound but too big) pass.
    EXPECT_EQ(accepted.size(), 7u + 1u);
    EXPECT_EQ(accepted.count("020000000001"), 0u);

    MemoryLog shuffledLog;
    ResponderSettings shuffled;
    shuffled.shuffle = true;
    std::string many;
    for (unsigned i = 1; i <= 40; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "mac=02:00:00:00:01:%02X\n", i);
        many += line;
    }
    Responder mixer(Devices(many), shuffled, shuffledLog.Log());
    std::vector<std::string> first;
    std::vector<std::string> second;
    for (const Outgoing& o : mixer.Handle(Datagram(REQUEST).in)) first.push_back(MacOf(o));
    for (const Outgoing& o : mixer.Handle(Datagram(REQUEST).in)) second.push_back(MacOf(o));
    ASSERT_EQ(first.size(), 40u);
    EXPECT_FALSE(std::is_sorted(first.begin(), first.end()));
    EXPECT_NE(first, second) << "each request gets its own order";
    std::sort(first.begin(), first.end());
    EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), 40u) << "every device once";
}

TEST(NetNamespace, SameNamespaceIsInitialAndUnreadableIsUnknown) {
    std::string detail;
    EXPECT_EQ(CompareNetNamespaces("/proc/self/ns/net", "/proc/self/ns/net", detail), NamespaceVerdict::Initial);
    EXPECT_EQ(CompareNetNamespaces("/proc/self/ns/net", "/nonexistent/ns/net", detail), NamespaceVerdict::Unknown);
    EXPECT_NE(detail.find("/nonexistent/ns/net"), std::string::npos);
}

}  // namespace
}  // namespace pelmora
