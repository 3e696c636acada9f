// pelmora-scan --plan in the lab against the simulator: the preview, the apply with its verifying scans,
// the refusals, the list read back as a plan, and devices past the list's rows.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/protocol/SimulatorLog.h"
#include "tests/support/LabTest.h"
#include "tests/tools/MixedPlan.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

class PlanE2e : public LabTest {
protected:
    // A file in /tmp for this lab, removed with the test.
    std::string File(const std::string& name, const std::string& text) {
        const std::string path = "/tmp/" + TheLab().Prefix() + "-" + name;
        std::ofstream(path, std::ios::binary) << text;
        m_files.push_back(path);
        return path;
    }
    void TearDown() override {
        for (const std::string& path : m_files) std::remove(path.c_str());
        LabTest::TearDown();
    }
    // Standard output alone, or with standard error after it.
    CommandResult Scan(const std::vector<std::string>& args, bool withErrors = false) {
        std::vector<std::string> argv = {"sh", "-c", withErrors ? "exec \"$@\" 2>&1" : "exec \"$@\" 2>/dev/null", "sh",
                                         PELMORA_SCAN_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunInPc(argv, 120s);
    }
    static std::size_t Writes(const LoggedProcess& sim) {
        return WaitForRecords(
                   sim, [](const JsonValue& r) { return IsReceived(r, "write"); }, 1, 500ms)
            .size();
    }

private:
    std::vector<std::string> m_files;
};

TEST_F(PlanE2e, TheMixedSitePreviewsSendingNothingThenAppliesAndVerifies) {
    LoggedProcess* sim = StartSimulator(1, {"--devices", File("devices.txt", MIXED_SITE_DEVICES), "--claim-addresses"});
    ASSERT_TRUE(sim);
    const std::string plan = File("plan.csv", MIXED_SITE_PLAN);

    const CommandResult preview = Scan({"--plan", plan, "--json"});
    ASSERT_EQ(preview.exitStatus, 0) << preview.output;
    const auto previewed = ParseJson(preview.output);
    ASSERT_TRUE(previewed) << preview.output;
    ASSERT_EQ(previewed->items.size(), 6u);
    EXPECT_EQ(previewed->items[0].TextOf("result"), "changes");
    const JsonValue* id = previewed->items[0].Find("Device ID");
    ASSERT_TRUE(id);
    EXPECT_EQ(id->TextOf("before"), "(8193)");
    EXPECT_EQ(id->TextOf("planned"), "4101");
    EXPECT_EQ(previewed->items[5].TextOf("result"), "not found");
    EXPECT_EQ(Writes(*sim), 0u) << "the preview sends no write";

    const CommandResult applied = Scan({"--plan", plan, "--apply", "--json"});
    EXPECT_EQ(applied.exitStatus, 1) << applied.output;
    ExpectMixedSiteApplied(applied.output, *sim);
}

TEST_F(PlanE2e, APlanWithProblemsIsRefusedByLineAndSendsNothing) {
    LoggedProcess* sim = StartSimulator(1, {"--devices", File("devices.txt", MIXED_SITE_DEVICES)});
    ASSERT_TRUE(sim);
    const struct {
        const char* plan;
        const char* problem;
    } cases[] = {
        {"Unit,Device ID\n00:50:C2:8F:20:01,4101\n00:50:C2:8F:20:02,41x\n",
         "line 3, column 2 (Device ID): not a device ID: \"41x\""},
        {"Unit,IP address\n00:50:C2:8F:20:01,192.168.92.21\n00:50:C2:8F:20:02,192.168.92.21\n",
         "line 3, column 2 (IP address): IP address 192.168.92.21 is also held by line 2"},
    };
    for (const auto& c : cases) {
        const CommandResult result = Scan({"--plan", File("bad.csv", c.plan), "--apply"}, true);
        EXPECT_EQ(result.exitStatus, 2) << result.output;
        EXPECT_NE(result.output.find(c.problem), std::string::npos) << result.output;
        EXPECT_NE(result.output.find("nothing sent"), std::string::npos) << result.output;
    }
    EXPECT_EQ(Writes(*sim), 0u);
}

TEST_F(PlanE2e, TheListsOwnCsvReadBackPreviewsAsAllUnchanged) {
    // Generated devices: some without BACnet, factory defaults with "$" names; and formula-like texts.
    const std::string awkward =
        "mac=02:00:00:00:07:01 ip=192.168.92.50 mask=255.255.255.0 bacnet=1 id=-1 "
        "name=%3DSUM($) location=-Roof,%20east description=@x\n";
    ASSERT_TRUE(StartSimulator(1, {"--generate", "20", "--devices", File("devices.txt", awkward)}));
    const CommandResult list = Scan({"--csv"});
    ASSERT_EQ(list.exitStatus, 0);
    const CommandResult preview = Scan({"--plan", File("list.csv", list.output), "--json"}, false);
    ASSERT_EQ(preview.exitStatus, 0) << preview.output;
    const auto parsed = ParseJson(preview.output);
    ASSERT_TRUE(parsed) << preview.output;
    ASSERT_EQ(parsed->items.size(), 21u);
    for (const JsonValue& entry : parsed->items)
        EXPECT_EQ(entry.TextOf("result"), "unchanged") << entry.TextOf("Unit") << "\n" << preview.output;

    const CommandResult planTemplate = Scan({"--template"});
    ASSERT_EQ(planTemplate.exitStatus, 0);
    const CommandResult again = Scan({"--plan", File("template.csv", planTemplate.output)});
    ASSERT_EQ(again.exitStatus, 0) << again.output;
    EXPECT_EQ(again.output.find("changes"), std::string::npos) << again.output;
}

TEST_F(PlanE2e, DevicesPastTheListsRowsAreFoundAndTheScanSaysItListsNotAll) {
    ASSERT_TRUE(StartSimulator(1, {"--generate", "300"}));
    const CommandResult list = Scan({"--json"}, true);
    EXPECT_NE(list.output.find("300 devices answered; only the first 256 are listed"), std::string::npos);
    // Generated devices 281 and 297 (from 0): past the 256th row, both with BACnet.
    const CommandResult preview =
        Scan({"--plan", File("far.csv", "Unit,Location\n02:00:00:00:01:1A,Far\n02:00:00:00:01:2A,Farther\n"), "--csv"});
    ASSERT_EQ(preview.exitStatus, 0) << preview.output;
    EXPECT_NE(preview.output.find("02:00:00:00:01:1A,changes,Location: Rack 15 \xE2\x86\x92 Far"), std::string::npos)
        << preview.output;
    EXPECT_NE(preview.output.find("02:00:00:00:01:2A,changes,Location: Rack 15 \xE2\x86\x92 Farther"),
              std::string::npos)
        << preview.output;
}

}  // namespace
}  // namespace pelmora::test
