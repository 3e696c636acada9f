// The zip's two programs under Wine in the lab, with a DLL named IPHLPAPI.dll planted beside them and Wine
// set to search a program's folder first, as Windows does for a DLL that is not one of its KnownDLLs:
// neither program loads the planted one, and pelmora-scan.exe still lists the lab's devices through the
// IP Helper of System32.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
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
    // Whether the planted DLL ran, and the DLL-load trace's lines for IP Helper.
    void ExpectNotLoaded(const std::string& program, const std::string& trace) {
        const std::string marker = m_folder + "/IPHLPAPI.dll.loaded";
        EXPECT_NE(access(marker.c_str(), F_OK), 0) << program << " loaded the planted IPHLPAPI.dll";
        std::ifstream in(trace);
        std::string line;
        std::string loaded;
        while (std::getline(in, line))
            if (Lowercase(line).find("iphlpapi.dll") != std::string::npos) loaded += line + "\n";
        EXPECT_NE(Lowercase(loaded).find("loaded l\"c:\\\\windows\\\\system32\\\\iphlpapi.dll\""), std::string::npos)
            << program << ": IP Helper not loaded from System32:\n"
            << loaded;
        std::remove(marker.c_str());
    }

    std::string m_unpacked;
    std::string m_folder;
};

TEST_F(WindowsPlantedDllE2e, NeitherProgramLoadsItAndTheScanStillListsTheLab) {
    ASSERT_TRUE(StartSimulator(1, {"--generate", "3"}));
    const std::string trace = m_unpacked + "/trace.txt";

    const CommandResult scan = Run("pelmora-scan.exe", {"--json"}, trace, 90s);
    EXPECT_EQ(scan.exitStatus, 0) << scan.output;
    const auto parsed = ParseJson(scan.output);
    ASSERT_TRUE(parsed) << scan.output;
    EXPECT_EQ(parsed->items.size(), 3u) << scan.output;
    ExpectNotLoaded("pelmora-scan.exe", trace);

    // Without a display the window program cannot open its window; it has read the adapters for the
    // temporary address by then, through IP Helper.
    Run("pelmora-config.exe", {}, trace, 30s);
    ExpectNotLoaded("pelmora-config.exe", trace);
}

}  // namespace
}  // namespace pelmora::test
