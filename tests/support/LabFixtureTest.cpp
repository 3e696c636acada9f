// The fixture and the lab tool themselves: namespaces entered and left, processes and their readiness
// lines, command output, and labs that leave nothing behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "tests/support/LabTest.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool NamespaceExists(const std::string& name) { return NamespaceInode("/run/netns/" + name).has_value(); }

class LabFixture : public LabTest {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.devices = 2;
        return options;
    }
};

TEST_F(LabFixture, TestThreadRunsInThePcNamespaceAndVisitsDevices) {
    const auto pc = NamespaceInode("/run/netns/" + TheLab().PcNamespace());
    ASSERT_TRUE(pc);
    EXPECT_EQ(ThreadNamespaceInode(), pc);
    EXPECT_FALSE(IsMachineNamespace(*pc));

    std::optional<ino_t> inDevice;
    InNode("dev2", [&] { inDevice = ThreadNamespaceInode(); });
    EXPECT_EQ(inDevice, NamespaceInode("/run/netns/" + TheLab().DeviceNamespace(2)));
    EXPECT_NE(inDevice, pc);
    EXPECT_EQ(ThreadNamespaceInode(), pc) << "InNode must bring the thread back";
}

TEST_F(LabFixture, ProcessInADeviceIsReadyWhenItSaysSoAndLogsItsOutput) {
    LoggedProcess* process =
        StartInDevice(2, {"sh", "-c", "ip -o -4 address show; echo 'READY port=26487'; exec sleep 30"}, "READY");
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(process->Running());
    const std::string log = process->Log();
    EXPECT_NE(log.find(ToText(Lab::DeviceAddress(2)) + "/24"), std::string::npos) << log;
    EXPECT_NE(log.find("READY port=26487"), std::string::npos);
    EXPECT_EQ(process->Stop(), -1) << "sleep ends by the signal";
    EXPECT_FALSE(process->Running());
}

TEST_F(LabFixture, ReadinessWaitEndsAtTimeoutOrWhenTheProcessEnds) {
    const std::string log = ::testing::TempDir() + "/readiness-" + TheLab().Prefix() + ".log";
    auto silent = LoggedProcess::Start(TheLab().ExecArgv("dev1", {"sh", "-c", "echo NOT READY; exec sleep 30"}), log);
    ASSERT_TRUE(silent);
    auto start = Clock::now();
    EXPECT_FALSE(silent->WaitForLine("READY", 300ms)) << "only a line that starts with the prefix counts";
    EXPECT_GE(Clock::now() - start, 300ms);
    silent->Stop();

    auto ending = LoggedProcess::Start(TheLab().ExecArgv("dev1", {"sh", "-c", "echo bye; exit 4"}), log);
    ASSERT_TRUE(ending);
    start = Clock::now();
    EXPECT_FALSE(ending->WaitForLine("READY", 20s));
    EXPECT_LT(Clock::now() - start, 10s) << "a process that ended is not waited for";
    EXPECT_EQ(ending->Stop(), 4);

    auto late =
        LoggedProcess::Start(TheLab().ExecArgv("dev1", {"sh", "-c", "sleep 0.3; printf READY; exec sleep 30"}), log);
    ASSERT_TRUE(late);
    EXPECT_TRUE(late->WaitForLine("READY", 10s)) << "a readiness line without its newline yet";
    std::remove(log.c_str());
}

TEST_F(LabFixture, RunInPcCapturesOutputAndStatus) {
    const CommandResult result = RunInPc({"sh", "-c", "ip -o -4 address show; echo to-stderr >&2; exit 3"});
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_FALSE(result.timedOut);
    EXPECT_NE(result.output.find(ToText(Lab::DefaultPcAddress()) + "/24"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("to-stderr"), std::string::npos);
    EXPECT_EQ(result.output.find(ToText(Lab::DeviceAddress(1)) + "/"), std::string::npos);

    const auto start = Clock::now();
    const CommandResult slow = RunInPc({"sleep", "30"}, 300ms);
    EXPECT_TRUE(slow.timedOut);
    EXPECT_EQ(slow.exitStatus, -1);
    EXPECT_LT(Clock::now() - start, 10s);
}

TEST_F(LabFixture, SimulatorStartsInADeviceAndSaysReady) {
    if (SimulatorPath().empty()) GTEST_SKIP() << "the simulator (target pelmora-sim) is not part of this build";
    LoggedProcess* simulator = StartSimulator(1, {}, "READY");
    ASSERT_NE(simulator, nullptr);
    EXPECT_TRUE(simulator->Running());
    const CommandResult sockets = TheLab().Exec("dev1", {"ss", "-Hnlu", "sport = :26487"});
    EXPECT_NE(sockets.output.find(":26487"), std::string::npos)
        << "the simulator listens in its device namespace: " << sockets.output;
    const CommandResult pcSockets = RunInPc({"ss", "-Hnlu", "sport = :26487"});
    EXPECT_EQ(pcSockets.output.find(":26487"), std::string::npos) << pcSockets.output;
}

// Labs made outside the fixture, to watch the tool's own bookkeeping.
class LabTool : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "end-to-end test: needs root to build network namespaces";
    }
};

TEST_F(LabTool, DownRemovesEveryNamespaceOfTheLab) {
    std::string error;
    LabOptions options;
    options.devices = 3;
    options.extraAdapters = 2;
    auto lab = Lab::Up(options, error);
    ASSERT_TRUE(lab) << error;
    for (const std::string& ns :
         {lab->PcNamespace(), lab->SwitchNamespace(), lab->DeviceNamespace(1), lab->DeviceNamespace(3)})
        EXPECT_TRUE(NamespaceExists(ns)) << ns;
    const CommandResult listed = RunCommand({Lab::ToolPath(), "list"}, 30s);
    EXPECT_NE(listed.output.find(lab->Prefix()), std::string::npos);
    // A process left running inside the lab does not keep it alive.
    const CommandResult started = RunCommand(
        {Lab::ToolPath(), "exec", lab->Prefix(), "dev3", "--", "sh", "-c", "sleep 60 >/dev/null 2>&1 &"}, 30s);
    EXPECT_EQ(started.exitStatus, 0) << started.output;
    const std::string prefix = lab->Prefix();
    EXPECT_TRUE(lab->Down());
    const CommandResult after = RunCommand({"ip", "netns", "list"}, 30s);
    EXPECT_EQ(after.output.find(prefix), std::string::npos) << after.output;
}

TEST_F(LabTool, FailedSetUpLeavesNothing) {
    const std::string registry = ::testing::TempDir() + "/lab-registry-" + std::to_string(getpid());
    const char* previous = std::getenv("PELMORA_LAB_REGISTRY");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("PELMORA_LAB_REGISTRY", registry.c_str(), 1);
    std::string error;
    LabOptions options;
    options.pcAddress = "not-an-address";
    auto lab = Lab::Up(options, error);
    if (previous != nullptr) setenv("PELMORA_LAB_REGISTRY", saved.c_str(), 1);
    else unsetenv("PELMORA_LAB_REGISTRY");
    EXPECT_FALSE(lab);
    EXPECT_NE(error.find("not-an-address"), std::string::npos) << error;

    std::ifstream in(registry);
    std::string prefix;
    ASSERT_TRUE(std::getline(in, prefix)) << "the tool names its prefix before it creates anything";
    std::remove(registry.c_str());
    // The run's own registry learns of it too, so the final leftover check covers this lab.
    if (previous != nullptr) std::ofstream(saved, std::ios::app) << prefix << '\n';
    for (const char* suffix : {"-pc", "-sw", "-d1"}) EXPECT_FALSE(NamespaceExists(prefix + suffix)) << prefix + suffix;
}

TEST_F(LabTool, RunReturnsTheCommandsStatusAndRemovesTheLab) {
    const CommandResult run = RunCommand(
        {Lab::ToolPath(), "run", "--devices", "1", "--", "sh", "-c", "echo \"lab=$PELMORA_LAB_PREFIX\"; exit 5"}, 60s);
    EXPECT_EQ(run.exitStatus, 5) << run.output;
    const auto at = run.output.find("lab=plm");
    ASSERT_NE(at, std::string::npos) << run.output;
    const std::string prefix = run.output.substr(at + 4, 8);
    EXPECT_FALSE(NamespaceExists(prefix + "-pc"));
    EXPECT_FALSE(NamespaceExists(prefix + "-d1"));
}

}  // namespace
}  // namespace pelmora::test
