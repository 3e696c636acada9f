#include "tests/tools/WineLabTest.h"

#include <unistd.h>

namespace pelmora::test {

using namespace std::chrono_literals;

void WineLabTest::SetUp() {
    if (access(PELMORA_WINDOWS_BIN_DIR, F_OK) != 0 || access(PELMORA_WINE_PREFIX "/system.reg", F_OK) != 0)
        GTEST_SKIP() << "no Windows build with a Wine prefix (bash scripts/build-windows.sh and its tests)";
    LabTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // Hard links keep the copy cheap; the registry files, which Wine rewrites, are copied.
    m_prefix = "/tmp/" + TheLab().Prefix() + "-wine";
    const std::string copy = "cp -al '" PELMORA_WINE_PREFIX "' '" + m_prefix +
                             "' && cp --remove-destination '" PELMORA_WINE_PREFIX "'/*.reg '" + m_prefix + "'/";
    const CommandResult copied = RunCommand({"sh", "-c", copy}, 60s);
    ASSERT_EQ(copied.exitStatus, 0) << copied.output;
}

void WineLabTest::TearDown() {
    if (!m_prefix.empty()) {
        RunCommand({"env", "WINEPREFIX=" + m_prefix, "wineserver", "-k"}, 30s);
        RunCommand({"env", "WINEPREFIX=" + m_prefix, "wineserver", "-w"}, 30s);
        RunCommand({"rm", "-rf", m_prefix}, 60s);
    }
    LabTest::TearDown();
}

std::vector<std::string> WineLabTest::Wine(const std::string& display) const {
    return {"env", "WINEPREFIX=" + m_prefix, "WINEDEBUG=-all", "DISPLAY=" + display, "WINEDLLOVERRIDES=mscoree,mshtml=",
            "wine"};
}

}  // namespace pelmora::test
