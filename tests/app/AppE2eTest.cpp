// The program against simulated devices in the lab: the window in this process with the real network,
// the application object with the real temporary address, and the built program run in the PC
// namespace on the offscreen platform (label e2e, root).
#include <gtest/gtest.h>

#include <QtTest/QTest>
#include <QtWidgets/QPushButton>

#include <iostream>
#include <optional>
#include <thread>

#include "app/AddressPlatform.h"
#include "app/CNimbetRawConfigApp.h"
#include "app/CNimbetRawConfigDlg.h"
#include "app/EditWithDialog.h"
#include "app/SystemAddressPlatform.h"
#include "platform/Adapters.h"
#include "platform/Clock.h"
#include "platform/UdpTransport.h"
#include "protocol/RowTexts.h"
#include "protocol/SystemDeviceNetwork.h"
#include "resources/ResourceIds.h"
#include "tests/protocol/SimulatorLog.h"
#include "tests/support/LabTest.h"
#include "tests/ui/GuiTestSupport.h"
#include "ui/ReportList.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

constexpr int FIRST_SCAN_MS = 250 + 2 * 2000 + 3000;  // the delay, both receive windows, and slack

std::vector<QString> Column(const ReportList& list, int column) {
    std::vector<QString> texts;
    for (int row = 0; row < list.GetItemCount(); ++row) texts.push_back(list.GetItemText(row, column));
    return texts;
}

bool IsRequestFrom(const JsonValue& record, const std::string& address) {
    return IsReceived(record, "request") && record.TextOf("peer") == address + ":26487";
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
        LabTest::TearDown();
    }

    LoggedProcess* StartDemoDevices() {
        return StartSimulator(1, {"--devices", PELMORA_DEMO_DEVICES, "--lifetime", "120"});
    }

    // The built program in the PC namespace, after the given command prefix (e.g. one that drops rights).
    bool StartProgram(std::vector<std::string> argv) {
        argv.insert(argv.end(), {"env", "QT_QPA_PLATFORM=offscreen", PELMORA_CONFIG_PATH});
        const std::string log = std::string(PELMORA_LAB_LOG_DIR) + "/pelmora-config-" + TheLab().Prefix() + ".log";
        m_program = LoggedProcess::Start(TheLab().ExecArgv("pc", argv), log);
        return m_program != nullptr;
    }

    // The IPv4 addresses of the lab's extra adapter, which starts without any.
    std::vector<Ipv4Net> ExtraAdapterAddresses() {
        std::vector<Ipv4Net> found;
        const auto adapters = ListAdapters();
        EXPECT_TRUE(adapters);
        if (!adapters) return found;
        for (const AdapterInfo& adapter : *adapters) {
            if (adapter.name != TheLab().ExtraInterface(1)) continue;
            EXPECT_TRUE(adapter.isEthernet) << "a bridge-less veth is Ethernet";
            for (const auto& entry : adapter.unicast)
                if (entry) found.push_back(*entry);
        }
        return found;
    }

    std::optional<Ipv4Net> WaitForTemporaryAddress(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        do {
            const auto addresses = ExtraAdapterAddresses();
            if (!addresses.empty()) return addresses.front();
            std::this_thread::sleep_for(20ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return std::nullopt;
    }

    std::unique_ptr<LoggedProcess> m_program;
};

TEST_F(AppE2e, TheWindowListsTheSimulatedDevicesAndWinksTheSelectedRow) {
    LoggedProcess* sim = StartDemoDevices();
    ASSERT_TRUE(sim);
    UdpTransport transport;
    SteadyClock clock;
    SystemDeviceNetwork network(transport, clock);
    CNimbetRawConfigDlg window(network, [](DeviceRecord*, EditHost*) { return false; });
    ASSERT_TRUE(ShowAndActivate(&window));
    auto* list = window.ControlAs<ReportList>(IDC_DEVICE_LIST);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.FirstScanDone() && list->GetItemCount() > 0; }, FIRST_SCAN_MS));

    EXPECT_EQ(Column(*list, COL_UNIT),
              (std::vector<QString>{"00:50:C2:8F:10:01", "00:50:C2:8F:10:07", "00:50:C2:8F:12:34"}));
    EXPECT_EQ(Column(*list, COL_IP_ADDRESS), (std::vector<QString>{"192.168.92.20", "192.168.92.27", "10.0.0.99"}))
        << "the device on a foreign subnet is heard through its broadcast answer";
    EXPECT_EQ(Column(*list, COL_BACNET), (std::vector<QString>{"Yes", "", "Yes"}));
    EXPECT_EQ(Column(*list, COL_DEVICE_ID), (std::vector<QString>{"4001", "", "(4660)"}));
    EXPECT_EQ(Column(*list, COL_DEVICE_NAME), (std::vector<QString>{"AHU-1 Supply", "", "Unit 0004660"}));
    EXPECT_EQ(Column(*list, COL_LOCATION), (std::vector<QString>{"Roof", "", ""}));
    EXPECT_EQ(Column(*list, COL_PLA), (std::vector<QString>{"1", "2", "254"}));
    EXPECT_EQ(Column(*list, COL_REVISION), (std::vector<QString>{"2.1-3-18", "1.9-0-07", "1.0-0-00"}));

    list->SelectItem(1);
    QTest::mouseClick(window.ControlAs<QPushButton>(IDC_WINK_BUTTON), Qt::LeftButton);
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
    UdpTransport transport;
    SteadyClock clock;
    SystemDeviceNetwork network(transport, clock);
    SystemAddressPlatform addresses;
    CNimbetRawConfigApp app(network, addresses, EditWithDialog);
    std::vector<Ipv4Net> duringRun;
    int rows = 0;
    auto run = CallOnNextModal([&](QWidget* modal) {
        auto& window = static_cast<CNimbetRawConfigDlg&>(*modal);
        duringRun = ExtraAdapterAddresses();
        const auto* list = window.ControlAs<ReportList>(IDC_DEVICE_LIST);
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

TEST_F(AppE2e, TheProgramDeletesItsTemporaryAddressOnSigterm) {
    LoggedProcess* sim = StartDemoDevices();
    ASSERT_TRUE(sim);
    ASSERT_TRUE(StartProgram({}));
    const auto address = WaitForTemporaryAddress(5s);
    ASSERT_TRUE(address) << "no temporary address appeared on " << TheLab().ExtraInterface(1);
    EXPECT_EQ(ToOctets(*address).bytes[0], 10);
    const auto requests = WaitForRecords(
        *sim, [&](const JsonValue& r) { return IsRequestFrom(r, ToText(*address)); }, 1, 5000ms);
    ASSERT_FALSE(requests.empty()) << "the first scan sends from " << ToText(*address);
    // The signal comes while the scan still blocks the program; it ends as soon as the scan is over.
    EXPECT_EQ(m_program->Stop(10000ms), 0);
    EXPECT_TRUE(ExtraAdapterAddresses().empty());
}

TEST_F(AppE2e, WithoutTheRightToChangeAddressesTheProgramRunsAsIfNoAdapterQualified) {
    LoggedProcess* sim = StartDemoDevices();
    ASSERT_TRUE(sim);
    ASSERT_TRUE(StartProgram({"setpriv", "--bounding-set", "-net_admin", "--inh-caps", "-net_admin", "--"}));
    const std::string pcAddress = ToText(Lab::DefaultPcAddress());
    const auto requests = WaitForRecords(
        *sim, [&](const JsonValue& r) { return IsRequestFrom(r, pcAddress); }, 1, 5000ms);
    ASSERT_FALSE(requests.empty()) << "the program did not scan";
    EXPECT_TRUE(m_program->Running());
    EXPECT_TRUE(ExtraAdapterAddresses().empty());
    for (const JsonValue& record : SimulatorRecords(sim->Log())) {
        if (IsReceived(record, "request")) {
            EXPECT_NE(record.TextOf("peer").rfind("10.", 0), 0u) << record.TextOf("peer");
        }
    }
    EXPECT_EQ(m_program->Stop(10000ms), 0);
}

}  // namespace
}  // namespace pelmora::test
