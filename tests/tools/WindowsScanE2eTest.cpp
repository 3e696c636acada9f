// pelmora-scan.exe, the Windows build, under Wine in the lab's PC namespace: what it lists and sends
// must be what the Linux build lists and sends.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/protocol/SimulatorLog.h"
#include "tests/tools/MixedPlan.h"
#include "tests/tools/WineLabTest.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

const char* const UNICODE_DEVICE =
    "mac=02:00:00:00:07:01 ip=192.168.92.50 mask=255.255.255.0 bacnet=1 id=4194302 "
    "name=K\xC3\xA4ltezentrale%20\xE6\xB8\xA9\xE5\xBA\xA6\xE2\x9C\x93 location=B\xC3\xBChne%201 revision=2.10.3.4";

class WindowsScanE2e : public WineLabTest {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.devices = 2;
        return options;
    }
    // Standard output alone of the Linux or the Windows program; stderr would mix Wine's notes in.
    CommandResult Scan(bool windows, const std::vector<std::string>& args) {
        std::vector<std::string> argv = {"sh", "-c", "exec \"$@\" 2>/dev/null", "sh"};
        if (windows) {
            const std::vector<std::string> wine = Wine();
            argv.insert(argv.end(), wine.begin(), wine.end());
            argv.push_back(PELMORA_WINDOWS_BIN_DIR "/pelmora-scan.exe");
        } else {
            argv.push_back(PELMORA_SCAN_PATH);
        }
        argv.insert(argv.end(), args.begin(), args.end());
        return RunInPc(argv, 90s);
    }
};

TEST_F(WindowsScanE2e, ListsWhatTheLinuxBuildListsAndWinksTwice) {
    const std::string file = "/tmp/" + TheLab().Prefix() + "-unicode.txt";
    std::ofstream(file) << UNICODE_DEVICE << "\n";
    LoggedProcess* local = StartSimulator(1, {"--generate", "3", "--devices", file});
    std::remove(file.c_str());
    // Its settings do not fit the PC's subnet, so it can only answer by broadcast.
    LoggedProcess* foreign =
        StartSimulator(2, {"--generate", "1", "--subnet", "10.20.30.0/24", "--mac-base", "02:00:00:00:10:01"});
    ASSERT_TRUE(local && foreign);

    for (const char* form : {"--json", "--csv"}) {
        const CommandResult linux = Scan(false, {form});
        const CommandResult windows = Scan(true, {form});
        ASSERT_EQ(linux.exitStatus, 0) << linux.output;
        ASSERT_EQ(windows.exitStatus, 0) << windows.output;
        EXPECT_EQ(windows.output, linux.output) << form << ": the same rows, texts and line ends";
    }
    const auto parsed = ParseJson(Scan(true, {"--json"}).output);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->items.size(), 5u);
    EXPECT_EQ(parsed->items[3].TextOf("Device Name"), "K\xC3\xA4ltezentrale \xE6\xB8\xA9\xE5\xBA\xA6\xE2\x9C\x93");
    EXPECT_EQ(parsed->items[4].TextOf("IP address").rfind("10.20.30.", 0), 0u) << "heard by broadcast";

    ASSERT_EQ(Scan(true, {"--wink", "02:00:00:00:07:01"}).exitStatus, 0);
    const auto winks = WaitForRecords(
        *local, [](const JsonValue& r) { return IsReceived(r, "wink"); }, 2, 5s);
    ASSERT_EQ(winks.size(), 2u);
    EXPECT_EQ(winks[0].TextOf("hex"), winks[1].TextOf("hex"));
    EXPECT_EQ(winks[0].TextOf("hex").size(), 2u * 17) << "17 bytes";
    EXPECT_EQ(winks[0].TextOf("mac"), "02:00:00:00:07:01");
    const JsonValue* first = winks[0].Find("mono_ms");
    const JsonValue* second = winks[1].Find("mono_ms");
    ASSERT_TRUE(first && second);
    EXPECT_GE(second->number - first->number, 190.0) << "the repeat pause";
}

class WindowsPlanE2e : public WindowsScanE2e {
protected:
    LabOptions Options() const override { return {}; }
};

TEST_F(WindowsPlanE2e, TheMixedSitePlanPreviewsAndAppliesAsOnLinux) {
    const std::string devices = "/tmp/" + TheLab().Prefix() + "-devices.txt";
    const std::string plan = "/tmp/" + TheLab().Prefix() + "-plan.csv";
    std::ofstream(devices) << MIXED_SITE_DEVICES;
    std::ofstream(plan, std::ios::binary) << MIXED_SITE_PLAN;
    LoggedProcess* sim = StartSimulator(1, {"--devices", devices, "--claim-addresses"});
    std::remove(devices.c_str());
    ASSERT_TRUE(sim);
    // Wine's drive Z: is the root of this file system.
    const std::string windowsPath = "Z:" + plan;

    const CommandResult linuxPreview = Scan(false, {"--plan", plan, "--json"});
    const CommandResult windowsPreview = Scan(true, {"--plan", windowsPath, "--json"});
    ASSERT_EQ(windowsPreview.exitStatus, 0) << windowsPreview.output;
    EXPECT_EQ(windowsPreview.output, linuxPreview.output);
    EXPECT_TRUE(WaitForRecords(
                    *sim, [](const JsonValue& r) { return IsReceived(r, "write"); }, 1, 500ms)
                    .empty())
        << "the preview sends no write";

    const CommandResult applied = Scan(true, {"--plan", windowsPath, "--apply", "--json"});
    std::remove(plan.c_str());
    EXPECT_EQ(applied.exitStatus, 1) << applied.output;
    ExpectMixedSiteApplied(applied.output, *sim);
}

}  // namespace
}  // namespace pelmora::test
