// The zip's two programs under Wine in the lab, with a DLL named IPHLPAPI.dll planted beside them and Wine
// set to search a program's folder first, as Windows does for a DLL that is not one of its KnownDLLs:
// neither program loads the planted one, and pelmora-scan.exe still lists the lab's devices through the
// IP Helper of System32.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "tests/protocol/JsonValue.h"
#include "tests/tools/WineLabTest.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

class WindowsPlantedDllE2e : public WineLabTest {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.devices = 1;
        return options;
    }
    void SetUp() override {
        if (access(PELMORA_WINDOWS_ZIP, F_OK) != 0 || access(PELMORA_PLANTED_DLL, F_OK) != 0)
            GTEST_SKIP() << "no Windows zip or planted DLL (bash scripts/build-windows.sh)";
        WineLabTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        m_unpacked = "/tmp/" + TheLab().Prefix() + "-zip";
        const CommandResult unpacked =
            RunCommand({"python3", "-m", "zipfile", "-e", PELMORA_WINDOWS_ZIP, m_unpacked}, 60s);
        ASSERT_EQ(unpacked.exitStatus, 0) << unpacked.output;
        const CommandResult folder = RunCommand({"sh", "-c", "echo \"$0\"/*/", m_unpacked}, 10s);
        m_folder = folder.output.substr(0, folder.output.find_last_not_of("/\n") + 1);
        ASSERT_EQ(access((m_folder + "/pelmora-scan.exe").c_str(), F_OK), 0) << m_folder;
        ASSERT_EQ(RunCommand({"cp", PELMORA_PLANTED_DLL, m_folder + "/IPHLPAPI.dll"}, 10s).exitStatus, 0);
    }
    void TearDown() override {
        if (!m_unpacked.empty()) RunCommand({"rm", "-rf", m_unpacked}, 30s);
        WineLabTest::TearDown();
    }
    // Runs a program of the unpacked zip with Wine's DLL-load trace; standard output comes back, the
    // trace goes to `trace`.
    CommandResult Run(const std::string& program, const std::vector<std::string>& args, const std::string& trace,
                      std::chrono::milliseconds timeout) {
        std::vector<std::string> argv = {"sh", "-c", "exec \"$@\" 2>\"$0\"", trace};
        const std::vector<std::string> wine = Wine();
        argv.insert(argv.end(), wine.begin(), wine.end() - 1);
        // Later assignments win over Wine()'s.
        argv.insert(argv.end(), {"WINEDLLOVERRIDES=iphlpapi=n,b;mscoree,mshtml=", "WINEDEBUG=+loaddll", "wine",
                                 m_folder + "/" + program});
        argv.insert(argv.end(), args.begin(), args.end());
        return RunInPc(argv, timeout);
    }
    // The planted DLL neither ran nor was mapped, and the program's own thread loaded IP Helper from
    // System32 (Wine's services load it too, in processes of their own).
    void ExpectNotLoaded(const std::string& program, const std::string& trace) {
        for (const auto& entry : std::filesystem::directory_iterator(m_folder)) {
            const std::string name = Lowercase(entry.path().filename().string());
            if (name.find(".loaded") == std::string::npos) continue;
            ADD_FAILURE() << program << " ran the planted DLL";
            std::filesystem::remove(entry.path());
        }
        std::ifstream in(trace);
        std::string lines;
        std::string thread;
        std::string loads;
        for (std::string line; std::getline(in, line);) {
            line = Lowercase(line);
            if (line.find(":loaddll:") == std::string::npos) continue;
            lines += line + "\n";
            if (thread.empty() && line.find("\\\\" + Lowercase(program) + "\"") != std::string::npos)
                thread = line.substr(0, line.find(':') + 1);
            if (line.find("iphlpapi.dll\"") != std::string::npos) loads += line + "\n";
        }
        ASSERT_FALSE(thread.empty()) << program << " not started:\n" << lines;
        EXPECT_EQ(loads.find(": native"), std::string::npos) << program << " mapped the planted DLL:\n" << loads;
        EXPECT_NE(
            loads.find(thread + "trace:loaddll:build_module loaded l\"c:\\\\windows\\\\system32\\\\iphlpapi.dll\""),
            std::string::npos)
            << program << ": IP Helper not loaded from System32:\n"
            << loads;
    }

    std::string m_unpacked;
    std::string m_folder;
};

TEST_F(WindowsPlantedDllE2e, NeitherProgramLoadsItAndTheScanStillListsTheLab) {
    ASSERT_TRUE(StartSimulator(1, {"--generate", "3"}));
    const std::string trace = m_unpacked + "/trace.txt";

    const CommandResult scan = Run("pelmora-scan.exe", {"--json"}, trace, 90s);
    ExpectNotLoaded("pelmora-scan.exe", trace);
    EXPECT_EQ(scan.exitStatus, 0) << scan.output;
    const auto parsed = ParseJson(scan.output);
    ASSERT_TRUE(parsed) << scan.output;
    EXPECT_EQ(parsed->items.size(), 3u) << scan.output;

    // Without a display the window program cannot open its window; it has read the adapters for the
    // temporary address by then, through IP Helper.
    Run("pelmora-config.exe", {}, trace, 30s);
    ExpectNotLoaded("pelmora-config.exe", trace);
}

}  // namespace
}  // namespace pelmora::test
