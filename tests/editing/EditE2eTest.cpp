// The whole edit on a real network: in the lab's PC namespace the main window scans the simulator,
// Edit... opens the real edit dialog, and the simulator's log tells what arrived. The neighbour flush
// goes through a copy of the network helper run as an unprivileged user with its file capability. The
// rows' marks after a write, and after a plan applied through "Apply plan...", are read over AT-SPI as a
// screen reader reads them: the tests run on an X server and a session bus of their own
// (tests/support/screen-reader-session.sh).
#include <gtest/gtest.h>

#include <QtGui/QAction>
#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "app/CNimbetRawConfigDlg.h"
#include "app/PlanDialogs.h"
#include "app/PlanWindowHooks.h"
#include "helper/NetHelperClient.h"
#include "listing/RowTexts.h"
#include "platform/Clock.h"
#include "platform/Neighbours.h"
#include "platform/UdpTransport.h"
#include "protocol/PacketEnvelope.h"
#include "protocol/SystemDeviceNetwork.h"
#include "resources/ResourceIds.h"
#include "tests/editing/EditDialogDriver.h"
#include "tests/protocol/SimulatorLog.h"
#include "tests/support/InstalledCopy.h"
#include "tests/support/LabTest.h"
#include "tests/ui/AtSpiReader.h"
#include "tests/ui/GuiTestSupport.h"
#include "ui/qt/QtReportList.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

bool IsWrite(const JsonValue& record) { return IsReceived(record, "write"); }

double MonoMs(const JsonValue& record) {
    const JsonValue* value = record.Find("mono_ms");
    return value != nullptr ? value->number : -1.0;
}

std::string SettingText(const JsonValue& record, const std::string& key) {
    const JsonValue* settings = record.Find("settings");
    return settings != nullptr ? settings->TextOf(key) : std::string();
}

double SettingNumber(const JsonValue& record, const std::string& key) {
    const JsonValue* settings = record.Find("settings");
    const JsonValue* value = settings != nullptr ? settings->Find(key) : nullptr;
    return value != nullptr ? value->number : -1.0;
}

bool HasNeighbour(Ipv4Net address) {
    const auto entries = ReadNeighbours();
    if (!entries) return false;
    for (const NeighbourEntry& entry : *entries)
        if (entry.address == address) return true;
    return false;
}

// What a screen reader reads, over AT-SPI, of each row's "Unit" cell: its name (the MAC) and its
// description (the mark), tab-separated.
std::vector<std::string> SpokenUnitCells() {
    const AtSpiReading reading = ReadOverAtSpi(QStringLiteral("cells"), QString::number(COL_UNIT));
    EXPECT_NE(reading.exitCode, AtSpiReading::NO_PYATSPI) << "python3-pyatspi is not installed";
    EXPECT_EQ(reading.exitCode, 0) << reading.output.toStdString();
    std::vector<std::string> lines;
    for (const QString& line : reading.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines.push_back(line.toStdString());
    return lines;
}

constexpr int FIRST_SCAN_MS = 250 + 2 * 2000 + 3000;  // the delay, both receive windows, and slack

class EditE2e : public LabTest {
protected:
    void SetUp() override {
        LabTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        std::string error;
        m_copy = InstalledCopy::Make("", PELMORA_NET_HELPER_PATH, true, error);
        ASSERT_TRUE(m_copy) << error;
        std::vector<std::string> argv = AsUnprivilegedUser();
        argv.push_back(m_copy->HelperPath());
        m_helper = NetHelperClient::Start(argv, error);
        ASSERT_TRUE(m_helper) << error;
        m_network = std::make_unique<SystemDeviceNetwork>(m_transport, m_clock, m_helper.get());
    }

    void TearDown() override {
        m_network.reset();
        m_helper.reset();
        m_copy.reset();
        LabTest::TearDown();
    }

    // The main window with the system network after its first scan; Edit... on the one row runs the
    // real dialog through `steps`, then afterDialog, then the window's own rescan.
    void EditFirstRow(const std::function<void(CDialogEdit&, EditOutcome&)>& steps,
                      const std::function<void()>& afterDialog = {}) {
        AbortIfMachineNamespace("edit e2e");
        CNimbetRawConfigDlg window(*m_network, [&](DeviceRecord* record, DeviceSet* devices) {
            m_outcome = RunEditDialog(*record, *devices, steps);
            if (afterDialog) afterDialog();
            return m_outcome.saved;
        });
        ASSERT_TRUE(ShowAndActivate(window));
        auto* list = window.Window().ControlAs<QtReportList>(IDC_DEVICE_LIST);
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.FirstScanDone() && list->GetItemCount() > 0; }, FIRST_SCAN_MS));
        ASSERT_GE(list->GetItemCount(), 1);
        ASSERT_EQ(list->GetItemText(0, COL_DEVICE_NAME), "SIM-0001");
        ASSERT_EQ(list->GetItemText(0, COL_IP_ADDRESS), "192.168.92.10");
        if (m_beforeEdit) m_beforeEdit();
        list->SelectItem(0);
        QTest::mouseClick(window.Window().ControlAs<QPushButton>(IDC_EDIT_BUTTON), Qt::LeftButton);
        m_rows.clear();
        for (int row = 0; row < list->GetItemCount(); ++row) {
            m_rows.push_back({list->GetItemText(row, COL_DEVICE_NAME), list->GetItemText(row, COL_IP_ADDRESS),
                              list->GetItemText(row, COL_PLA), list->GetItemText(row, COL_ELA)});
        }
        if (m_readMarks) m_marks = SpokenUnitCells();
    }

    UdpTransport m_transport;
    SteadyClock m_clock;
    std::unique_ptr<InstalledCopy> m_copy;
    std::unique_ptr<NetHelperClient> m_helper;
    std::unique_ptr<SystemDeviceNetwork> m_network;
    EditOutcome m_outcome;
    std::function<void()> m_beforeEdit;
    std::vector<std::vector<std::string>> m_rows;  // name, address, PLA, ELA of each row after the edit
    bool m_readMarks = false;                      // read the rows' marks after the edit
    std::vector<std::string> m_marks;              // each row's MAC and mark, as a screen reader reads them
};

TEST_F(EditE2e, SaveSendsFourIdenticalDatagramsFlushesTheOldNeighbourAndTheRescanShowsTheEdit) {
    // The restart silence covers all four datagrams.
    LoggedProcess* sim =
        StartSimulator(1, {"--generate", "1", "--claim-addresses", "--restart-silence", "2", "--lifetime", "90"});
    ASSERT_NE(sim, nullptr);
    const Ipv4Net oldAddress = ToNet(Ipv4Octets{{192, 168, 92, 10}});
    // A dynamic entry the write must remove (a fixed one it leaves), pointing at the device's real
    // interface so the unicast still arrives.
    m_beforeEdit = [&] {
        const CommandResult mac =
            TheLab().Exec(Lab::DeviceNode(1), {"cat", "/sys/class/net/" + TheLab().DeviceInterface(1) + "/address"});
        ASSERT_EQ(mac.exitStatus, 0) << mac.output;
        const std::string lladdr = mac.output.substr(0, mac.output.find('\n'));
        const CommandResult added = RunInPc({"ip", "neigh", "replace", "192.168.92.10", "lladdr", lladdr, "dev",
                                             TheLab().PcInterface(), "nud", "stale"});
        ASSERT_EQ(added.exitStatus, 0) << added.output;
        ASSERT_TRUE(HasNeighbour(oldAddress));
    };
    // The wait is cancelled once the device has restarted at its new address, so the rescan finds it.
    const auto restarted = [sim] {
        EXPECT_TRUE(QTest::qWaitFor(
            [sim] {
            for (const JsonValue& r : SimulatorRecords(sim->Log()))
                if (r.TextOf("event") == "claim" && r.TextOf("ip") == "192.168.92.50") return true;
            return false;
            },
            5000));
    };
    bool neighbourAfterWrite = true;
    EditFirstRow(
        [&](CDialogEdit& d, EditOutcome& o) {
        Type(d, IDC_NAME, QStringLiteral("AHU-7"));
        SetAddress(d, IDC_ADDRESS, 0xC0A85C32u);  // 192.168.92.50
        Type(d, IDC_PLA, QStringLiteral("7"));
        Type(d, IDC_ELA, QStringLiteral("9"));
        SaveAndCancelWait(d, o, restarted);
        },
        [&] { neighbourAfterWrite = HasNeighbour(oldAddress); });
    EXPECT_TRUE(m_outcome.saved);
    ASSERT_TRUE(m_outcome.wait && m_outcome.wait->shown);
    EXPECT_EQ(m_outcome.wait->maximum, 200);
    EXPECT_FALSE(neighbourAfterWrite) << "the write flushes the device's old address";

    const auto writes = WaitForRecords(*sim, IsWrite, 5, 1000ms);
    ASSERT_EQ(writes.size(), 4u) << sim->Log();
    for (const JsonValue& write : writes) {
        EXPECT_EQ(write.TextOf("hex"), writes[0].TextOf("hex")) << "four identical datagrams";
        EXPECT_EQ(PortOf(write.TextOf("peer")), unsigned{DEVICE_PORT});
        EXPECT_EQ(write.TextOf("mac"), "02:00:00:00:00:01");
    }
    EXPECT_EQ(writes[0].TextOf("local"), "192.168.92.10:26487");
    EXPECT_EQ(writes[1].TextOf("local"), "192.168.92.10:26487");
    EXPECT_EQ(writes[2].TextOf("local"), "255.255.255.255:26487");
    EXPECT_EQ(writes[3].TextOf("local"), "255.255.255.255:26487");
    EXPECT_GE(MonoMs(writes[1]) - MonoMs(writes[0]), 190.0);
    EXPECT_GE(MonoMs(writes[2]) - MonoMs(writes[1]), 440.0) << "flush pause and the pause between destinations";
    EXPECT_GE(MonoMs(writes[3]) - MonoMs(writes[2]), 190.0);
    const JsonValue* applied = writes[0].Find("applied");
    EXPECT_TRUE(applied != nullptr && applied->boolean) << sim->Log();
    EXPECT_EQ(SettingText(writes[0], "name"), "AHU-7");
    EXPECT_EQ(SettingText(writes[0], "ip"), "192.168.92.50");
    EXPECT_EQ(SettingNumber(writes[0], "pla"), 7.0);
    EXPECT_EQ(SettingNumber(writes[0], "ela"), 9.0);
    for (std::size_t i = 1; i < writes.size(); ++i) EXPECT_EQ(writes[i].TextOf("reject"), "restarting") << i;

    const std::vector<std::vector<std::string>> expected = {{"AHU-7", "192.168.92.50", "7", "9"}};
    EXPECT_EQ(m_rows, expected) << "the window's rescan after the save lists the new settings\n" << sim->Log();
}

TEST_F(EditE2e, SaveUnchangedMarksTheEditedRowConfirmedAfterTheRescan) {
    LoggedProcess* sim =
        StartSimulator(1, {"--generate", "2", "--claim-addresses", "--restart-silence", "1", "--lifetime", "60"});
    ASSERT_NE(sim, nullptr);
    m_readMarks = true;
    // The wait is cancelled once the device is past its restart, so the rescan hears it.
    EditFirstRow([](CDialogEdit& d, EditOutcome& o) { SaveAndCancelWait(d, o, [] { QTest::qWait(2500); }); });
    EXPECT_TRUE(m_outcome.saved);
    EXPECT_EQ(WaitForRecords(*sim, IsWrite, 5, 1000ms).size(), 4u) << sim->Log();
    EXPECT_EQ(m_marks, (std::vector<std::string>{"02:00:00:00:00:01\tconfirmed", "02:00:00:00:00:02\t"}))
        << "only the edited row reads confirmed\n"
        << sim->Log();
}

// Three devices, the third ignoring every write, in one simulator; the plan renames and renumbers all.
constexpr const char* THREE_DEVICES =
    "mac=00:50:C2:8F:30:01 ip=192.168.92.41 mask=255.255.255.0 bacnet=1 id=4301 name=AHU-1\n"
    "mac=00:50:C2:8F:30:02 ip=192.168.92.42 mask=255.255.255.0 bacnet=1 id=4302 name=AHU-2\n"
    "mac=00:50:C2:8F:30:03 ip=192.168.92.43 mask=255.255.255.0 bacnet=1 id=4303 name=Stubborn writes=ignore\n";
constexpr const char* THREE_DEVICE_PLAN =
    "Unit,Device ID,Device Name\r\n"
    "00:50:C2:8F:30:01,4401,AHU-11\r\n"
    "00:50:C2:8F:30:02,4402,AHU-12\r\n"
    "00:50:C2:8F:30:03,4403,Stubborn-2\r\n";

std::vector<std::vector<std::string>> PlanRows(TemplateDialog& dialog) {
    std::vector<std::vector<std::string>> rows;
    ReportList* list = dialog.List(IDC_PLAN_LIST);
    for (int row = 0; list != nullptr && row < list->GetItemCount(); ++row)
        rows.push_back({list->GetItemText(row, 0), list->GetItemText(row, 1), list->GetItemText(row, 2)});
    return rows;
}

TEST_F(EditE2e, APlanAppliedThroughTheWindowConfirmsTwoRowsAndShowsTheThirdDiffers) {
    AbortIfMachineNamespace("window plan e2e");
    const std::string devices = "/tmp/" + TheLab().Prefix() + "-devices.txt";
    const std::string plan = "/tmp/" + TheLab().Prefix() + "-plan.csv";
    std::ofstream(devices, std::ios::binary) << THREE_DEVICES;
    std::ofstream(plan, std::ios::binary) << THREE_DEVICE_PLAN;
    LoggedProcess* sim = StartSimulator(1, {"--devices", devices, "--claim-addresses", "--lifetime", "120"});
    ASSERT_NE(sim, nullptr);

    PlanWindowHooks hooks = PlanWindowHooksWithDialogs();
    hooks.choosePlanFile = [&](TemplateDialog&) { return plan; };
    CNimbetRawConfigDlg window(*m_network, {}, {}, hooks);
    ASSERT_TRUE(ShowAndActivate(window));
    auto* list = window.Window().ControlAs<QtReportList>(IDC_DEVICE_LIST);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.FirstScanDone() && list->GetItemCount() == 3; }, FIRST_SCAN_MS));

    std::vector<std::vector<std::string>> preview;
    std::vector<std::vector<std::string>> results;
    std::string summary;
    std::size_t writesAtPreview = 99;
    std::shared_ptr<const ModalCall> waitCall;
    std::shared_ptr<const ModalCall> resultsCall;
    const auto previewCall = CallOnNextModal([&](QWidget* modal) {
        auto* dialog = DialogOf<CPlanPreviewDlg>(modal);
        ASSERT_NE(dialog, nullptr);
        preview = PlanRows(*dialog);
        writesAtPreview = WaitForRecords(*sim, IsWrite, 1, 300ms).size();
        // The wait dialog runs its 20 s out; the results follow the verifying scan.
        waitCall = CallOnNextModal(
            [&](QWidget*) {
            resultsCall = CallOnNextModal(
                [&](QWidget* shown) {
                auto* resultsDialog = DialogOf<CPlanResultsDlg>(shown);
                ASSERT_NE(resultsDialog, nullptr);
                results = PlanRows(*resultsDialog);
                auto* edit = resultsDialog->Window().ControlAs<QLineEdit>(IDC_PLAN_SUMMARY);
                summary = edit != nullptr ? edit->text().toStdString() : "";
                resultsDialog->SendCommand(IDCANCEL);
                },
                60000);
            },
            10000);
        QTest::mouseClick(dialog->Window().ControlAs<QPushButton>(IDOK), Qt::LeftButton);
    });
    window.Window().MenuAction(ID_APPLY_PLAN)->trigger();
    std::remove(devices.c_str());
    std::remove(plan.c_str());
    ASSERT_TRUE(previewCall->fired);
    ASSERT_TRUE(waitCall && waitCall->fired);
    ASSERT_TRUE(resultsCall && resultsCall->fired) << sim->Log();

    EXPECT_EQ(writesAtPreview, 0u) << "the preview sends nothing";
    EXPECT_EQ(
        preview,
        (std::vector<std::vector<std::string>>{
            {"00:50:C2:8F:30:01", "changes", "Device ID: 4301 \u2192 4401; Device Name: AHU-1 \u2192 AHU-11"},
            {"00:50:C2:8F:30:02", "changes", "Device ID: 4302 \u2192 4402; Device Name: AHU-2 \u2192 AHU-12"},
            {"00:50:C2:8F:30:03", "changes", "Device ID: 4303 \u2192 4403; Device Name: Stubborn \u2192 Stubborn-2"},
        }));
    const std::string differs = "Device ID: planned 4403, seen 4303; Device Name: planned Stubborn-2, seen Stubborn";
    EXPECT_EQ(results,
              (std::vector<std::vector<std::string>>{
                  {"00:50:C2:8F:30:01", "confirmed", "Device ID: 4301 \u2192 4401; Device Name: AHU-1 \u2192 AHU-11"},
                  {"00:50:C2:8F:30:02", "confirmed", "Device ID: 4302 \u2192 4402; Device Name: AHU-2 \u2192 AHU-12"},
                  {"00:50:C2:8F:30:03", "differs", differs},
              }))
        << sim->Log();
    EXPECT_EQ(summary, "2 of 3 devices confirmed; 1 differs");

    ASSERT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(SpokenUnitCells(),
              (std::vector<std::string>{"00:50:C2:8F:30:01\tconfirmed", "00:50:C2:8F:30:02\tconfirmed",
                                        "00:50:C2:8F:30:03\tdiffers: " + differs}));

    std::map<std::string, std::vector<std::string>> writes;
    for (const JsonValue& write : WaitForRecords(*sim, IsWrite, 13, 1000ms))
        writes[write.TextOf("mac")].push_back(write.TextOf("hex"));
    ASSERT_EQ(writes.size(), 3u) << sim->Log();
    for (const auto& [mac, sent] : writes) {
        EXPECT_EQ(sent.size(), 4u) << mac;
        EXPECT_EQ(std::set<std::string>(sent.begin(), sent.end()).size(), 1u) << mac << ": four identical writes";
    }
}

TEST_F(EditE2e, CancelSendsNothing) {
    LoggedProcess* sim = StartSimulator(1, {"--generate", "1", "--claim-addresses", "--lifetime", "60"});
    ASSERT_NE(sim, nullptr);
    EditFirstRow([](CDialogEdit& d, EditOutcome&) {
        Type(d, IDC_NAME, QStringLiteral("NOT SENT"));
        SetAddress(d, IDC_ADDRESS, 0x0A000001u);
        Click(d, IDCANCEL);
    });
    EXPECT_FALSE(m_outcome.saved);
    EXPECT_TRUE(WaitForRecords(*sim, IsWrite, 1, 1500ms).empty()) << sim->Log();
    const std::vector<std::vector<std::string>> unchanged = {{"SIM-0001", "192.168.92.10", "1", "254"}};
    EXPECT_EQ(m_rows, unchanged);
}

}  // namespace
}  // namespace pelmora::test
