// The temporary address through a real NetworkManager that manages the lab's spare adapter on a segment
// without DHCP (tools/lab/pelmora-lab-nm; label e2e, root): taken as an ordinary user, it outlives
// NetworkManager's DHCP time-outs, a Refresh sends from it, and NetworkManager takes it and its profile
// away when the program is killed.
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QtDBus/QDBusConnection>
#include <QtTest/QTest>
#include <QtWidgets/QPushButton>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "app/CNimbetRawConfigApp.h"
#include "app/CNimbetRawConfigDlg.h"
#include "app/EditWithDialog.h"
#include "app/linux/NetworkManagerDBus.h"
#include "app/linux/SystemAddressPlatform.h"
#include "platform/Adapters.h"
#include "platform/Clock.h"
#include "platform/UdpTransport.h"
#include "protocol/SystemDeviceNetwork.h"
#include "resources/ResourceIds.h"
#include "tests/protocol/SimulatorLog.h"
#include "tests/support/InstalledCopy.h"
#include "tests/support/LabTest.h"
#include "tests/ui/GuiTestSupport.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string PROFILE = "Pelmora temporary address";
// Two of NetworkManager's 45 s DHCP time-outs and more.
constexpr auto HELD_FOR = 125s;
constexpr auto REFRESH_AFTER = 100s;

class NetworkManagerE2e : public LabTest {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.extraAdapters = 1;
        return options;
    }

    void TearDown() override {
        if (HasFailure() && m_program)
            std::cout << "---- log of pelmora-config ----\n" << m_program->Log() << std::endl;
        if (HasFailure() && !m_dir.empty()) {
            std::ifstream log(m_dir + "/NetworkManager.log");
            std::cout << "---- NetworkManager's log ----\n" << log.rdbuf() << std::endl;
        }
        if (m_program) m_program->Stop();
        m_program.reset();
        m_copy.reset();
        LabTest::TearDown();
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
    }

    bool StartNetworkManager() {
        char dir[] = "/tmp/pelmora-nm-XXXXXX";
        if (mkdtemp(dir) == nullptr) return false;
        m_dir = dir;
        return StartInNode("pc", {PELMORA_LAB_NM_TOOL, m_dir, Spare()}, "READY", 60s) != nullptr;
    }

    std::string Spare() { return TheLab().ExtraInterface(1); }
    std::string BusAddress() const { return "unix:path=" + m_dir + "/system_bus_socket"; }

    std::string Nmcli(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {"env", "DBUS_SYSTEM_BUS_ADDRESS=" + BusAddress(), "nmcli"};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunCommand(argv, 10s).output;
    }
    // The profile active on the spare adapter.
    std::string SpareConnection() {
        std::string name = Nmcli({"-g", "GENERAL.CONNECTION", "device", "show", Spare()});
        while (!name.empty() && name.back() == '\n') name.pop_back();
        return name;
    }
    bool OurProfileExists() {
        std::istringstream names(Nmcli({"-g", "NAME", "connection", "show"}));
        for (std::string line; std::getline(names, line);)
            if (line == PROFILE) return true;
        return false;
    }

    std::vector<Ipv4Net> SpareAddresses() {
        std::vector<Ipv4Net> found;
        if (const auto adapters = ListAdapters())
            for (const AdapterInfo& adapter : *adapters)
                if (adapter.name == Spare())
                    for (const auto& entry : adapter.unicast)
                        if (entry) found.push_back(*entry);
        return found;
    }

    // Waits until the address is gone and NetworkManager is back on a profile of its own; how long that took.
    std::optional<std::chrono::milliseconds> WaitUntilNetworkManagerIsBack(Clock::time_point since) {
        const auto deadline = since + 10s;
        do {
            const std::string connection = SpareConnection();
            if (SpareAddresses().empty() && !connection.empty() && connection != PROFILE && !OurProfileExists())
                return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since);
            std::this_thread::sleep_for(50ms);
        } while (Clock::now() < deadline);
        return std::nullopt;
    }

    std::string m_dir;
    std::unique_ptr<InstalledCopy> m_copy;
    std::unique_ptr<LoggedProcess> m_program;
};

bool IsRequestFrom(const JsonValue& record, const std::string& address) {
    return IsReceived(record, "request") && record.TextOf("peer") == address + ":26487";
}

TEST_F(NetworkManagerE2e, TheAddressOutlivesDhcpTimeOutsAndGoesWithTheProgram) {
    LoggedProcess* sim = StartSimulator(1, {"--devices", PELMORA_DEMO_DEVICES, "--lifetime", "600"});
    ASSERT_TRUE(sim);
    ASSERT_TRUE(StartNetworkManager());
    const std::string ownProfile = SpareConnection();
    ASSERT_FALSE(ownProfile.empty());
    ASSERT_TRUE(SpareAddresses().empty());

    // The application object in this process, on a bus connection made as the ordinary user, so that
    // NetworkManager sees that user; no network helper, so an address can only come from NetworkManager.
    ASSERT_EQ(seteuid(UNPRIVILEGED_ID), 0);
    const QDBusConnection bus =
        QDBusConnection::connectToBus(QString::fromStdString(BusAddress()), QStringLiteral("pelmora-nm-e2e"));
    ASSERT_EQ(seteuid(0), 0);
    ASSERT_TRUE(bus.isConnected());
    {
        NetworkManagerDBus networkManager(bus);
        std::vector<std::string> notes;
        SystemAddressPlatform addresses(nullptr, &networkManager, [&](const std::string& n) { notes.push_back(n); });
        UdpTransport transport;
        SteadyClock clock;
        SystemDeviceNetwork network(transport, clock);
        CNimbetRawConfigApp app(network, addresses, EditWithDialog);
        std::vector<Ipv4Net> held;
        std::string connectionDuringRun;
        std::chrono::seconds heldFor{0};
        bool keptThroughout = true;
        std::vector<JsonValue> refreshRequests;
        auto run = CallOnNextModal([&](QWidget* modal) {
            auto& window = *DialogOf<CNimbetRawConfigDlg>(modal);
            held = SpareAddresses();
            connectionDuringRun = SpareConnection();
            const auto start = Clock::now();
            bool refreshed = false;
            while (held.size() == 1 && Clock::now() - start < HELD_FOR) {
                QTest::qWait(1000);
                if (SpareAddresses() != held) {
                    keptThroughout = false;
                    break;
                }
                heldFor = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start);
                if (!refreshed && Clock::now() - start >= REFRESH_AFTER) {
                    refreshed = true;
                    const auto before = [&] {
                        std::size_t n = 0;
                        for (const JsonValue& r : SimulatorRecords(sim->Log())) n += IsRequestFrom(r, ToText(held[0]));
                        return n;
                    }();
                    QTest::mouseClick(window.Window().ControlAs<QPushButton>(IDC_REFRESH_BUTTON), Qt::LeftButton);
                    const auto all = WaitForRecords(
                        *sim, [&](const JsonValue& r) { return IsRequestFrom(r, ToText(held[0])); }, before + 1,
                        5000ms);
                    refreshRequests.assign(all.begin() + static_cast<std::ptrdiff_t>(std::min(before, all.size())),
                                           all.end());
                }
            }
            KeyIntoFocus(Qt::Key_Escape);
        });
        EXPECT_FALSE(app.InitInstance());
        ASSERT_TRUE(run->fired);
        ASSERT_EQ(held.size(), 1u) << "one address on the spare adapter while the window is open; "
                                   << (notes.empty() ? std::string("no note") : notes[0]);
        EXPECT_EQ(ToOctets(held[0]).bytes[0], 10);
        EXPECT_EQ(connectionDuringRun, PROFILE);
        EXPECT_TRUE(keptThroughout) << "lost after " << heldFor.count() << " s";
        EXPECT_GE(heldFor, 120s);
        EXPECT_FALSE(refreshRequests.empty()) << "the Refresh after 100 s sends from " << ToText(held[0]);
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_NE(notes[0].find("through NetworkManager"), std::string::npos) << notes[0];
        EXPECT_TRUE(WaitUntilNetworkManagerIsBack(Clock::now())) << "released with the window's run";
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("pelmora-nm-e2e"));

    // The built program as the ordinary user, killed.
    std::string error;
    m_copy = InstalledCopy::Make(PELMORA_CONFIG_PATH, PELMORA_NET_HELPER_PATH, true, error);
    ASSERT_TRUE(m_copy) << error;
    std::vector<std::string> argv = AsUnprivilegedUser();
    argv.insert(argv.end(), {"env", "HOME=" + m_copy->Home(), "QT_QPA_PLATFORM=offscreen",
                             "DBUS_SYSTEM_BUS_ADDRESS=" + BusAddress(), m_copy->ProgramPath()});
    m_program =
        LoggedProcess::Start(TheLab().ExecArgv("pc", argv),
                             std::string(PELMORA_LAB_LOG_DIR) + "/pelmora-config-nm-" + TheLab().Prefix() + ".log");
    ASSERT_TRUE(m_program);
    ASSERT_TRUE(m_program->WaitForLine("pelmora-config: temporary address 10.", 15s));
    EXPECT_NE(m_program->Log().find("/24 through NetworkManager"), std::string::npos);
    ASSERT_EQ(SpareAddresses().size(), 1u);
    EXPECT_EQ(SpareConnection(), PROFILE);
    ASSERT_EQ(kill(m_program->Pid(), SIGKILL), 0);
    const auto killed = Clock::now();
    const auto back = WaitUntilNetworkManagerIsBack(killed);
    ASSERT_TRUE(back) << "address, profile or NetworkManager's own profile after SIGKILL";
    RecordProperty("gone_after_sigkill_ms", static_cast<int>(back->count()));
    std::cout << "address gone and NetworkManager back on " << SpareConnection() << " " << back->count()
              << " ms after SIGKILL" << std::endl;
    EXPECT_EQ(m_program->Stop(), -1);
}

}  // namespace
}  // namespace pelmora::test
