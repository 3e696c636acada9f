#include "tests/tools/MixedPlan.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace pelmora::test {

const char* const MIXED_SITE_DEVICES =
    "mac=00:50:C2:8F:20:01 ip=192.168.92.92 mask=255.255.255.0 bacnet=1 id=-1 name=Unit%20$ silence=1\n"
    "mac=00:50:C2:8F:20:02 ip=192.168.92.92 mask=255.255.255.0 bacnet=1 id=-1 name=Unit%20$ silence=1\n"
    "mac=00:50:C2:8F:20:03 ip=192.168.92.92 mask=255.255.255.0 bacnet=1 id=-1 name=Unit%20$ silence=1\n"
    "mac=00:50:C2:8F:20:10 ip=192.168.92.30 mask=255.255.255.0 bacnet=1 id=4200 name=Stubborn writes=ignore\n"
    "mac=00:50:C2:8F:20:11 ip=192.168.92.31 mask=255.255.255.0 bacnet=1 id=4201 name=Sleepy silence=600\n";

const char* const MIXED_SITE_PLAN =
    "\xEF\xBB\xBFUnit;IP address;Device ID;Device Name;Location\r\n"
    "00:50:C2:8F:20:01;192.168.92.21;4101;AHU-1;Roof\r\n"
    "00:50:C2:8F:20:02;192.168.92.22;4102;AHU-2;Roof\r\n"
    "00:50:C2:8F:20:03;192.168.92.23;4103;\"AHU;3\";Roof\r\n"
    "00:50:C2:8F:20:10;;4110;;Basement\r\n"
    "00:50:C2:8F:20:11;192.168.92.51;;;\r\n"
    "00:50:C2:8F:20:99;192.168.92.99;4199;Ghost;\r\n";

void ExpectMixedSiteApplied(const std::string& reportJson, const LoggedProcess& simulator) {
    const auto report = ParseJson(reportJson);
    ASSERT_TRUE(report) << reportJson;
    std::map<std::string, std::string> results;
    for (const JsonValue& entry : report->items) results[entry.TextOf("Unit")] = entry.TextOf("result");
    EXPECT_EQ(results, (std::map<std::string, std::string>{{"00:50:C2:8F:20:01", "confirmed"},
                                                           {"00:50:C2:8F:20:02", "confirmed"},
                                                           {"00:50:C2:8F:20:03", "confirmed"},
                                                           {"00:50:C2:8F:20:10", "differs"},
                                                           {"00:50:C2:8F:20:11", "not seen"},
                                                           {"00:50:C2:8F:20:99", "not found"}}))
        << reportJson;
    const JsonValue& differs = report->items.at(3);
    const JsonValue* id = differs.Find("Device ID");
    ASSERT_TRUE(id) << reportJson;
    EXPECT_EQ(id->TextOf("planned"), "4110");
    EXPECT_EQ(id->TextOf("seen"), "4200");

    const auto writes = WaitForRecords(
        simulator, [](const JsonValue& r) { return IsReceived(r, "write"); }, 20, std::chrono::seconds(2));
    std::map<std::string, std::vector<const JsonValue*>> byMac;
    for (const JsonValue& write : writes) byMac[write.TextOf("mac")].push_back(&write);
    ASSERT_EQ(byMac.size(), 5u) << "every changing device, nothing to the missing MAC";
    const std::map<std::string, std::pair<std::string, std::string>> planned = {
        {"00:50:C2:8F:20:01", {"192.168.92.21", "AHU-1"}},
        {"00:50:C2:8F:20:02", {"192.168.92.22", "AHU-2"}},
        {"00:50:C2:8F:20:03", {"192.168.92.23", "AHU;3"}},
        {"00:50:C2:8F:20:10", {"192.168.92.30", "Stubborn"}},
        {"00:50:C2:8F:20:11", {"192.168.92.51", "Sleepy"}}};
    for (const auto& [mac, received] : byMac) {
        ASSERT_EQ(received.size(), 4u) << mac << ": two to its address, two by broadcast";
        std::set<std::string> bytes;
        std::set<std::string> destinations;
        for (const JsonValue* write : received) {
            bytes.insert(write->TextOf("hex"));
            destinations.insert(write->TextOf("local"));
        }
        EXPECT_EQ(bytes.size(), 1u) << mac << ": four identical datagrams";
        EXPECT_EQ(destinations.count("255.255.255.255:26487"), 1u) << mac;
        const JsonValue* settings = received.front()->Find("settings");
        ASSERT_TRUE(settings) << mac;
        EXPECT_EQ(settings->TextOf("ip"), planned.at(mac).first) << mac;
        EXPECT_EQ(settings->TextOf("name"), planned.at(mac).second) << mac;
    }
}

}  // namespace pelmora::test
