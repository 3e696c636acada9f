#include "tests/support/LabTest.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace pelmora::test {

namespace {

std::string TestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info != nullptr ? std::string(info->test_suite_name()) + "." + info->name() : "test";
    for (char& c : name)
        if (c == '/') c = '_';
    return name;
}

std::string NamespaceOfNode(const Lab& lab, const std::string& node) {
    if (node == "pc") return lab.PcNamespace();
    if (node == "sw") return lab.SwitchNamespace();
    if (node == "rt") return lab.Prefix() + "-rt";
    if (node == "sw2") return lab.Prefix() + "-sw2";
    if (node.rfind("dev", 0) == 0 && node.size() > 3) return lab.DeviceNamespace(std::atoi(node.c_str() + 3));
    if (node.rfind("rdev", 0) == 0 && node.size() > 4) return lab.RoutedDeviceNamespace(std::atoi(node.c_str() + 4));
    return {};
}

}  // namespace

std::string LabTest::SimulatorPath() {
    if (const char* fromEnv = std::getenv("PELMORA_SIM"); fromEnv != nullptr && *fromEnv != '\0') return fromEnv;
    return PELMORA_SIM_PATH;
}

void LabTest::SetUp() {
    if (geteuid() != 0)
        GTEST_SKIP() << "end-to-end test: needs root to build its own network namespaces (run it with sudo)";
    std::string error;
    m_lab = Lab::Up(Options(), error);
    ASSERT_TRUE(m_lab) << error;
    m_inPc = NamespaceEntry::Enter(m_lab->PcNamespace());
    ASSERT_TRUE(m_inPc) << "cannot enter namespace " << m_lab->PcNamespace();
    AbortIfMachineNamespace("lab fixture");
}

void LabTest::TearDown() {
    if (HasFailure()) {
        for (const auto& [label, process] : m_processes)
            std::cout << "---- log of " << label << " (" << process->LogPath() << ") ----\n"
                      << process->Log() << "---- end of log ----" << std::endl;
    }
    for (auto& entry : m_processes) entry.second->Stop();
    m_processes.clear();
    m_inPc.reset();
    if (m_lab) {
        EXPECT_TRUE(m_lab->Down()) << "lab " << m_lab->Prefix() << " was not removed completely";
    }
    m_lab.reset();
}

LoggedProcess* LabTest::StartInDevice(int n, const std::vector<std::string>& argv, const std::string& readyPrefix,
                                      std::chrono::milliseconds timeout) {
    return StartInNode(Lab::DeviceNode(n), argv, readyPrefix, timeout);
}

LoggedProcess* LabTest::StartInNode(const std::string& node, const std::vector<std::string>& argv,
                                    const std::string& readyPrefix, std::chrono::milliseconds timeout) {
    std::filesystem::create_directories(PELMORA_LAB_LOG_DIR);
    const std::string logPath = std::string(PELMORA_LAB_LOG_DIR) + "/" + TestName() + "-" + m_lab->Prefix() + "-" +
                                node + "-" + std::to_string(m_processes.size()) + ".log";
    std::error_code ignored;
    std::filesystem::remove(logPath, ignored);
    auto process = LoggedProcess::Start(m_lab->ExecArgv(node, argv), logPath);
    if (!process) {
        ADD_FAILURE() << "cannot start " << argv.at(0) << " in " << node;
        return nullptr;
    }
    LoggedProcess* raw = process.get();
    m_processes.emplace_back(argv.at(0) + " in " + node, std::move(process));
    if (!readyPrefix.empty() && !raw->WaitForLine(readyPrefix, timeout)) {
        ADD_FAILURE() << argv.at(0) << " in " << node << " printed no line starting with \"" << readyPrefix
                      << "\" within " << timeout.count() << " ms" << (raw->Running() ? "" : " (it ended)");
        return nullptr;
    }
    return raw;
}

LoggedProcess* LabTest::StartSimulator(int n, const std::vector<std::string>& args, const std::string& readyPrefix,
                                       std::chrono::milliseconds timeout) {
    return StartSimulatorIn(Lab::DeviceNode(n), args, readyPrefix, timeout);
}

LoggedProcess* LabTest::StartSimulatorIn(const std::string& node, const std::vector<std::string>& args,
                                         const std::string& readyPrefix, std::chrono::milliseconds timeout) {
    const std::string simulator = SimulatorPath();
    if (simulator.empty()) {
        ADD_FAILURE() << "the simulator was not built (target pelmora-sim) and PELMORA_SIM is not set";
        return nullptr;
    }
    std::vector<std::string> argv = {simulator};
    argv.insert(argv.end(), args.begin(), args.end());
    return StartInNode(node, argv, readyPrefix, timeout);
}

CommandResult LabTest::RunInPc(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    return m_lab->Exec("pc", argv, timeout);
}

void LabTest::InNode(const std::string& node, const std::function<void()>& fn) {
    const std::string ns = NamespaceOfNode(*m_lab, node);
    ASSERT_FALSE(ns.empty()) << "unknown lab node " << node;
    auto entry = NamespaceEntry::Enter(ns);
    ASSERT_TRUE(entry) << "cannot enter namespace " << ns;
    fn();
}

}  // namespace pelmora::test
