// The whole edit on a real network: the test thread in the lab's PC namespace scans the simulator,
// drives the edit dialog with the system network, and reads what arrived from the simulator's log.
#include <gtest/gtest.h>

#include <thread>

#include "DiscoveryScan.h"
#include "EditDialogDriver.h"
#include "LabTest.h"
#include "NetworkTables.h"
#include "PacketEnvelope.h"
#include "ResourceIds.h"
#include "SimulatorLog.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

class SystemEditHost final : public EditHost {
public:
    ReplyStore& Replies() override { return replies; }
    DeviceNetwork& Network() override { return network; }
    ReplyStore replies;
    SystemDeviceNetwork network;
};

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

std::string AddressText(const std::uint8_t (&octets)[4]) { return ToText(Ipv4Octets{{octets[0], octets[1], octets[2], octets[3]}}); }

bool HasNeighbour(Ipv4Net address) {
    const auto entries = ReadNeighbours();
    if (!entries) return false;
    for (const NeighbourEntry& entry : *entries)
        if (entry.address == address) return true;
    return false;
}

class EditE2e : public LabTest {
protected:
    // The main window's scan: an emptied store, discovery by broadcast, the table rebuilt.
    void Scan() {
        AbortIfMachineNamespace("edit e2e scan");
        m_host.replies.clear();
        const auto table = m_host.network.ReadInterfaceTable();
        ASSERT_TRUE(table);
        ASSERT_TRUE(m_host.network.Discover(*table, BROADCAST_ADDRESS, m_host.replies));
        RebuildDeviceStore(m_host.replies, m_store);
    }

    SystemEditHost m_host;
    DeviceStore m_store;
};

TEST_F(EditE2e, SaveSendsFourIdenticalDatagramsFlushesTheOldNeighbourAndTheRescanShowsTheEdit) {
    LoggedProcess* sim =
        StartSimulator(1, {"--generate", "1", "--claim-addresses", "--restart-silence", "2", "--lifetime", "90"});
    ASSERT_NE(sim, nullptr);
    Scan();
    ASSERT_EQ(m_store.Count(), 1u);
    DeviceRecord* device = m_store.RecordAt(0);
    ASSERT_EQ(AddressText(device->ipAddress), "192.168.92.10");
    ASSERT_EQ(device->deviceName, "SIM-0001");

    // An entry the write must remove, pointing at the device's real interface so the unicast still arrives.
    const CommandResult mac =
        TheLab().Exec(Lab::DeviceNode(1), {"cat", "/sys/class/net/" + TheLab().DeviceInterface(1) + "/address"});
    ASSERT_EQ(mac.exitStatus, 0) << mac.output;
    const std::string lladdr = mac.output.substr(0, mac.output.find('\n'));
    const CommandResult added = RunInPc(
        {"ip", "neigh", "replace", "192.168.92.10", "lladdr", lladdr, "dev", TheLab().PcInterface(), "nud", "permanent"});
    ASSERT_EQ(added.exitStatus, 0) << added.output;
    const Ipv4Net oldAddress = ToNet(Ipv4Octets{{192, 168, 92, 10}});
    ASSERT_TRUE(HasNeighbour(oldAddress));

    AbortIfMachineNamespace("edit e2e write");
    const EditOutcome outcome = RunEditDialog(*device, m_host, [](CDialogEdit& d, EditOutcome& o) {
        Type(d, IDC_NAME, QStringLiteral("AHU-7"));
        SetAddress(d, IDC_ADDRESS, 0xC0A85C32u);  // 192.168.92.50
        Type(d, IDC_PLA, QStringLiteral("7"));
        Type(d, IDC_ELA, QStringLiteral("9"));
        SaveAndCancelWait(d, o);
    });
    EXPECT_TRUE(outcome.saved);
    ASSERT_TRUE(outcome.wait && outcome.wait->shown);
    EXPECT_EQ(outcome.wait->maximum, 200);
    EXPECT_FALSE(HasNeighbour(oldAddress)) << "the write flushes the device's old address";

    const auto writes = WaitForRecords(*sim, IsWrite, 5, 1500ms);
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
    EXPECT_NEAR(MonoMs(writes[1]) - MonoMs(writes[0]), 200.0, 60.0);
    EXPECT_GE(MonoMs(writes[2]) - MonoMs(writes[1]), 440.0) << "flush pause and the pause between destinations";
    EXPECT_NEAR(MonoMs(writes[3]) - MonoMs(writes[2]), 200.0, 60.0);
    const JsonValue* applied = writes[0].Find("applied");
    EXPECT_TRUE(applied != nullptr && applied->boolean) << sim->Log();
    EXPECT_EQ(SettingText(writes[0], "name"), "AHU-7");
    EXPECT_EQ(SettingText(writes[0], "ip"), "192.168.92.50");
    EXPECT_EQ(SettingNumber(writes[0], "pla"), 7.0);
    EXPECT_EQ(SettingNumber(writes[0], "ela"), 9.0);
    for (std::size_t i = 1; i < writes.size(); ++i) EXPECT_EQ(writes[i].TextOf("reject"), "restarting") << i;

    const auto moved = WaitForRecords(
        *sim, [](const JsonValue& r) { return r.TextOf("event") == "claim" && r.TextOf("ip") == "192.168.92.50"; }, 1,
        5s);
    ASSERT_EQ(moved.size(), 1u) << "the device's restart is over";
    Scan();
    ASSERT_EQ(m_store.Count(), 1u);
    EXPECT_EQ(m_store.RecordAt(0)->deviceName, "AHU-7");
    EXPECT_EQ(AddressText(m_store.RecordAt(0)->ipAddress), "192.168.92.50");
    EXPECT_EQ(m_store.RecordAt(0)->pla, 7);
    EXPECT_EQ(m_store.RecordAt(0)->ela, 9);
}

TEST_F(EditE2e, CancelSendsNothing) {
    LoggedProcess* sim = StartSimulator(1, {"--generate", "1", "--claim-addresses", "--lifetime", "60"});
    ASSERT_NE(sim, nullptr);
    Scan();
    ASSERT_EQ(m_store.Count(), 1u);
    const EditOutcome outcome = RunEditDialog(*m_store.RecordAt(0), m_host, [](CDialogEdit& d, EditOutcome&) {
        Type(d, IDC_NAME, QStringLiteral("NOT SENT"));
        SetAddress(d, IDC_ADDRESS, 0x0A000001u);
        Click(d, IDCANCEL);
    });
    EXPECT_FALSE(outcome.saved);
    EXPECT_TRUE(WaitForRecords(*sim, IsWrite, 1, 1500ms).empty()) << sim->Log();
}

}  // namespace
}  // namespace pelmora::test
