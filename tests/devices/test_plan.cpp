// A commissioning plan: its reading and its checks against the devices that answered, as two tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/Plan.h"
#include "devices/PlanReport.h"
#include "protocol/WireFormat.h"
#include "tests/support/FakeDeviceNetwork.h"

namespace pelmora {
namespace {

using test::FakeDevice;

FakeDevice Device(std::uint8_t last, Ipv4Octets ip, std::int32_t id, std::string name = {}) {
    FakeDevice device;
    device.mac[5] = last;
    device.ip = ip;
    device.deviceId = id;
    device.name = std::move(name);
    device.location = {};
    return device;
}

// Two factory-fresh devices on one default address; one with a formula-like name, a location and a
// BBMD; one without BACnet; one that no plan below names.
ReplyStore Segment() {
    ReplyStore replies;
    const auto add = [&replies](const FakeDevice& device, const std::string& bbmd = {}) {
        ElementList list = ReplyOf(device);
        if (!bbmd.empty()) AppendTextElement(list, reply::BBMD_ADDRESS.tag, bbmd);
        replies[MacKey(list)] = list;
    };
    add(Device(1, {{192, 168, 92, 92}}, -1, "Unit $"));
    add(Device(2, {{192, 168, 92, 92}}, -1, "Unit $"));
    FakeDevice roof = Device(3, {{192, 168, 92, 30}}, 4200, "=SUM");
    roof.location = "Roof";
    add(roof, "10.0.0.1");
    FakeDevice plain = Device(4, {{192, 168, 92, 40}}, 0);
    plain.bacnet = false;
    add(plain);
    add(Device(5, {{192, 168, 92, 50}}, 4500, "Outside"));
    return replies;
}

// The problems, or each row's result and settings, as one text.
std::string Outcome(const std::string& planText) {
    Plan plan;
    std::vector<PlanProblem> problems = ParsePlan(planText, plan);
    PlanCheck check;
    if (problems.empty()) {
        check = CheckPlan(plan, Segment());
        problems = check.problems;
    }
    std::string out;
    for (const PlanProblem& problem : problems) out += ProblemText(problem) + "\n";
    if (!problems.empty()) return out;
    for (const ReportEntry& entry : PreviewEntries(check))
        out += std::string(ResultText(entry.result)) + ": " + SettingsText(entry) + "\n";
    return out;
}

struct Case {
    const char* what;
    std::string plan;
    std::string expected;
};

TEST(ParsePlan, FormsTheSpreadsheetWritesAndCellsTheDialogRefuses) {
    const std::string bom = "\xEF\xBB\xBF";
    const Case cases[] = {
        {"semicolons, a byte-order mark, CRLF", bom + "Unit;IP address\r\n02:00:00:00:00:01;192.168.92.21\r\n",
         "changes: IP address: 192.168.92.92 \xE2\x86\x92 192.168.92.21\n"},
        {"commas, LF, any case and order, a bare MAC", "ip ADDRESS,unit\n192.168.92.21,020000000001\n",
         "changes: IP address: 192.168.92.92 \xE2\x86\x92 192.168.92.21\n"},
        {"a quoted cell with the separator, doubled quotes and a line break",
         "Unit,Device Name\n02:00:00:00:00:01,\"A \"\"1\"\";\n2\"\n",
         "line 2, column 2 (Device Name): holds a control character: \"A \"1\";\n2\"\n"},
        {"the edit dialog's labels", "Unit;Name;Address\n02:00:00:00:00:01;AHU-1;192.168.92.21\n",
         "changes: IP address: 192.168.92.92 \xE2\x86\x92 192.168.92.21; Device Name: Unit $ \xE2\x86\x92 AHU-1\n"},
        {"the list's read-only columns", "Unit,BACnet,Revision,Duplicates\n02:00:00:00:00:01,Yes,9.9-9-99,IP address\n",
         "unchanged: \n"},
        {"what the list shows counts as unchanged", "Unit,Device ID,Device Name\n02:00:00:00:00:01,(1),Unit 0000001\n",
         "unchanged: \n"},
        {"so does the dialog's text, and the formula guard",
         "Unit,Device ID,Device Name,Location\n02:00:00:00:00:03,4200,'=SUM,Roof\n02:00:00:00:00:01,[factory "
         "default],Unit $,\n",
         "unchanged: \nunchanged: \n"},
        {"a hyphen clears a text and turns foreign-device registration off",
         "Unit,Location,BBMD\n02:00:00:00:00:03,-,-\n",
         "changes: Location: Roof \xE2\x86\x92 ; BBMD: 10.0.0.1 \xE2\x86\x92 -\n"},
        {"an unknown column is refused by name", "Unit,IP adress\n02:00:00:00:00:01,1.2.3.4\n",
         "line 1, column 2 (IP adress): unknown column \"IP adress\"\n"},
        {"no Unit column", "IP address\n192.168.92.21\n",
         "line 1: no \"Unit\" column: it names each device by its MAC\n"},
        {"an unclosed quote", "Unit,Device Name\n02:00:00:00:00:01,\"AHU\n", "line 2: a quoted cell is not closed\n"},
        {"a malformed MAC", "Unit\n02:00:00:00:01\n",
         "line 2, column 1 (Unit): not a MAC address: \"02:00:00:00:01\"\n"},
        {"a number the dialog would read as 5", "Unit,Device ID\n02:00:00:00:00:01,5-3\n",
         "line 2, column 2 (Device ID): not a device ID: \"5-3\"\n"},
        {"a device ID past the range", "Unit,Device ID\n02:00:00:00:00:01,4194304\n",
         "line 2, column 2 (Device ID): not a device ID from -1 to 4194303: \"4194304\"\n"},
        {"a PLA past the range", "Unit;PLA\n02:00:00:00:00:01;300\n",
         "line 2, column 2 (PLA): not a number from 0 to 255: \"300\"\n"},
        {"a name longer than the dialog takes", "Unit,Device Name\n02:00:00:00:00:01," + std::string(33, 'N') + "\n",
         "line 2, column 2 (Device Name): longer than 32 characters: \"" + std::string(33, 'N') + "\"\n"},
        {"a text in the ANSI code page", "Unit,Location\n02:00:00:00:00:01,B\xFChne\n",
         "line 2, column 2 (Location): not UTF-8 (save the sheet as \"CSV UTF-8\"): \"B\xFChne\"\n"},
        {"an address while DHCP goes on", "Unit,DHCP,IP address\n02:00:00:00:00:01,yes,192.168.92.21\n",
         "line 2, column 3 (IP address): DHCP is on, so the device takes no address from the plan\n"},
        {"a mask with holes", "Unit,Subnet mask\n02:00:00:00:00:01,255.0.255.0\n",
         "line 2, column 2 (Subnet mask): not a subnet mask: \"255.0.255.0\"\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(Outcome(c.plan), c.expected) << c.what;
}

TEST(CheckPlan, LooksAtWhatThePlanChanges) {
    const Case cases[] = {
        {"factory-fresh devices keep their shared address", "Unit,Location\n02:00:00:00:00:01,A\n02:00:00:00:00:02,B\n",
         "changes: Location:  \xE2\x86\x92 A\nchanges: Location:  \xE2\x86\x92 B\n"},
        {"a MAC given twice", "Unit,Location\n02:00:00:00:00:01,A\n02:00:00:00:00:01,B\n",
         "line 3, column 1 (Unit): MAC 02:00:00:00:00:01 is also on line 2\n"},
        {"two devices onto one address",
         "Unit,IP address\n02:00:00:00:00:01,192.168.92.21\n02:00:00:00:00:02,192.168.92.21\n",
         "line 2, column 2 (IP address): IP address 192.168.92.21 is also held by line 3 (02:00:00:00:00:02)\n"
         "line 3, column 2 (IP address): IP address 192.168.92.21 is also held by line 2 (02:00:00:00:00:01)\n"},
        {"two devices onto one device ID", "Unit,Device ID\n02:00:00:00:00:01,4101\n02:00:00:00:00:02,4101\n",
         "line 2, column 2 (Device ID): device ID 4101 is also held by line 3 (02:00:00:00:00:02)\n"
         "line 3, column 2 (Device ID): device ID 4101 is also held by line 2 (02:00:00:00:00:01)\n"},
        {"an address a device outside the plan holds", "Unit,IP address\n02:00:00:00:00:01,192.168.92.50\n",
         "line 2, column 2 (IP address): IP address 192.168.92.50 is also held by 02:00:00:00:00:05, which the plan "
         "leaves as it is\n"},
        {"a device ID a planned device keeps", "Unit,Device ID\n02:00:00:00:00:01,4200\n02:00:00:00:00:03,\n",
         "line 2, column 2 (Device ID): device ID 4200 is also held by line 3 (02:00:00:00:00:03)\n"},
        {"the number a factory-default device answers with", "Unit,Device ID\n02:00:00:00:00:05,2\n",
         "line 2, column 2 (Device ID): device ID 2 is also held by 02:00:00:00:00:02, which the plan leaves as it "
         "is\n"},
        {"a swap of two addresses",
         "Unit,IP address\n02:00:00:00:00:03,192.168.92.50\n02:00:00:00:00:05,192.168.92.30\n",
         "changes: IP address: 192.168.92.30 \xE2\x86\x92 192.168.92.50\n"
         "changes: IP address: 192.168.92.50 \xE2\x86\x92 192.168.92.30\n"},
        {"a device without BACnet", "Unit,Location\n02:00:00:00:00:04,A\n",
         "line 2, column 1 (Unit): 02:00:00:00:00:04 has no BACnet, so no settings to write\n"},
        {"a MAC that did not answer", "Unit,IP address\n02:00:00:00:00:09,192.168.92.50\n", "not found: \n"},
    };
    for (const Case& c : cases) EXPECT_EQ(Outcome(c.plan), c.expected) << c.what;
}

TEST(CheckPlan, FindsDevicesPastTheListsRows) {
    const ReplyStore replies = test::ManyDevices(300);
    Plan plan;
    ASSERT_TRUE(ParsePlan("Unit,Location\n02:00:00:00:01:2B,Far\n", plan).empty());  // device 299
    const PlanCheck check = CheckPlan(plan, replies);
    ASSERT_TRUE(check.problems.empty());
    EXPECT_EQ(check.items.at(0).action, PlanAction::Change);
}

TEST(PlanWaitSeconds, LongerOnlyWhenADeviceGoesFromAFixedAddressToDhcp) {
    Plan plan;
    ASSERT_TRUE(ParsePlan("Unit,Location,DHCP\n02:00:00:00:00:01,A,\n02:00:00:00:00:03,,No\n", plan).empty());
    EXPECT_EQ(PlanWaitSeconds(CheckPlan(plan, Segment())), 20);
    ASSERT_TRUE(ParsePlan("Unit,Location,DHCP\n02:00:00:00:00:01,A,\n02:00:00:00:00:03,,Yes\n", plan).empty());
    EXPECT_EQ(PlanWaitSeconds(CheckPlan(plan, Segment())), 35);
}

}  // namespace
}  // namespace pelmora
