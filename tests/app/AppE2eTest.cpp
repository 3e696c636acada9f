// The program against simulated devices in the lab: the window in this process with the real network,
// the application object with the real temporary address, and copies of the built program run in the
// PC namespace as an unprivileged user on the offscreen platform, beside a copy of the network helper
// with or without its file capability (label e2e, root).
#include <dirent.h>
#include <net/if.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QtTest/QTest>
#include <QtWidgets/QPushButton>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iostream>
#include <optional>
#include <thread>

#include "app/AddressPlatform.h"
#include "app/CNimbetRawConfigApp.h"
#include "app/CNimbetRawConfigDlg.h"
#include "app/EditWithDialog.h"
#include "app/TemporaryAddress.h"
#include "app/linux/SystemAddressPlatform.h"
#include "helper/NetHelperClient.h"
#include "listing/RowTexts.h"
#include "platform/Adapters.h"
#include "platform/Clock.h"
#include "platform/UdpTransport.h"
#include "protocol/SystemDeviceNetwork.h"
#include "resources/ResourceIds.h"
#include "tests/protocol/SimulatorLog.h"
#include "tests/support/InstalledCopy.h"
#include "tests/support/LabTest.h"
#include "tests/ui/GuiTestSupport.h"
#include "ui/qt/QtReportList.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

constexpr int FIRST_SCAN_MS = 250 + 2 * 2000 + 3000;  // the delay, both receive windows, and slack

std::vector<std::string> Column(const ReportList& list, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < list.GetItemCount(); ++row) texts.push_back(list.GetItemText(row, column));
    return texts;
}

bool IsRequestFrom(const JsonValue& record, const std::string& address) {
    return IsReceived(record, "request") && record.TextOf("peer") == address + ":26487";
}

std::vector<Ipv4Net> AddressesOf(const std::string& interface) {
    std::vector<Ipv4Net> found;
    const auto adapters = ListAdapters();
    EXPECT_TRUE(adapters);
    if (!adapters) return found;
    for (const AdapterInfo& adapter : *adapters) {
        if (adapter.name != interface) continue;
        EXPECT_TRUE(adapter.isEthernet) << interface << " should be an Ethernet adapter of its own";
        for (const auto& entry : adapter.unicast)
            if (entry) found.push_back(*entry);
    }
    return found;
}

// The network helper started by the program with pid parent; 0 when there is none.
pid_t HelperOf(pid_t parent) {
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return 0;
    pid_t found = 0;
    while (const dirent* entry = readdir(proc)) {
        const pid_t pid = std::atoi(entry->d_name);
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (pid <= 0 || !std::getline(stat, line)) continue;
        // "pid (comm) state ppid ...": comm may hold spaces, so read from the last parenthesis.
        const std::size_t close = line.rfind(')');
        if (line.find("(pelmora-net-hel)") == std::string::npos || close == std::string::npos) continue;
        if (std::atoi(line.c_str() + close + 4) == parent) found = pid;
    }
    closedir(proc);
    return found;
}

// Waits for a process that is not this one's child to end.
bool WaitForEnd(pid_t pid, std::chrono::milliseconds timeout) {
    const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidFd < 0) return errno == ESRCH;
    pollfd ended{pidFd, POLLIN, 0};
    const bool gone = poll(&ended, 1, static_cast<int>(timeout.count())) == 1;
    close(pidFd);
    return gone;
}

class AppE2e : public LabTest {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.extraAdapters = 1;
        return options;
    }

    void TearDown() override {
        if (HasFailure() && m_program)
            std::cout << "---- log of pelmora-config ----\n" << m_program->Log() << std::endl;
        if (m_program) m_program->Stop();
        m_program.reset();
        m_copy.reset();
        LabTest::TearDown();
    }

    LoggedProcess* StartDemoDevices() {
        return StartSimulator(1, {"--devices", PELMORA_DEMO_DEVICES, "--lifetime", "120"});
    }

    // Copies of the built program and helper (the helper with cap_net_admin=ep when asked).
    bool MakeCopy(bool helperCapability) {
        std::string error;
        m_copy = InstalledCopy::Make(PELMORA_CONFIG_PATH, PELMORA_NET_HELPER_PATH, helperCapability, error);
        EXPECT_TRUE(m_copy) << error;
        return m_copy != nullptr;
    }

    // The copied program in the PC namespace as the unprivileged user.
    bool StartUnprivilegedProgram() {
        std::vector<std::string> argv = AsUnprivilegedUser();
        argv.insert(argv.end(), {"env", "HOME=" + m_copy->Home(), "QT_QPA_PLATFORM=offscreen", m_copy->ProgramPath()});
        const std::string log = std::string(PELMORA_LAB_LOG_DIR) + "/pelmora-config-" + TheLab().Prefix() + ".log";
        m_program = LoggedProcess::Start(TheLab().ExecArgv("pc", argv), log);
        return m_program != nullptr;
    }

    // The copied helper, capable, as the unprivileged user, for the application object in this process.
    std::unique_ptr<NetHelperClient> StartUnprivilegedHelper() {
        if (!MakeCopy(true)) return nullptr;
        std::vector<std::string> argv = AsUnprivilegedUser();
        argv.push_back(m_copy->HelperPath());
        std::string error;
        auto helper = NetHelperClient::Start(argv, error);
        EXPECT_TRUE(helper) << error;
        return helper;
    }

    std::vector<Ipv4Net> ExtraAdapterAddresses() { return AddressesOf(TheLab().ExtraInterface(1)); }

    std::optional<Ipv4Net> WaitForTemporaryAddress(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        do {
            const auto addresses = ExtraAdapterAddresses();
            if (!addresses.empty()) return addresses.front();
            std::this_thread::sleep_for(20ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return std::nullopt;
    }

    // Starts the program with a capable helper and waits until its first scan sends from the temporary
    // address on the spare adapter.
    std::optional<Ipv4Net> StartProgramWithItsAddress(LoggedProcess& sim) {
        if (!MakeCopy(true) || !StartUnprivilegedProgram()) return std::nullopt;
        const auto address = WaitForTemporaryAddress(10s);
        EXPECT_TRUE(address) << "no temporary address appeared on " << TheLab().ExtraInterface(1);
        if (!address) return std::nullopt;
        EXPECT_EQ(ToOctets(*address).bytes[0], 10);
        const auto requests = WaitForRecords(
            sim, [&](const JsonValue& r) { return IsRequestFrom(r, ToText(*address)); }, 1, 8000ms);
        EXPECT_FALSE(requests.empty()) << "the first scan sends from " << ToText(*address);
        return address;
    }

    std::unique_ptr<InstalledCopy> m_copy;
    std::unique_ptr<LoggedProcess> m_program;
};

TEST_F(AppE2e, TheWindowListsTheSimulatedDevicesAndWinksTheSelectedRow) {
    LoggedProcess* sim = StartDemoDevices();
    ASSERT_TRUE(sim);
    UdpTransport transport;
    SteadyClock clock;
    SystemDeviceNetwork network(transport, clock);
    CNimbetRawConfigDlg window(network, [](DeviceRecord*, DeviceSet*) { return false; });
    ASSERT_TRUE(ShowAndActivate(window));
    auto* list = window.Window().ControlAs<QtReportList>(IDC_DEVICE_LIST);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.FirstScanDone() && list->GetItemCount() > 0; }, FIRST_SCAN_MS));

    EXPECT_EQ(Column(*list, COL_UNIT),
              (std::vector<std::string>{"00:50:C2:8F:10:01", "00:50:C2:8F:10:07", "00:50:C2:8F:12:34"}));
    EXPECT_EQ(Column(*list, COL_IP_ADDRESS), (std::vector<std::string>{"192.168.92.20", "192.168.92.27", "10.0.0.99"}))
        << "the device on a foreign subnet is heard through its broadcast answer";
    EXPECT_EQ(Column(*list, COL_BACNET), (std::vector<std::string>{"Yes", "", "Yes"}));
    EXPECT_EQ(Column(*list, COL_DEVICE_ID), (std::vector<std::string>{"4001", "", "(4660)"}));
    EXPECT_EQ(Column(*list, COL_DEVICE_NAME), (std::vector<std::string>{"AHU-1 Supply", "", "Unit 0004660"}));
    EXPECT_EQ(Column(*list, COL_LOCATION), (std::vector<std::string>{"Roof", "", ""}));
    EXPECT_EQ(Column(*list, COL_PLA), (std::vector<std::string>{"1", "2", "254"}));
    EXPECT_EQ(Column(*list, COL_REVISION), (std::vector<std::string>{"2.1-3-18", "1.9-0-07", "1.0-0-00"}));

    list->SelectItem(1);
    QTest::mouseClick(window.Window().ControlAs<QPushButton>(IDC_WINK_BUTTON), Qt::LeftButton);
    const auto winks = WaitForRecords(
        *sim, [](const JsonValue& r) { return IsReceived(r, "wink"); }, 3, 1500ms);
    ASSERT_EQ(winks.size(), 2u);
    for (const JsonValue& wink : winks) {
        EXPECT_EQ(wink.TextOf("mac"), "00:50:C2:8F:10:07");
        EXPECT_TRUE(wink.Find("winked") && wink.Find("winked")->boolean);
    }
    EXPECT_EQ(list->GetFirstSelectedItem(), 1);
}

TEST_F(AppE2e, TheTemporaryAddressIsUsedByTheScanAndGoesWhenTheWindowCloses) {
    LoggedProcess* sim = StartDemoDevices();
    ASSERT_TRUE(sim);
    const auto helper = StartUnprivilegedHelper();
    ASSERT_TRUE(helper);
    UdpTransport transport;
    SteadyClock clock;
    SystemDeviceNetwork network(transport, clock, helper.get());
    SystemAddressPlatform addresses(helper.get());
    CNimbetRawConfigApp app(network, addresses, EditWithDialog);
    std::vector<Ipv4Net> duringRun;
    int rows = 0;
    auto run = CallOnNextModal([&](QWidget* modal) {
        auto& window = *DialogOf<CNimbetRawConfigDlg>(modal);
        duringRun = ExtraAdapterAddresses();
        const auto* list = window.Window().ControlAs<QtReportList>(IDC_DEVICE_LIST);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.FirstScanDone() && list->GetItemCount() > 0; }, FIRST_SCAN_MS));
        rows = list->GetItemCount();
        KeyIntoFocus(Qt::Key_Escape);
    });
    EXPECT_FALSE(app.InitInstance());
    ASSERT_TRUE(run->fired);
    ASSERT_EQ(duringRun.size(), 1u) << "one address on the extra adapter while the window is open";
    const Ipv4Octets octets = ToOctets(duringRun[0]);
    EXPECT_EQ(octets.bytes[0], 10);
    EXPECT_NE(octets.bytes[3], 0);
    EXPECT_NE(octets.bytes[3], 255);
    EXPECT_EQ(rows, 3);
    const auto fromTemporary = WaitForRecords(
        *sim, [&](const JsonValue& r) { return IsRequestFrom(r, ToText(duringRun[0])); }, 1, 1000ms);
    EXPECT_FALSE(fromTemporary.empty()) << "the scan sends from the temporary address";
    EXPECT_TRUE(ExtraAdapterAddresses().empty()) << "the address is deleted when the window has closed";
}

TEST_F(AppE2e, TheUnprivilegedProgramDeletesItsTemporaryAddressOnSigterm) {
    LoggedProcess* sim = StartDemoDevices();
    ASSERT_TRUE(sim);
    ASSERT_TRUE(StartProgramWithItsAddress(*sim));
    // The signal comes while the scan may still block the program; it ends as soon as the scan is over.
    EXPECT_EQ(m_program->Stop(10000ms), 0);
    EXPECT_TRUE(ExtraAdapterAddresses().empty()) << "deleted before the program ended";
}

TEST_F(AppE2e, AfterSigkillOfTheProgramItsHelperDeletesTheAddressAndEnds) {
    LoggedProcess* sim = StartDemoDevices();
    ASSERT_TRUE(sim);
    ASSERT_TRUE(StartProgramWithItsAddress(*sim));
    const pid_t helper = HelperOf(m_program->Pid());
    ASSERT_GT(helper, 0) << "the program started no network helper";
    ASSERT_EQ(kill(m_program->Pid(), SIGKILL), 0);
    EXPECT_EQ(m_program->Stop(), -1);
    const auto killed = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitForEnd(helper, 10s)) << "the helper outlived its channel";
    RecordProperty(
        "helper_end_ms",
        static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - killed).count()));
    EXPECT_TRUE(ExtraAdapterAddresses().empty()) << "the helper deletes what it added before it ends";
}

TEST_F(AppE2e, TheHelperDeletesItsAddressWhenItIsToldToTerminate) {
    const auto helper = StartUnprivilegedHelper();
    ASSERT_TRUE(helper);
    const int spare = static_cast<int>(if_nametoindex(TheLab().ExtraInterface(1).c_str()));
    ASSERT_TRUE(helper->AddTemporaryAddress(spare));
    ASSERT_EQ(ExtraAdapterAddresses().size(), 1u);
    const pid_t helperPid = HelperOf(getpid());
    ASSERT_GT(helperPid, 0);
    ASSERT_EQ(kill(helperPid, SIGTERM), 0);
    ASSERT_TRUE(WaitForEnd(helperPid, 10s));
    EXPECT_TRUE(ExtraAdapterAddresses().empty());
}

TEST_F(AppE2e, WithoutTheHelpersCapabilityTheProgramRunsAsIfNoAdapterQualified) {
    LoggedProcess* sim = StartDemoDevices();
    ASSERT_TRUE(sim);
    ASSERT_TRUE(MakeCopy(false));
    ASSERT_TRUE(StartUnprivilegedProgram());
    const std::string pcAddress = ToText(Lab::DefaultPcAddress());
    const auto requests = WaitForRecords(
        *sim, [&](const JsonValue& r) { return IsRequestFrom(r, pcAddress); }, 1, 8000ms);
    ASSERT_FALSE(requests.empty()) << "the program did not scan";
    const auto replies = WaitForRecords(
        *sim, [](const JsonValue& r) { return IsSent(r, "reply"); }, 1, 3000ms);
    EXPECT_FALSE(replies.empty()) << "the devices answered the program";
    EXPECT_TRUE(m_program->Running());
    EXPECT_TRUE(ExtraAdapterAddresses().empty());
    for (const JsonValue& record : SimulatorRecords(sim->Log())) {
        if (IsReceived(record, "request")) {
            EXPECT_NE(record.TextOf("peer").rfind("10.", 0), 0u) << record.TextOf("peer");
        }
    }
    EXPECT_EQ(m_program->Stop(10000ms), 0);
    EXPECT_NE(m_program->Log().find("pelmora-config: no network helper (no CAP_NET_ADMIN"), std::string::npos)
        << "one line on standard error says why";
}

// A bridge and its veth port, made before the spare adapter, come first in interface-index order and
// hold no IPv4 address by design; neither may get the temporary address.
class AdapterChoiceE2e : public AppE2e {
protected:
    LabOptions Options() const override {
        LabOptions options = AppE2e::Options();
        options.pcBridge = true;
        return options;
    }
};

TEST_F(AdapterChoiceE2e, TheAddressGoesToTheSpareAdapterNeverToABridgeOrItsPort) {
    const int bridge = static_cast<int>(if_nametoindex(TheLab().PcBridge().c_str()));
    const int port = static_cast<int>(if_nametoindex(TheLab().PcBridgePort().c_str()));
    const int spare = static_cast<int>(if_nametoindex(TheLab().ExtraInterface(1).c_str()));
    ASSERT_GT(bridge, 0);
    ASSERT_GT(port, 0);
    ASSERT_LT(std::max(bridge, port), spare) << "the lab makes the bridge and its port first";
    const auto helper = StartUnprivilegedHelper();
    ASSERT_TRUE(helper);
    // The helper reads the links itself and refuses both, whatever the program asks.
    EXPECT_FALSE(helper->AddTemporaryAddress(port));
    EXPECT_FALSE(helper->AddTemporaryAddress(bridge));

    SystemAddressPlatform addresses(helper.get());
    const TemporaryAddress holder(addresses);
    ASSERT_TRUE(holder.Holds());
    EXPECT_EQ(holder.Context()->ifIndex, spare);
    EXPECT_EQ(ExtraAdapterAddresses().size(), 1u);
    const auto adapters = ListAdapters();
    ASSERT_TRUE(adapters);
    for (const AdapterInfo& adapter : *adapters) {
        if (adapter.ifIndex != bridge && adapter.ifIndex != port) continue;
        EXPECT_FALSE(adapter.isEthernet) << adapter.name;
        EXPECT_FALSE(HoldsIpv4Address(adapter)) << adapter.name;
    }
}

}  // namespace
}  // namespace pelmora::test
