// pelmora-scan run in the lab's PC namespace against the simulator.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/protocol/SimulatorLog.h"
#include "tests/support/CsvReader.h"
#include "tests/support/InstalledCopy.h"
#include "tests/support/LabTest.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

const char* const DEVICE_LINE_WITH_AWKWARD_TEXTS =
    "mac=02:00:00:00:07:01 ip=192.168.92.50 mask=255.255.255.0 gw=192.168.92.1 dns=192.168.92.1 "
    "dns2=0.0.0.0 dhcp=0 bacnet=1 id=4194302 name=Say\"hi\"\\C:%09tab%0A\xC3\x89t\xC3\xA9\xE2\x9C\x93$ "
    "text=T description=D location=B\xC3\xBChne%201 bbmd= port=47808 pla=7 ela=3 debug=0 revision=2.10.3.4";

// The list's nine headings, in order.
const std::array<std::string, 9> HEADINGS = {"Unit", "IP address", "BACnet",   "Device ID", "Device Name",
                                             "PLA",  "ELA",        "Location", "Revision"};

// The rows for the simulator's 20 generated devices (the patterns in tools/simulator/README.md: no BACnet
// when i mod 4 = 3, the factory default -1 shown as "(n)" from the last two MAC bytes when i mod 10 = 9),
// then the device above, in MAC order.
const std::vector<std::array<std::string, 9>> EXPECTED_ROWS = {
    {"02:00:00:00:00:01", "192.168.92.10", "Yes", "100000", "SIM-0001", "1", "254", "Rack 1", "1.2-0-00"},
    {"02:00:00:00:00:02", "192.168.92.11", "Yes", "100001", "SIM-0002", "2", "254", "Rack 1", "1.2-1-01"},
    {"02:00:00:00:00:03", "192.168.92.12", "Yes", "100002", "SIM-0003", "3", "254", "Rack 1", "1.2-2-02"},
    {"02:00:00:00:00:04", "192.168.92.13", "", "", "", "4", "254", "", "1.2-3-03"},
    {"02:00:00:00:00:05", "192.168.92.14", "Yes", "100004", "SIM-0005", "5", "254", "Rack 1", "1.2-4-04"},
    {"02:00:00:00:00:06", "192.168.92.15", "Yes", "100005", "SIM-0006", "6", "254", "Rack 1", "1.2-5-05"},
    {"02:00:00:00:00:07", "192.168.92.16", "Yes", "100006", "SIM-0007", "7", "254", "Rack 1", "1.2-6-06"},
    {"02:00:00:00:00:08", "192.168.92.17", "", "", "", "8", "254", "", "1.2-7-07"},
    {"02:00:00:00:00:09", "192.168.92.18", "Yes", "100008", "SIM-0009", "9", "254", "Rack 1", "1.2-8-08"},
    {"02:00:00:00:00:0A", "192.168.92.19", "Yes", "(10)", "SIM-0000010", "10", "254", "Rack 1", "1.2-9-09"},
    {"02:00:00:00:00:0B", "192.168.92.20", "Yes", "100010", "SIM-0011", "11", "254", "Rack 1", "1.2-0-10"},
    {"02:00:00:00:00:0C", "192.168.92.21", "", "", "", "12", "254", "", "1.2-1-11"},
    {"02:00:00:00:00:0D", "192.168.92.22", "Yes", "100012", "SIM-0013", "13", "254", "Rack 1", "1.2-2-12"},
    {"02:00:00:00:00:0E", "192.168.92.23", "Yes", "100013", "SIM-0014", "14", "254", "Rack 1", "1.2-3-13"},
    {"02:00:00:00:00:0F", "192.168.92.24", "Yes", "100014", "SIM-0015", "15", "254", "Rack 1", "1.2-4-14"},
    {"02:00:00:00:00:10", "192.168.92.25", "", "", "", "16", "254", "", "1.2-5-15"},
    {"02:00:00:00:00:11", "192.168.92.26", "Yes", "100016", "SIM-0017", "17", "254", "Rack 1", "1.2-6-16"},
    {"02:00:00:00:00:12", "192.168.92.27", "Yes", "100017", "SIM-0018", "18", "254", "Rack 1", "1.2-7-17"},
    {"02:00:00:00:00:13", "192.168.92.28", "Yes", "100018", "SIM-0019", "19", "254", "Rack 1", "1.2-8-18"},
    {"02:00:00:00:00:14", "192.168.92.29", "", "", "", "20", "254", "", "1.2-9-19"},
    {"02:00:00:00:07:01", "192.168.92.50", "Yes", "4194302",
     "Say\"hi\"\\C:\ttab\n\xC3\x89t\xC3\xA9\xE2\x9C\x93"
     "4194302",
     "7", "3", "B\xC3\xBChne 1", "2.10-3-04"},
};

class ScanToolE2e : public LabTest {
protected:
    CommandResult Scan(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {PELMORA_SCAN_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunInPc(argv, 30s);
    }
    // A device file in /tmp for the simulator, removed by the caller once the simulator has read it.
    std::string DeviceFile(const std::string& name, const std::string& lines) {
        const std::string path = "/tmp/" + TheLab().Prefix() + "-" + name + ".txt";
        std::ofstream(path) << lines;
        return path;
    }
};

// The "Unit" and "duplicates" members of every object of the JSON array.
std::vector<std::pair<std::string, std::string>> UnitsAndDuplicates(const std::string& json) {
    std::vector<std::pair<std::string, std::string>> rows;
    const auto parsed = ParseJson(json);
    if (!parsed) return rows;
    for (const JsonValue& object : parsed->items) {
        std::string flagged;
        if (const JsonValue* duplicates = object.Find("duplicates")) {
            for (const JsonValue& heading : duplicates->items) flagged += (flagged.empty() ? "" : "|") + heading.text;
        }
        rows.emplace_back(object.TextOf("Unit"), flagged);
    }
    return rows;
}

TEST_F(ScanToolE2e, JsonOutputParsesAndShowsEverySimulatedDevice) {
    const std::string deviceFile = "/tmp/" + TheLab().Prefix() + "-devices.txt";
    std::ofstream(deviceFile) << DEVICE_LINE_WITH_AWKWARD_TEXTS << "\n";
    LoggedProcess* sim = StartSimulator(1, {"--generate", "20", "--shuffle", "--devices", deviceFile});
    std::remove(deviceFile.c_str());
    ASSERT_TRUE(sim);

    const CommandResult result = Scan({"--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    const auto parsed = ParseJson(result.output);
    ASSERT_TRUE(parsed) << "not JSON: " << result.output;
    ASSERT_EQ(parsed->kind, JsonValue::Kind::Array);

    ASSERT_EQ(parsed->items.size(), EXPECTED_ROWS.size()) << result.output;
    for (std::size_t i = 0; i < EXPECTED_ROWS.size(); ++i) {
        const JsonValue& object = parsed->items[i];
        ASSERT_EQ(object.members.size(), HEADINGS.size() + 1) << "the nine columns and \"duplicates\"";
        for (std::size_t c = 0; c < HEADINGS.size(); ++c) {
            EXPECT_EQ(object.members[c].first, HEADINGS[c]);
            EXPECT_EQ(object.TextOf(HEADINGS[c]), EXPECTED_ROWS[i][c]) << "row " << i << " column " << c;
        }
    }
}

// Run as an unprivileged user: the scan needs no rights at all.
TEST_F(ScanToolE2e, TheTableListsTheDevicesInMacOrderUnderTheNineHeadings) {
    ASSERT_TRUE(StartSimulator(1, {"--generate", "3", "--shuffle"}));
    std::string error;
    const auto copy = InstalledCopy::Make(PELMORA_SCAN_PATH, "", false, error);
    ASSERT_TRUE(copy) << error;
    std::vector<std::string> argv = AsUnprivilegedUser();
    argv.push_back(copy->ProgramPath());
    const CommandResult result = RunInPc(argv, 30s);
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = result.output.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(result.output.substr(start, end - start));
    ASSERT_EQ(lines.size(), 4u) << result.output;
    std::size_t at = 0;
    for (const std::string& heading : HEADINGS) {
        at = lines[0].find(heading, at);
        ASSERT_NE(at, std::string::npos) << heading;
    }
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(lines[static_cast<std::size_t>(n)].rfind("02:00:00:00:00:0" + std::to_string(n), 0), 0u);
}

TEST_F(ScanToolE2e, WinkNamesTheDeviceByItsMacAndAnUnknownMacSendsNothing) {
    LoggedProcess* sim = StartSimulator(1, {"--generate", "2"});
    ASSERT_TRUE(sim);
    const CommandResult unknown = Scan({"--wink", "02:00:00:00:00:09"});
    EXPECT_NE(unknown.exitStatus, 0);
    EXPECT_NE(unknown.output.find("02:00:00:00:00:09"), std::string::npos) << unknown.output;
    EXPECT_TRUE(WaitForRecords(
                    *sim, [](const JsonValue& r) { return IsReceived(r, "wink"); }, 1, 500ms)
                    .empty());

    const CommandResult known = Scan({"--wink", "02:00:00:00:00:0a"});
    EXPECT_NE(known.exitStatus, 0) << "0a is not one of the two devices";
    const CommandResult winked = Scan({"--json", "--wink", "02:00:00:00:00:02"});
    ASSERT_EQ(winked.exitStatus, 0) << winked.output;
    const auto winks = WaitForRecords(
        *sim, [](const JsonValue& r) { return IsReceived(r, "wink"); }, 2, 2s);
    ASSERT_EQ(winks.size(), 2u);
    for (const JsonValue& w : winks) EXPECT_EQ(w.TextOf("mac"), "02:00:00:00:00:02");
}

// Two devices on one factory-default instance, two on one address: exactly those rows are marked.
const char* const DUPLICATE_DEVICES =
    "mac=00:50:C2:8F:10:01 ip=192.168.92.20 mask=255.255.255.0 bacnet=1 id=4660 name=AHU-1 location=Roof\n"
    "mac=00:50:C2:8F:10:07 ip=192.168.92.27 mask=255.255.255.0 bacnet=0\n"
    "mac=00:50:C2:8F:11:20 ip=192.168.92.40 mask=255.255.255.0 bacnet=1 id=4100 name=Boiler%20house\n"
    "mac=00:50:C2:8F:12:34 ip=10.0.0.99 mask=255.0.0.0 bacnet=1 id=-1 name=Unit%20$\n"
    "mac=00:50:C2:8F:13:02 ip=192.168.92.27 mask=255.255.255.0 bacnet=1 id=4101 name=Chiller,%20east\n";

TEST_F(ScanToolE2e, DuplicatesAreMarkedAndTheCsvMatchesTheTableRowForRow) {
    const std::string file = DeviceFile("duplicates", DUPLICATE_DEVICES);
    LoggedProcess* sim = StartSimulator(1, {"--devices", file});
    std::remove(file.c_str());
    ASSERT_TRUE(sim);

    const CommandResult json = Scan({"--json"});
    ASSERT_EQ(json.exitStatus, 0) << json.output;
    EXPECT_EQ(UnitsAndDuplicates(json.output), (std::vector<std::pair<std::string, std::string>>{
                                                   {"00:50:C2:8F:10:01", "Device ID"},
                                                   {"00:50:C2:8F:10:07", "IP address"},
                                                   {"00:50:C2:8F:11:20", ""},
                                                   {"00:50:C2:8F:12:34", "Device ID"},
                                                   {"00:50:C2:8F:13:02", "IP address"},
                                               }))
        << json.output;

    const CommandResult table = Scan({});
    const CommandResult csv = Scan({"--csv"});
    ASSERT_EQ(table.exitStatus, 0) << table.output;
    ASSERT_EQ(csv.exitStatus, 0) << csv.output;
    const auto records = ReadCsv(csv.output);
    ASSERT_TRUE(records) << csv.output;
    const std::vector<std::string> lines = Split(table.output, '\n');
    ASSERT_EQ(records->size(), lines.size()) << table.output << csv.output;
    // The table's columns start where its headings do (these texts are ASCII: bytes are characters).
    std::vector<std::size_t> starts;
    for (const std::string& heading : records->front()) {
        starts.push_back(lines[0].find(heading, starts.empty() ? 0 : starts.back()));
        ASSERT_NE(starts.back(), std::string::npos) << heading;
    }
    for (std::size_t r = 0; r < lines.size(); ++r) {
        ASSERT_EQ((*records)[r].size(), starts.size());
        for (std::size_t c = 0; c < starts.size(); ++c) {
            std::string cell = lines[r].size() > starts[c] ? lines[r].substr(starts[c]) : "";
            if (c + 1 < starts.size()) cell = cell.substr(0, starts[c + 1] - starts[c]);
            while (!cell.empty() && cell.back() == ' ') cell.pop_back();
            EXPECT_EQ(cell, (*records)[r][c]) << "row " << r << " column " << c;
        }
    }
}

class RoutedScanToolE2e : public ScanToolE2e {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.routedDevices = 1;
        return options;
    }
};

TEST_F(RoutedScanToolE2e, ToReachesADeviceBehindARouterThatTheBroadcastDoesNot) {
    const std::string local = DeviceFile("local", "mac=02:00:00:00:00:01 ip=192.168.92.20 mask=255.255.255.0\n");
    const std::string routed = DeviceFile("routed", "mac=02:00:00:00:09:01 ip=" + ToText(Lab::RoutedDeviceAddress(1)) +
                                                        " mask=255.255.255.0 gw=192.168.93.1 bacnet=1 id=9001\n");
    LoggedProcess* localSim = StartSimulator(1, {"--devices", local});
    LoggedProcess* routedSim = StartSimulatorIn(Lab::RoutedDeviceNode(1), {"--devices", routed});
    std::remove(local.c_str());
    std::remove(routed.c_str());
    ASSERT_TRUE(localSim && routedSim);

    const CommandResult broadcast = Scan({"--json"});
    ASSERT_EQ(broadcast.exitStatus, 0) << broadcast.output;
    EXPECT_EQ(UnitsAndDuplicates(broadcast.output),
              (std::vector<std::pair<std::string, std::string>>{{"02:00:00:00:00:01", ""}}));

    const CommandResult directed =
        Scan({"--json", "--to", ToText(Lab::RoutedDeviceAddress(1)), "--wink", "02:00:00:00:09:01"});
    ASSERT_EQ(directed.exitStatus, 0) << directed.output;
    EXPECT_EQ(UnitsAndDuplicates(directed.output.substr(0, directed.output.find("pelmora-scan:"))),
              (std::vector<std::pair<std::string, std::string>>{{"02:00:00:00:09:01", ""}}));
    const auto winks = WaitForRecords(
        *routedSim, [](const JsonValue& r) { return IsReceived(r, "wink"); }, 2, 2s);
    ASSERT_EQ(winks.size(), 2u) << "the wink goes where the scan went";
    for (const JsonValue& wink : winks) EXPECT_EQ(wink.TextOf("local"), ToText(Lab::RoutedDeviceAddress(1)) + ":26487");
}

TEST_F(ScanToolE2e, BadArgumentsAndHelp) {
    const CommandResult badAddress = Scan({"--to", "192.168.5.300"});
    EXPECT_EQ(badAddress.exitStatus, 2);
    EXPECT_NE(badAddress.output.find("not an IPv4 address: '192.168.5.300'"), std::string::npos) << badAddress.output;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--wink"}, {"--wink", "02:00:00:00:00"}, {"--frobnicate"}}) {
        const CommandResult result = Scan(args);
        EXPECT_EQ(result.exitStatus, 2) << args.back();
        EXPECT_NE(result.output.find("usage: pelmora-scan"), std::string::npos) << result.output;
    }
    const CommandResult help = Scan({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.output.find("--wink MAC"), std::string::npos);
}

TEST_F(ScanToolE2e, AnInterfaceTableTooLargeToReadIsReported) {
    const std::string batch = "/tmp/" + TheLab().Prefix() + "-addresses.batch";
    {
        std::ofstream file(batch);
        // With loopback and the lab's own address, one row more than the table has room for.
        for (int n = 1; n <= 115; ++n)
            file << "address add 10.78.0." << n << "/32 dev " << TheLab().PcInterface() << "\n";
    }
    const CommandResult added = RunInPc({"ip", "-batch", batch});
    std::remove(batch.c_str());
    ASSERT_EQ(added.exitStatus, 0) << added.output;
    const CommandResult result = Scan({});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.output, "Internal Error: Cannot enumerate network interfaces on this computer.\n");
}

}  // namespace
}  // namespace pelmora::test
