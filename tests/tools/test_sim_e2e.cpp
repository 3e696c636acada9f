// The simulator program in a lab: it runs in a device namespace, the test thread is the PC.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <thread>

#include "protocol/DeviceRecord.h"
#include "protocol/ElementList.h"
#include "protocol/PacketEnvelope.h"
#include "tests/support/LabTest.h"
#include "tools/simulator/Datagram.h"

namespace pelmora {
namespace {

using namespace std::chrono_literals;
using test::LabTest;
using test::LoggedProcess;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

const Ipv4Octets PC_ADDRESS{{192, 168, 92, 1}};
const Ipv4Octets LIMITED_BROADCAST{{255, 255, 255, 255}};

struct Heard {
    Bytes raw;
    bool viaBroadcastSocket = false;
    bool accepted = false;  // passes the scan's checks in a 2000-byte buffer
    ElementList list;
    std::string mac;
};

// The PC end: a socket on the PC's address (unicast replies) and one on 0.0.0.0 (broadcast replies),
// both on the device port, as the scan sets them up.
class PcClient {
public:
    PcClient() {
        m_unicast = OpenSocket(PC_ADDRESS);
        m_broadcast = OpenSocket(Ipv4Octets{});
    }
    ~PcClient() {
        close(m_unicast);
        close(m_broadcast);
    }

    void Send(const Bytes& payload, Ipv4Octets to) {
        const Datagram sealed = SealDatagram(payload);
        sockaddr_in destination = Address(to, DEVICE_PORT);
        ASSERT_EQ(sendto(m_unicast, sealed.data(), sealed.size(), 0, reinterpret_cast<sockaddr*>(&destination),
                         sizeof destination),
                  static_cast<ssize_t>(sealed.size()))
            << std::strerror(errno);
    }
    void Request() { Send({0x00, 0x00}, LIMITED_BROADCAST); }

    // Everything that arrives within the window, except the PC's own requests; stops early once
    // `enough` datagrams passed the checks.
    std::vector<Heard> Listen(std::chrono::milliseconds window, std::size_t enough = SIZE_MAX) {
        std::vector<Heard> heard;
        std::size_t accepted = 0;
        const Clock::time_point end = Clock::now() + window;
        while (accepted < enough) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (left <= 0) break;
            pollfd fds[2] = {{m_unicast, POLLIN, 0}, {m_broadcast, POLLIN, 0}};
            if (poll(fds, 2, static_cast<int>(left)) <= 0) continue;
            for (int i = 0; i < 2; ++i) {
                if ((fds[i].revents & POLLIN) == 0) continue;
                Heard h;
                if (!ReceiveOne(fds[i].fd, h)) continue;
                h.viaBroadcastSocket = i == 1;
                if (h.accepted) ++accepted;
                heard.push_back(std::move(h));
            }
        }
        return heard;
    }

private:
    static sockaddr_in Address(Ipv4Octets address, std::uint16_t port) {
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(port);
        sa.sin_addr.s_addr = ToNet(address).value;
        return sa;
    }

    static int OpenSocket(Ipv4Octets local) {
        const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        test::AbortUnlessLabSocket(fd, "simulator test client");
        const int on = 1;
        const int bufferBytes = 8 * 1024 * 1024;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &bufferBytes, sizeof bufferBytes);
        sockaddr_in sa = Address(local, DEVICE_PORT);
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0) << std::strerror(errno);
        return fd;
    }

    static bool ReceiveOne(int fd, Heard& h) {
        std::uint8_t buffer[4096];
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n =
            recvfrom(fd, buffer, sizeof buffer, MSG_TRUNC, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n < 0) return false;
        // The PC hears its own broadcasts.
        if (from.sin_addr.s_addr == ToNet(PC_ADDRESS).value) return false;
        const std::size_t size = std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer);
        h.raw.assign(buffer, buffer + size);
        if (size > MAX_DATAGRAM) return true;  // the scan's 2000-byte buffer cannot take it
        Bytes copy = h.raw;
        auto length = static_cast<std::uint32_t>(copy.size());
        const std::uint8_t* payload = OpenPacket(copy.data(), length);
        h.accepted = payload != nullptr && ExtractReplyList(payload, length, h.list);
        if (h.accepted) h.mac = MacKey(h.list);
        return true;
    }

    int m_unicast = -1;
    int m_broadcast = -1;
};

std::vector<Heard> Accepted(const std::vector<Heard>& heard) {
    std::vector<Heard> out;
    std::copy_if(heard.begin(), heard.end(), std::back_inserter(out), [](const Heard& h) { return h.accepted; });
    return out;
}

std::set<std::string> Macs(const std::vector<Heard>& heard) {
    std::set<std::string> macs;
    for (const Heard& h : heard) {
        if (h.accepted) macs.insert(h.mac);
    }
    return macs;
}

DeviceRecord Record(const Heard& h) {
    DeviceRecord record;
    ParseDeviceRecord(record, h.list);
    return record;
}

std::vector<std::string> JsonLines(const LoggedProcess& process) {
    std::vector<std::string> lines;
    std::istringstream in(process.Log());
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] == '{') lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> LinesWith(const LoggedProcess& process, const std::vector<std::string>& parts) {
    std::vector<std::string> found;
    for (const std::string& line : JsonLines(process)) {
        if (std::all_of(parts.begin(), parts.end(),
                        [&](const std::string& p) { return line.find(p) != std::string::npos; }))
            found.push_back(line);
    }
    return found;
}

// The raw text of a field's value: a number, or a string with its quotes.
std::string Field(const std::string& line, const std::string& key) {
    const std::string head = "\"" + key + "\":";
    const std::size_t at = line.find(head);
    if (at == std::string::npos) return "";
    const std::size_t start = at + head.size();
    if (line[start] == '"') return line.substr(start, line.find('"', start + 1) - start + 1);
    return line.substr(start, line.find_first_of(",}", start) - start);
}

std::vector<std::string> WaitForLines(const LoggedProcess& process, const std::vector<std::string>& parts,
                                      std::size_t count, std::chrono::milliseconds timeout = 3s) {
    const Clock::time_point end = Clock::now() + timeout;
    std::vector<std::string> lines;
    while ((lines = LinesWith(process, parts)).size() < count && Clock::now() < end) std::this_thread::sleep_for(20ms);
    return lines;
}

std::string WriteDeviceFile(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + "/" + name + "-" + std::to_string(getpid()) + ".devices";
    std::ofstream(path) << text;
    return path;
}

// Three devices in the PC's subnet and two outside it.
const char* MIXED_DEVICES =
    "# three in 192.168.92.0/24, two in 10.7.0.0/16\n"
    "mac=02:00:00:00:00:01 ip=192.168.92.10 mask=255.255.255.0 bacnet=1 id=101 name=AHU%201\n"
    "mac=02:00:00:00:00:02 ip=192.168.92.11 mask=255.255.255.0 bacnet=1 id=102\n"
    "mac=02:00:00:00:00:03 ip=192.168.92.12 mask=255.255.255.0 bacnet=0\n"
    "mac=02:00:00:00:00:04 ip=10.7.0.4 mask=255.255.0.0 bacnet=1 id=104\n"
    "mac=02:00:00:00:00:05 ip=10.7.0.5 mask=255.255.0.0 bacnet=1 id=105 location=Roof\n";

class SimulatorE2e : public LabTest {};

class SimulatorReplyModes : public SimulatorE2e, public ::testing::WithParamInterface<std::string> {};

TEST_P(SimulatorReplyModes, OneReplyPerDevicePerRequest) {
    const std::string mode = GetParam();
    LoggedProcess* sim =
        StartSimulator(1, {"--devices", WriteDeviceFile("mixed", MIXED_DEVICES), "--reply", mode, "--lifetime", "30"});
    ASSERT_NE(sim, nullptr);
    EXPECT_NE(sim->Log().find("READY port=26487 devices=5\n"), std::string::npos) << sim->Log();

    PcClient pc;
    pc.Request();
    std::vector<Heard> heard = pc.Listen(3s, 5);
    const std::vector<Heard> more = pc.Listen(300ms);
    heard.insert(heard.end(), more.begin(), more.end());
    const std::vector<Heard> replies = Accepted(heard);
    ASSERT_EQ(replies.size(), 5u) << "one reply per device";
    EXPECT_EQ(Macs(replies).size(), 5u);
    for (const Heard& h : replies) {
        const DeviceRecord r = Record(h);
        const bool inPcSubnet = r.ipAddress[0] == 192;
        const bool expectBroadcast = mode == "broadcast" || (mode == "auto" && !inPcSubnet);
        EXPECT_EQ(h.viaBroadcastSocket, expectBroadcast) << h.mac << " in mode " << mode;
        if (h.mac == "020000000001") {
            EXPECT_EQ(r.deviceId, 101);
            EXPECT_EQ(r.deviceName, "AHU 1");
        }
        if (h.mac == "020000000005") {
            EXPECT_EQ(r.location, "Roof");
        }
    }
    const auto requests = WaitForLines(*sim, {"\"dir\":\"in\"", "\"cmd\":\"request\""}, 1);
    ASSERT_EQ(requests.size(), 1u) << sim->Log();
    EXPECT_EQ(Field(requests[0], "peer"), "\"192.168.92.1:26487\"");
    EXPECT_EQ(Field(requests[0], "local"), "\"255.255.255.255:26487\"");
    EXPECT_EQ(Field(requests[0], "answers"), "5");
    EXPECT_EQ(WaitForLines(*sim, {"\"dir\":\"out\"", "\"cmd\":\"reply\""}, 5).size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(Modes, SimulatorReplyModes, ::testing::Values("auto", "unicast", "broadcast"));

TEST_F(SimulatorE2e, ThousandDevicesAnswerOneRequest) {
    LoggedProcess* sim = StartSimulator(1, {"--generate", "1000", "--subnet", "192.168.92.0/22", "--lifetime", "60"});
    ASSERT_NE(sim, nullptr);
    PcClient pc;
    pc.Request();
    const std::vector<Heard> heard = pc.Listen(10s, 1000);
    EXPECT_EQ(Macs(heard).size(), 1000u);
    EXPECT_EQ(Accepted(heard).size(), 1000u);
    EXPECT_EQ(Macs(heard).count("020000000001"), 1u);
    EXPECT_EQ(Macs(heard).count("0200000003E8"), 1u);
}

// The configuration write's worked example for device 02:00:00:00:00:01: DHCP off, 192.168.1.20/24,
// gateway .1, ID 1234, name AHU1, PLA/ELA 254, port 47808.
const Bytes EXAMPLE_WRITE = {0x00, 0x04, 0x01, 0x06, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01, 0x60, 0x04, 0xC0, 0xA8,
                             0x01, 0x14, 0x61, 0x04, 0xFF, 0xFF, 0xFF, 0x00, 0x62, 0x04, 0xC0, 0xA8, 0x01, 0x01,
                             0x66, 0x04, 0x41, 0x48, 0x55, 0x31, 0x67, 0x00, 0x69, 0x02, 0xFE, 0xFE, 0x6A, 0x01,
                             0x00, 0x7C, 0x04, 0xD2, 0x04, 0x00, 0x00, 0x7E, 0x04, 0x41, 0x48, 0x55, 0x31, 0x7F,
                             0x02, 0xC0, 0xBA, 0x80, 0x00, 0x81, 0x00, 0x82, 0x04, 0x00, 0x00, 0x00, 0x00};

TEST_F(SimulatorE2e, WriteChangesTheNextReplyAfterTheRestart) {
    LoggedProcess* sim =
        StartSimulator(1, {"--generate", "3", "--claim-addresses", "--restart-silence", "1.5", "--lifetime", "30"});
    ASSERT_NE(sim, nullptr);
    ASSERT_EQ(EXAMPLE_WRITE.size(), 69u);
    PcClient pc;
    // As the tool sends it: twice to the device's address, then twice by broadcast.
    const Ipv4Octets device{{192, 168, 92, 10}};
    pc.Send(EXAMPLE_WRITE, device);
    std::this_thread::sleep_for(200ms);
    pc.Send(EXAMPLE_WRITE, device);
    std::this_thread::sleep_for(250ms);
    pc.Send(EXAMPLE_WRITE, LIMITED_BROADCAST);
    std::this_thread::sleep_for(200ms);
    pc.Send(EXAMPLE_WRITE, LIMITED_BROADCAST);

    const auto writes = WaitForLines(*sim, {"\"cmd\":\"write\""}, 4);
    ASSERT_EQ(writes.size(), 4u) << sim->Log();
    for (const std::string& line : writes) {
        EXPECT_EQ(Field(line, "hex"), Field(writes[0], "hex")) << "four identical datagrams";
        EXPECT_EQ(Field(line, "mac"), "\"02:00:00:00:00:01\"");
    }
    EXPECT_EQ(Field(writes[0], "local"), "\"192.168.92.10:26487\"") << "the claimed address received the unicast";
    EXPECT_EQ(Field(writes[2], "local"), "\"255.255.255.255:26487\"");
    EXPECT_EQ(Field(writes[0], "applied"), "true");
    EXPECT_EQ(Field(writes[1], "reject"), "\"restarting\"");
    EXPECT_NE(
        writes[0].find("\"settings\":{\"ip\":\"192.168.1.20\",\"mask\":\"255.255.255.0\",\"gw\":\"192.168.1.1\","),
        std::string::npos)
        << writes[0];

    pc.Request();
    std::vector<Heard> during = pc.Listen(1s);
    EXPECT_EQ(Macs(during), (std::set<std::string>{"020000000002", "020000000003"})) << "device 1 is restarting";

    std::this_thread::sleep_for(700ms);
    pc.Request();
    const std::vector<Heard> after = pc.Listen(2s, 3);
    ASSERT_EQ(Macs(after).size(), 3u);
    for (const Heard& h : Accepted(after)) {
        if (h.mac != "020000000001") continue;
        const DeviceRecord r = Record(h);
        EXPECT_EQ(ToText(Ipv4Octets{{r.ipAddress[0], r.ipAddress[1], r.ipAddress[2], r.ipAddress[3]}}), "192.168.1.20");
        EXPECT_EQ(r.deviceId, 1234);
        EXPECT_EQ(r.deviceName, "AHU1");
        EXPECT_EQ(r.pla, 254);
        EXPECT_EQ(r.bacnetPort, 47808);
        EXPECT_TRUE(h.viaBroadcastSocket) << "192.168.1.20/24 does not hold the PC, so it broadcasts";
    }
    const auto released = WaitForLines(*sim, {"\"event\":\"release\"", "192.168.92.10"}, 1);
    ASSERT_EQ(released.size(), 1u) << "the old address goes once the restart is over";
    EXPECT_GT(std::stod(Field(released[0], "mono_ms")), std::stod(Field(writes[1], "mono_ms")));
}

TEST_F(SimulatorE2e, WinksAreLoggedWithTheirMacAndTiming) {
    LoggedProcess* sim = StartSimulator(1, {"--generate", "2", "--lifetime", "30"});
    ASSERT_NE(sim, nullptr);
    PcClient pc;
    const Bytes wink{0x00, 0x05, 0x02, 0x00, 0x00, 0x00, 0x00, 0x02, 0x0A};
    pc.Send(wink, LIMITED_BROADCAST);
    std::this_thread::sleep_for(200ms);
    pc.Send(wink, LIMITED_BROADCAST);
    const auto winks = WaitForLines(*sim, {"\"cmd\":\"wink\"", "\"winked\":true"}, 2);
    ASSERT_EQ(winks.size(), 2u) << sim->Log();
    EXPECT_EQ(Field(winks[0], "mac"), "\"02:00:00:00:00:02\"");
    EXPECT_EQ(Field(winks[0], "device"), "1");
    const double gap = std::stod(Field(winks[1], "mono_ms")) - std::stod(Field(winks[0], "mono_ms"));
    EXPECT_GT(gap, 150.0) << "the simulator logs each wink when it comes, not both at once";
    EXPECT_TRUE(pc.Listen(300ms).empty()) << "a wink gets no answer";

    EXPECT_EQ(sim->Stop(), 0) << "SIGTERM is a normal stop";
    const auto stop = LinesWith(*sim, {"\"event\":\"stop\""});
    ASSERT_EQ(stop.size(), 1u) << sim->Log();
    EXPECT_EQ(Field(stop[0], "reason"), "\"signal SIGTERM\"");
    EXPECT_EQ(Field(stop[0], "received"), "2");
}

TEST_F(SimulatorE2e, StopsByItselfAtTheEndOfItsLifetime) {
    const Clock::time_point start = Clock::now();
    LoggedProcess* sim = StartSimulator(1, {"--generate", "1", "--lifetime", "1"});
    ASSERT_NE(sim, nullptr);
    const auto stop = WaitForLines(*sim, {"\"event\":\"stop\"", "\"reason\":\"lifetime\""}, 1, 5s);
    ASSERT_EQ(stop.size(), 1u) << sim->Log();
    EXPECT_GE(Clock::now() - start, 1s);
    EXPECT_EQ(sim->Stop(), 0);
}

TEST_F(SimulatorE2e, BrokenRepliesNeverPassTheScansChecks) {
    LoggedProcess* sim = StartSimulator(1, {"--generate", "2", "--faults", "all", "--lifetime", "30"});
    ASSERT_NE(sim, nullptr);
    PcClient pc;
    pc.Request();
    const std::vector<Heard> heard = pc.Listen(1500ms);
    EXPECT_EQ(heard.size(), 2u + 12u) << "every broken datagram arrives, the oversize one too";
    EXPECT_EQ(Macs(heard), (std::set<std::string>{"020000000001", "020000000002"}));
    EXPECT_EQ(std::count_if(heard.begin(), heard.end(), [](const Heard& h) { return h.raw.size() > MAX_DATAGRAM; }), 1);
}

TEST_F(SimulatorE2e, FloodReachesTheRequesterWithItsDistinctMacs) {
    LoggedProcess* sim = StartSimulator(
        1, {"--generate", "5", "--faults-only", "--flood", "300", "--flood-macs", "40", "--lifetime", "30"});
    ASSERT_NE(sim, nullptr);
    PcClient pc;
    pc.Request();
    const std::vector<Heard> heard = pc.Listen(3s);
    EXPECT_EQ(heard.size(), 340u);
    const std::set<std::string> macs = Macs(heard);
    EXPECT_EQ(macs.size(), 40u);
    for (const std::string& mac : macs) EXPECT_EQ(mac.substr(0, 4), "02F1") << "only made-up devices";
    for (const Heard& h : heard) EXPECT_FALSE(h.viaBroadcastSocket) << "the flood is unicast to the requester";
}

TEST_F(SimulatorE2e, ShuffledRepliesComeInAnotherOrder) {
    LoggedProcess* sim = StartSimulator(1, {"--generate", "40", "--shuffle", "--reply-gap", "200", "--lifetime", "30"});
    ASSERT_NE(sim, nullptr);
    PcClient pc;
    pc.Request();
    std::vector<std::string> order;
    for (const Heard& h : Accepted(pc.Listen(3s, 40))) order.push_back(h.mac);
    ASSERT_EQ(order.size(), 40u);
    EXPECT_FALSE(std::is_sorted(order.begin(), order.end()));
}

class TwoDeviceNamespaces : public SimulatorE2e {
protected:
    test::LabOptions Options() const override {
        test::LabOptions options;
        options.devices = 2;
        return options;
    }
};

TEST_F(TwoDeviceNamespaces, AutoMacBaseKeepsTheSimulatorsApart) {
    const std::vector<std::string> args = {"--generate", "3", "--mac-base", "auto", "--lifetime", "30"};
    ASSERT_NE(StartSimulator(1, args), nullptr);
    ASSERT_NE(StartSimulator(2, args), nullptr);
    PcClient pc;
    pc.Request();
    const std::set<std::string> macs = Macs(pc.Listen(3s, 6));
    // 192.168.92.2 and .3: 02:A8:5C:02:00:01.. and 02:A8:5C:03:00:01..
    EXPECT_EQ(macs, (std::set<std::string>{"02A85C020001", "02A85C020002", "02A85C020003", "02A85C030001",
                                           "02A85C030002", "02A85C030003"}));
}

TEST(Simulator, RefusesToRunInTheMachinesNamespace) {
    const auto ours = test::ThreadNamespaceInode();
    ASSERT_TRUE(ours);
    if (!test::IsMachineNamespace(*ours)) GTEST_SKIP() << "this test runs inside a private namespace already";
    // A device file that does not exist: should the check ever fail, the program stops at the file,
    // before it opens a socket.
    const test::CommandResult run =
        test::RunCommand({PELMORA_SIM_PATH, "--devices", "/nonexistent/sim.devices", "--lifetime", "1"}, 10s);
    EXPECT_EQ(run.exitStatus, 3) << run.output;
    EXPECT_NE(run.output.find("refusing to run in the machine's own network namespace"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("READY"), std::string::npos);
}

}  // namespace
}  // namespace pelmora
