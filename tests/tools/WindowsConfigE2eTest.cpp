// pelmora-config.exe, the Windows program, under Wine on an X server of its own in the lab's PC namespace,
// driven from outside as a user would: the first scan lists the simulator's devices, Wink winks the selected
// one, Edit... and Save unchanged write the settings and run the wait, and Escape ends the program; a plan of
// three devices, one ignoring writes, goes through "Apply plan...", its preview, the wait and the results.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/protocol/SimulatorLog.h"
#include "tests/tools/WineLabTest.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

constexpr char MAIN_TITLE[] = "Pelmora configuration software";
constexpr char EDIT_TITLE[] = "Edit";
constexpr char WAIT_TITLE[] = "Wait...";
// Control IDs of the templates.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int DEVICE_LIST = 1110;
constexpr int EDIT_BUTTON = 1126;
constexpr int WINK_BUTTON = 1118;
constexpr int APPLY_PLAN = 1004;
constexpr int PLAN_LIST = 1131;
constexpr char OPEN_TITLE[] = "Open plan";
constexpr char PREVIEW_TITLE[] = "Apply plan";
constexpr char RESULTS_TITLE[] = "Plan results";
// The file name box of the system's Open dialog: a combo box (cmb13) or, in older layouts, an edit (edt1).
constexpr int OPEN_FILE_NAME_COMBO = 0x47C;
constexpr int OPEN_FILE_NAME_EDIT = 0x480;

class WindowsConfigE2e : public WineLabTest {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.devices = 1;
        return options;
    }
    void SetUp() override {
        WineLabTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        mkdir(PELMORA_SCREENSHOT_DIR, 0755);
        // A display of the test's own; the number only has to be free.
        for (int number = 50 + getpid() % 400;; ++number) {
            if (access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) != 0 &&
                access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) != 0) {
                m_display = ":" + std::to_string(number);
                break;
            }
        }
        ASSERT_TRUE(StartInNode("pc", {"Xvfb", m_display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, ""));
        // The server makes its socket once it takes connections.
        const std::string socket = "/tmp/.X11-unix/X" + m_display.substr(1);
        for (int i = 0; i < 200 && access(socket.c_str(), F_OK) != 0; ++i) std::this_thread::sleep_for(50ms);
        ASSERT_EQ(access(socket.c_str(), F_OK), 0) << "no X server on " << m_display;
        // A Wine desktop of its own draws the windows' frames and title bars, which Xvfb alone leaves out.
        const auto regAdd = [this](const std::string& key, const std::string& name, const std::string& data) {
            std::vector<std::string> argv = Wine(m_display);
            argv.insert(argv.end(), {"reg", "add", "HKCU\\Software\\Wine\\" + key, "/v", name, "/d", data, "/f"});
            return RunInPc(argv, 60s).exitStatus;
        };
        ASSERT_EQ(regAdd("Explorer", "Desktop", "Default"), 0);
        ASSERT_EQ(regAdd("Explorer\\Desktops", "Default", "800x500"), 0);
        // The desktop that the first command started has no frames: the next one, after this, has.
        RunInPc({"env", "WINEPREFIX=" + Prefix(), "wineserver", "-k"}, 30s);
        RunInPc({"env", "WINEPREFIX=" + Prefix(), "wineserver", "-w"}, 30s);
    }

    std::vector<std::string> Windows(const std::string& program, const std::vector<std::string>& args = {}) const {
        std::vector<std::string> argv = Wine(m_display);
        argv.push_back(program);
        argv.insert(argv.end(), args.begin(), args.end());
        return argv;
    }
    // One step of the driver; its standard output.
    CommandResult Drive(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {"sh", "-c", "exec \"$@\" 2>/dev/null", "sh"};
        const std::vector<std::string> driver = Windows(PELMORA_WINDOW_DRIVER_PATH, args);
        argv.insert(argv.end(), driver.begin(), driver.end());
        return RunInPc(argv, 60s);
    }
    bool DriveOk(const std::vector<std::string>& args) { return Drive(args).exitStatus == 0; }

    std::string m_display;
};

TEST_F(WindowsConfigE2e, ListsWinksSavesAndEndsOnEscape) {
    LoggedProcess* sim = StartSimulator(1, {"--generate", "2", "--claim-addresses"});
    ASSERT_TRUE(sim);
    const auto started = std::chrono::steady_clock::now();
    LoggedProcess* program = StartInNode("pc", Windows(PELMORA_WINDOWS_BIN_DIR "/pelmora-config.exe"), "");
    ASSERT_TRUE(program);
    ASSERT_TRUE(DriveOk({"wait", MAIN_TITLE, "60000"})) << program->Log();
    const auto shown = std::chrono::steady_clock::now();
    std::printf("[ figure ] main window shown %lld ms after the start under Wine\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(shown - started).count()));

    // The first scan starts a quarter second after the window shows and listens for four seconds.
    std::vector<std::string> rows;
    for (int attempt = 0; attempt < 40 && rows.size() < 2; ++attempt) {
        rows = Split(Drive({"rows", MAIN_TITLE, std::to_string(DEVICE_LIST)}).output, '\n');
        if (rows.size() < 2) std::this_thread::sleep_for(500ms);
    }
    ASSERT_EQ(rows.size(), 2u) << sim->Log();
    EXPECT_EQ(rows[0].rfind("02:00:00:00:00:01\t192.168.92.", 0), 0u) << rows[0];
    EXPECT_EQ(rows[1].rfind("02:00:00:00:00:02\t192.168.92.", 0), 0u) << rows[1];
    EXPECT_TRUE(DriveOk({"select", MAIN_TITLE, std::to_string(DEVICE_LIST), "1"}));
    EXPECT_TRUE(DriveOk({"shot", MAIN_TITLE, "Z:" PELMORA_SCREENSHOT_DIR "/windows-main-window.png"}));

    ASSERT_TRUE(DriveOk({"click", MAIN_TITLE, std::to_string(WINK_BUTTON)})) << "Wink is enabled for a row";
    const auto winks = WaitForRecords(
        *sim, [](const JsonValue& r) { return IsReceived(r, "wink"); }, 2, 5s);
    ASSERT_EQ(winks.size(), 2u) << sim->Log();
    EXPECT_EQ(winks[0].TextOf("mac"), "02:00:00:00:00:02");
    EXPECT_EQ(winks[1].TextOf("hex"), winks[0].TextOf("hex"));

    ASSERT_TRUE(DriveOk({"click", MAIN_TITLE, std::to_string(EDIT_BUTTON)}));
    ASSERT_TRUE(DriveOk({"wait", EDIT_TITLE, "10000"}));
    EXPECT_TRUE(DriveOk({"shot", EDIT_TITLE, "Z:" PELMORA_SCREENSHOT_DIR "/windows-edit-dialog.png"}));
    ASSERT_TRUE(DriveOk({"click", EDIT_TITLE, std::to_string(IDOK)}));
    ASSERT_TRUE(DriveOk({"wait", WAIT_TITLE, "10000"})) << "the wait follows the save";
    EXPECT_TRUE(DriveOk({"shot", WAIT_TITLE, "Z:" PELMORA_SCREENSHOT_DIR "/windows-wait-dialog.png"}));
    const auto writes = WaitForRecords(
        *sim, [](const JsonValue& r) { return IsReceived(r, "write"); }, 5, 3s);
    ASSERT_EQ(writes.size(), 4u) << sim->Log();
    for (const JsonValue& write : writes) {
        EXPECT_EQ(write.TextOf("hex"), writes[0].TextOf("hex")) << "four identical datagrams";
        EXPECT_EQ(write.TextOf("mac"), "02:00:00:00:00:02");
    }
    const std::vector<std::string> cells = Split(rows[1], '\t');
    ASSERT_GE(cells.size(), 2u) << rows[1];
    const std::string unicast = cells[1] + ":26487";
    EXPECT_EQ(writes[0].TextOf("local"), unicast);
    EXPECT_EQ(writes[1].TextOf("local"), unicast);
    EXPECT_EQ(writes[2].TextOf("local"), "255.255.255.255:26487");
    EXPECT_EQ(writes[3].TextOf("local"), "255.255.255.255:26487");
    const JsonValue* applied = writes[0].Find("applied");
    EXPECT_TRUE(applied != nullptr && applied->boolean) << "a valid write\n" << sim->Log();

    ASSERT_TRUE(DriveOk({"click", WAIT_TITLE, std::to_string(IDCANCEL)}));
    ASSERT_TRUE(DriveOk({"gone", WAIT_TITLE, "10000"}));
    ASSERT_TRUE(DriveOk({"escape", MAIN_TITLE}));
    ASSERT_TRUE(DriveOk({"gone", MAIN_TITLE, "30000"})) << "Escape ends the program";
    for (int i = 0; i < 100 && program->Running(); ++i) std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(program->Running());
}

TEST_F(WindowsConfigE2e, APlanOfThreeDevicesConfirmsTwoAndShowsTheOneIgnoringWritesDiffers) {
    const std::string devices = "/tmp/" + TheLab().Prefix() + "-devices.txt";
    const std::string plan = "/tmp/" + TheLab().Prefix() + "-plan.csv";
    std::ofstream(devices, std::ios::binary)
        << "mac=00:50:C2:8F:30:01 ip=192.168.92.41 mask=255.255.255.0 bacnet=1 id=4301 name=AHU-1\n"
           "mac=00:50:C2:8F:30:02 ip=192.168.92.42 mask=255.255.255.0 bacnet=1 id=4302 name=AHU-2\n"
           "mac=00:50:C2:8F:30:03 ip=192.168.92.43 mask=255.255.255.0 bacnet=1 id=4303 name=Stubborn writes=ignore\n";
    std::ofstream(plan, std::ios::binary) << "Unit,Device ID,Device Name\r\n"
                                             "00:50:C2:8F:30:01,4401,AHU-11\r\n"
                                             "00:50:C2:8F:30:02,4402,AHU-12\r\n"
                                             "00:50:C2:8F:30:03,4403,Stubborn-2\r\n";
    LoggedProcess* sim = StartSimulator(1, {"--devices", devices, "--claim-addresses"});
    ASSERT_TRUE(sim);
    LoggedProcess* program = StartInNode("pc", Windows(PELMORA_WINDOWS_BIN_DIR "/pelmora-config.exe"), "");
    ASSERT_TRUE(program);
    ASSERT_TRUE(DriveOk({"wait", MAIN_TITLE, "60000"})) << program->Log();
    std::vector<std::string> rows;
    for (int attempt = 0; attempt < 40 && rows.size() < 3; ++attempt) {
        rows = Split(Drive({"rows", MAIN_TITLE, std::to_string(DEVICE_LIST)}).output, '\n');
        if (rows.size() < 3) std::this_thread::sleep_for(500ms);
    }
    ASSERT_EQ(rows.size(), 3u) << sim->Log();

    ASSERT_TRUE(DriveOk({"command", MAIN_TITLE, std::to_string(APPLY_PLAN)}));
    ASSERT_TRUE(DriveOk({"wait", OPEN_TITLE, "20000"})) << "the system's Open dialog";
    std::string windowsPath = "Z:" + plan;
    for (char& c : windowsPath)
        if (c == '/') c = '\\';
    const CommandResult named =
        Drive({"settext", OPEN_TITLE, std::to_string(OPEN_FILE_NAME_COMBO) + "," + std::to_string(OPEN_FILE_NAME_EDIT),
               windowsPath});
    ASSERT_EQ(named.exitStatus, 0) << "the Open dialog's file name box\n" << named.output;
    ASSERT_TRUE(DriveOk({"click", OPEN_TITLE, std::to_string(IDOK)}));
    if (!DriveOk({"gone", OPEN_TITLE, "5000"}))
        DriveOk({"shot", OPEN_TITLE, "Z:" PELMORA_SCREENSHOT_DIR "/windows-open-dialog-left-open.png"});
    ASSERT_TRUE(DriveOk({"wait", PREVIEW_TITLE, "20000"})) << program->Log();
    const std::string arrow = "\u2192";
    // The driver's lines as Wine's console writes them, CRLF, without the CR.
    const auto lines = [](const std::string& output) {
        std::vector<std::string> split = Split(output, '\n');
        for (std::string& line : split)
            if (!line.empty() && line.back() == '\r') line.pop_back();
        return split;
    };
    EXPECT_EQ(
        lines(Drive({"rows", PREVIEW_TITLE, std::to_string(PLAN_LIST)}).output),
        (std::vector<std::string>{
            "00:50:C2:8F:30:01\tchanges\tDevice ID: 4301 " + arrow + " 4401; Device Name: AHU-1 " + arrow + " AHU-11",
            "00:50:C2:8F:30:02\tchanges\tDevice ID: 4302 " + arrow + " 4402; Device Name: AHU-2 " + arrow + " AHU-12",
            "00:50:C2:8F:30:03\tchanges\tDevice ID: 4303 " + arrow + " 4403; Device Name: Stubborn " + arrow +
                " Stubborn-2",
        }));
    EXPECT_TRUE(DriveOk({"shot", PREVIEW_TITLE, "Z:" PELMORA_SCREENSHOT_DIR "/windows-plan-preview.png"}));
    EXPECT_TRUE(WaitForRecords(
                    *sim, [](const JsonValue& r) { return IsReceived(r, "write"); }, 1, 300ms)
                    .empty())
        << "the preview sends nothing";

    ASSERT_TRUE(DriveOk({"click", PREVIEW_TITLE, std::to_string(IDOK)}));
    ASSERT_TRUE(DriveOk({"wait", WAIT_TITLE, "20000"})) << "the wait follows the writes";
    ASSERT_TRUE(DriveOk({"gone", WAIT_TITLE, "40000"}));
    ASSERT_TRUE(DriveOk({"wait", RESULTS_TITLE, "40000"})) << program->Log();
    EXPECT_EQ(
        lines(Drive({"rows", RESULTS_TITLE, std::to_string(PLAN_LIST)}).output),
        (std::vector<std::string>{
            "00:50:C2:8F:30:01\tconfirmed\tDevice ID: 4301 " + arrow + " 4401; Device Name: AHU-1 " + arrow + " AHU-11",
            "00:50:C2:8F:30:02\tconfirmed\tDevice ID: 4302 " + arrow + " 4402; Device Name: AHU-2 " + arrow + " AHU-12",
            "00:50:C2:8F:30:03\tdiffers\tDevice ID: planned 4403, seen 4303; Device Name: planned Stubborn-2, "
            "seen Stubborn",
        }))
        << sim->Log();
    EXPECT_TRUE(DriveOk({"shot", RESULTS_TITLE, "Z:" PELMORA_SCREENSHOT_DIR "/windows-plan-results.png"}));

    std::map<std::string, std::vector<std::string>> writes;
    for (const JsonValue& write : WaitForRecords(
             *sim, [](const JsonValue& r) { return IsReceived(r, "write"); }, 13, 1s))
        writes[write.TextOf("mac")].push_back(write.TextOf("hex"));
    ASSERT_EQ(writes.size(), 3u) << sim->Log();
    for (const auto& [mac, sent] : writes) {
        EXPECT_EQ(sent.size(), 4u) << mac;
        EXPECT_EQ(std::set<std::string>(sent.begin(), sent.end()).size(), 1u) << mac << ": four identical writes";
    }

    ASSERT_TRUE(DriveOk({"click", RESULTS_TITLE, std::to_string(IDCANCEL)}));
    ASSERT_TRUE(DriveOk({"gone", RESULTS_TITLE, "10000"}));
    // The main list's rows after the results close: each unit's mark, as its icon shows it and as a screen
    // reader reads it. Wine's accessibility layer gives no annotated descriptions, so there that field is
    // empty; on Windows it holds the mark.
    const std::string differs =
        "differs: Device ID: planned 4403, seen 4303; Device Name: planned Stubborn-2, seen Stubborn";
    const std::vector<std::vector<std::string>> expectedMarks = {
        {"00:50:C2:8F:30:01", "information", "confirmed"},
        {"00:50:C2:8F:30:02", "information", "confirmed"},
        {"00:50:C2:8F:30:03", "warning", differs},
    };
    const auto macsAndIcons = [](std::vector<std::vector<std::string>> cells) {
        for (std::vector<std::string>& row : cells) row.resize(2);
        return cells;
    };
    // Each row as the driver reads it: MAC, icon, description. The icons are read from the screen, which a
    // loaded machine may not have repainted yet.
    std::vector<std::vector<std::string>> marks;
    for (int attempt = 0; attempt < 10 && (attempt == 0 || macsAndIcons(marks) != macsAndIcons(expectedMarks));
         ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(500ms);
        marks.clear();
        for (const std::string& line : lines(Drive({"marks", MAIN_TITLE, std::to_string(DEVICE_LIST), "0"}).output)) {
            marks.push_back(Split(line, '\t'));
            marks.back().resize(3);
        }
    }
    ASSERT_EQ(macsAndIcons(marks), macsAndIcons(expectedMarks));
    for (std::size_t row = 0; row < marks.size(); ++row) {
        if (!marks[row][2].empty()) {
            EXPECT_EQ(marks[row][2], expectedMarks[row][2]) << row;
        }
    }
    EXPECT_TRUE(DriveOk({"shot", MAIN_TITLE, "Z:" PELMORA_SCREENSHOT_DIR "/windows-main-window-plan-marks.png"}));
    ASSERT_TRUE(DriveOk({"escape", MAIN_TITLE}));
    ASSERT_TRUE(DriveOk({"gone", MAIN_TITLE, "30000"}));
    std::remove(devices.c_str());
    std::remove(plan.c_str());
}

}  // namespace
}  // namespace pelmora::test
