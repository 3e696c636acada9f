// The edit dialog driven by control ID through EditDevice, with a fake network: what it shows, the
// DHCP and Foreign device rules, the corrections of Save, the text limits, what a save sends, and the
// wait that follows.
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

#include <gtest/gtest.h>

#include "editing/DlgWait.h"
#include "protocol/MacAddress.h"
#include "protocol/WireFormat.h"
#include "resources/ResourceIds.h"
#include "tests/editing/EditDialogDriver.h"
#include "tests/support/FakeDevices.h"
#include "tests/support/WritePayload.h"
#include "tests/ui/GuiTestSupport.h"
#include "ui/DataExchange.h"
#include "ui/qt/ControlId.h"
#include "ui/qt/QtIpAddressCtrl.h"

namespace pelmora {
namespace {

using namespace test;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t DEVICE_ADDRESS = 0xC0A85C0Au;  // 192.168.92.10

DeviceRecord Device() {
    DeviceRecord r;
    const std::uint8_t mac[6] = {0x02, 0x00, 0x00, 0x00, 0x00, 0x1A};
    std::copy(mac, mac + 6, r.mac);
    const std::uint8_t ip[4] = {192, 168, 92, 10}, mask[4] = {255, 255, 255, 0}, gw[4] = {192, 168, 92, 1};
    std::copy(ip, ip + 4, r.ipAddress);
    std::copy(mask, mask + 4, r.subnetMask);
    std::copy(gw, gw + 4, r.gateway);
    const std::uint8_t dns[8] = {192, 8, 168, 8, 92, 4, 1, 4};  // 192.168.92.1 and 8.8.4.4
    std::copy(dns, dns + 8, r.dnsServers);
    r.pla = 1;
    r.ela = 254;
    r.featureFlags = FEATURE_BACNET;
    r.deviceId = 100000;
    r.deviceName = "AHU-1";
    r.location = "Plant room";
    r.description = "Air handling unit";
    r.bacnetPort = 47808;
    r.revision = 0x02010400;
    return r;
}

// The device's reply in the store, as the scan that listed it left it.
void StoreReplyOf(FakeDevices& host, const DeviceRecord& record) {
    ElementList stored;
    AppendElement(stored, reply::MAC.tag, record.mac, 6);
    host.devices.Replies()[MacKey(record.mac)] = stored;
}

Bytes FirstPayload(const FakeDevices& host) {
    const auto sends = host.network.Sends();
    return sends.empty() ? Bytes{} : sends.front().payload;
}

TEST(EditDialog, OpensWithTheRecordAndCancelSendsNothing) {
    DeviceRecord record = Device();
    FakeDevices host;
    StoreReplyOf(host, record);
    const EditOutcome outcome = RunEditDialog(record, host.devices, [](CDialogEdit& d, EditOutcome&) {
        EXPECT_EQ(d.Window().windowTitle(), QStringLiteral("Edit"));
        EXPECT_EQ(Text(d, IDC_MAC_TEXT), QStringLiteral("02:00:00:00:00:1A"));
        EXPECT_EQ(Text(d, IDC_IP_TEXT), QStringLiteral("192.168.92.10"));
        EXPECT_EQ(Address(d, IDC_ADDRESS), DEVICE_ADDRESS);
        EXPECT_EQ(Address(d, IDC_SUBNET_MASK), 0xFFFFFF00u);
        EXPECT_EQ(Address(d, IDC_GATEWAY), 0xC0A85C01u);
        EXPECT_EQ(Address(d, IDC_DNS), 0xC0A85C01u) << "the first of the interleaved servers";
        EXPECT_FALSE(IsChecked(d, IDC_DHCP));
        for (const int id : {IDC_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY, IDC_DNS})
            EXPECT_TRUE(d.Window().Control(id)->isEnabled());
        EXPECT_EQ(Text(d, IDC_DEVICE_ID), QStringLiteral("100000"));
        EXPECT_EQ(Text(d, IDC_NAME), QStringLiteral("AHU-1"));
        EXPECT_EQ(Text(d, IDC_LOCATION), QStringLiteral("Plant room"));
        EXPECT_EQ(Text(d, IDC_DESCRIPTION), QStringLiteral("Air handling unit"));
        EXPECT_EQ(Text(d, IDC_PLA), QStringLiteral("1"));
        EXPECT_EQ(Text(d, IDC_ELA), QStringLiteral("254"));
        EXPECT_EQ(Text(d, IDC_PORT), QStringLiteral("47808"));
        EXPECT_FALSE(IsChecked(d, IDC_DEBUG));
        EXPECT_FALSE(IsChecked(d, IDC_FOREIGN_DEVICE));
        EXPECT_FALSE(d.Window().Control(IDC_BBMD_ADDRESS)->isEnabled());
        const std::pair<int, int> limits[] = {
            {IDC_DEVICE_ID, 20}, {IDC_NAME, 32}, {IDC_LOCATION, 32}, {IDC_DESCRIPTION, 50}};
        for (const auto& [id, limit] : limits) {
            Type(d, id, QString(limit + 5, QLatin1Char('7')));
            EXPECT_EQ(Text(d, id).size(), limit) << "typing stops at the limit of " << id;
        }

        Click(d, IDC_FOREIGN_DEVICE);
        EXPECT_TRUE(d.Window().Control(IDC_BBMD_ADDRESS)->isEnabled()) << "checking Foreign device enables it at once";
        Type(d, IDC_BBMD_ADDRESS, QStringLiteral("192.168.92.250"));
        Click(d, IDC_FOREIGN_DEVICE);
        EXPECT_FALSE(d.Window().Control(IDC_BBMD_ADDRESS)->isEnabled());
        EXPECT_EQ(Text(d, IDC_BBMD_ADDRESS), QStringLiteral("192.168.92.250")) << "a disabled edit keeps its text";
        Click(d, IDCANCEL);
    });
    EXPECT_FALSE(outcome.saved);
    EXPECT_TRUE(host.network.calls.empty());
}

TEST(EditDialog, FactoryDefaultDhcpDeviceOpensDisabledButFilledAndSavesUnchanged) {
    DeviceRecord record = Device();
    record.deviceId = -7;
    record.dhcp = 1;
    record.bbmdAddress = "10.0.0.5";
    record.debugFlags = 3;
    FakeDevices host;
    StoreReplyOf(host, record);
    const EditOutcome outcome = RunEditDialog(record, host.devices, [](CDialogEdit& d, EditOutcome& o) {
        EXPECT_EQ(Text(d, IDC_DEVICE_ID), QStringLiteral("[factory default]"));
        EXPECT_TRUE(IsChecked(d, IDC_DHCP));
        for (const int id : {IDC_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY, IDC_DNS})
            EXPECT_FALSE(d.Window().Control(id)->isEnabled());
        EXPECT_EQ(Address(d, IDC_ADDRESS), DEVICE_ADDRESS);
        EXPECT_TRUE(IsChecked(d, IDC_FOREIGN_DEVICE));
        EXPECT_TRUE(d.Window().Control(IDC_BBMD_ADDRESS)->isEnabled());
        EXPECT_EQ(Text(d, IDC_BBMD_ADDRESS), QStringLiteral("10.0.0.5"));
        EXPECT_TRUE(IsChecked(d, IDC_DEBUG));
        SaveAndCancelWait(d, o);
    });
    EXPECT_TRUE(outcome.saved);
    const Bytes payload = FirstPayload(host);
    EXPECT_EQ(Element(payload, write::DEVICE_ID.tag), "7C 04 FF FF FF FF");
    EXPECT_EQ(Element(payload, write::DHCP.tag), "6A 01 01");
    EXPECT_EQ(Element(payload, write::IP_ADDRESS.tag), "");
    EXPECT_EQ(Element(payload, write::BBMD_ADDRESS.tag), "80 08 31 30 2E 30 2E 30 2E 35");
    EXPECT_EQ(Element(payload, write::DEBUG.tag), "82 04 00 00 00 01");
    ASSERT_TRUE(outcome.wait && outcome.wait->shown);
    EXPECT_EQ(outcome.wait->maximum, 200) << "DHCP was on before: 20 s";
}

TEST(EditDialog, SwitchingDhcpOffFillsBlankAddressAndMask) {
    struct Case {
        std::optional<std::uint32_t> address, mask;
        std::uint32_t addressAfter, maskAfter;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, 0xC0A85C5Cu, 0xFFFFFF00u},  // 192.168.92.92/24
        {0u, 0u, 0xC0A85C5Cu, 0xFFFFFF00u},
        {0x0A010203u, std::nullopt, 0x0A010203u, 0xFF000000u},  // 10.1.2.3
        {0xAC100005u, 0u, 0xAC100005u, 0xFFFF0000u},            // 172.16.0.5
        {0xAC140005u, std::nullopt, 0xAC140005u, 0xFFFFFF00u},  // 172.20.0.5
        {0xC0A80105u, std::nullopt, 0xC0A80105u, 0xFFFFFF00u},  // 192.168.1.5
        {0x08080808u, std::nullopt, 0x08080808u, 0xFFFFFF00u},
        {0x0A010203u, 0xFFFFFFF0u, 0x0A010203u, 0xFFFFFFF0u},  // a mask filled in stays
    };
    DeviceRecord record = Device();
    record.dhcp = 1;
    FakeDevices host;
    StoreReplyOf(host, record);
    RunEditDialog(record, host.devices, [&](CDialogEdit& d, EditOutcome&) {
        for (const Case& c : cases) {
            SetAddress(d, IDC_ADDRESS, c.address);
            SetAddress(d, IDC_SUBNET_MASK, c.mask);
            Click(d, IDC_DHCP);
            EXPECT_EQ(Address(d, IDC_ADDRESS), c.addressAfter);
            EXPECT_EQ(Address(d, IDC_SUBNET_MASK), c.maskAfter);
            for (const int id : {IDC_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY, IDC_DNS})
                EXPECT_TRUE(d.Window().Control(id)->isEnabled());
            Click(d, IDC_DHCP);
            for (const int id : {IDC_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY, IDC_DNS})
                EXPECT_FALSE(d.Window().Control(id)->isEnabled());
            EXPECT_EQ(Address(d, IDC_SUBNET_MASK), c.maskAfter) << "switching DHCP on keeps the contents";
        }
        // A partly filled address counts as missing.
        auto* address = d.Window().ControlAs<QtIpAddressCtrl>(IDC_ADDRESS);
        address->ClearAddress();
        address->Field(0)->setText(QStringLiteral("10"));
        Click(d, IDC_DHCP);
        EXPECT_EQ(Address(d, IDC_ADDRESS), 0xC0A85C5Cu);
    });
    EXPECT_TRUE(host.network.calls.empty());
}

TEST(EditDialog, FailingNumbersAreCorrectedInPlaceAndOnlyASoundPressWrites) {
    DeviceRecord record = Device();
    FakeDevices host;
    StoreReplyOf(host, record);
    const EditOutcome outcome = RunEditDialog(record, host.devices, [&](CDialogEdit& d, EditOutcome& o) {
        struct Press {
            int id;
            const char* typed;
            const char* shown;
        };
        const Press presses[] = {
            {IDC_PLA, "300", "254"},
            {IDC_ELA, "", "254"},
            {IDC_ELA, "x1", "254"},
            {IDC_PORT, "abc", "47808"},
            {IDC_PORT, "65536", "47808"},
            {IDC_DEVICE_ID, "12a", "[factory default]"},
            {IDC_DEVICE_ID, "4194304", "[factory default]"},
            {IDC_DEVICE_ID, "-2", "[factory default]"},
        };
        for (const Press& p : presses) {
            Type(d, p.id, QString::fromLatin1(p.typed));
            Click(d, IDOK);
            EXPECT_EQ(Text(d, p.id), QString::fromLatin1(p.shown)) << p.id << " " << p.typed;
            EXPECT_TRUE(d.Window().isVisible());
        }
        // One failing field: the others are shown normalised, and -1 as the factory default.
        Type(d, IDC_ELA, QStringLiteral("007"));
        Type(d, IDC_DEVICE_ID, QStringLiteral("-1"));
        Type(d, IDC_PLA, QStringLiteral("2x"));
        Click(d, IDOK);
        EXPECT_EQ(Text(d, IDC_ELA), QStringLiteral("7"));
        EXPECT_EQ(Text(d, IDC_PLA), QStringLiteral("254"));
        EXPECT_EQ(Text(d, IDC_DEVICE_ID), QStringLiteral("[factory default]"));
        EXPECT_TRUE(host.network.calls.empty()) << "no failing press sends anything";
        SaveAndCancelWait(d, o);
    });
    EXPECT_TRUE(outcome.saved);
    const Bytes payload = FirstPayload(host);
    EXPECT_EQ(Element(payload, write::STATION.tag), "69 02 FE 07");
    EXPECT_EQ(Element(payload, write::BACNET_PORT.tag), "7F 02 C0 BA");
    EXPECT_EQ(Element(payload, write::DEVICE_ID.tag), "7C 04 FF FF FF FF");
}

TEST(EditDialog, EdgeValuesThatPass) {
    struct Case {
        int id;
        const char* typed;
        int tag;
        const char* element;
    };
    const Case cases[] = {
        {IDC_DEVICE_ID, "-", 0x7C, "7C 04 00 00 00 00"},
        {IDC_DEVICE_ID, "4194303", 0x7C, "7C 04 FF FF FF FF"},
        {IDC_DEVICE_ID, "5-3", 0x7C, "7C 04 05 00 00 00"},
        {IDC_PORT, "0", 0x7F, ""},
    };
    for (const Case& c : cases) {
        DeviceRecord record = Device();
        FakeDevices host;
        StoreReplyOf(host, record);
        const EditOutcome outcome = RunEditDialog(record, host.devices, [&](CDialogEdit& d, EditOutcome& o) {
            Type(d, c.id, QString::fromLatin1(c.typed));
            SaveAndCancelWait(d, o);
        });
        EXPECT_TRUE(outcome.saved) << c.typed;
        EXPECT_EQ(Element(FirstPayload(host), c.tag), c.element) << c.typed;
    }
}

TEST(EditDialog, ATooLongDeviceTextIsShownWholeAndBlocksSaveWithOurMessage) {
    DeviceRecord record = Device();
    record.deviceName = std::string(40, 'N');
    FakeDevices host;
    StoreReplyOf(host, record);
    const EditOutcome outcome = RunEditDialog(record, host.devices, [&](CDialogEdit& d, EditOutcome& o) {
        EXPECT_EQ(Text(d, IDC_NAME), QString(40, QLatin1Char('N')));
        EXPECT_EQ(SaveExpectingMessage(d).toStdString(), DataExchange::TooLongMessage(32));
        EXPECT_EQ(d.Window().focusWidget(), d.Window().Control(IDC_NAME));
        EXPECT_TRUE(
            QTest::qWaitFor([&d] { return QApplication::focusWidget() == d.Window().Control(IDC_NAME); }, 2000));
        EXPECT_TRUE(d.Window().isVisible());

        // The check boxes still take effect although their exchange stops at the name.
        auto message = CallOnNextModal([](QWidget* modal) { CloseModal(modal); });
        Click(d, IDC_DHCP);
        EXPECT_EQ(message->text.toStdString(), DataExchange::TooLongMessage(32));
        EXPECT_FALSE(d.Window().Control(IDC_ADDRESS)->isEnabled());
        message = CallOnNextModal([](QWidget* modal) { CloseModal(modal); });
        Click(d, IDC_FOREIGN_DEVICE);
        EXPECT_TRUE(message->fired);
        EXPECT_TRUE(d.Window().Control(IDC_BBMD_ADDRESS)->isEnabled()) << "the edit follows its check box";
        EXPECT_TRUE(host.network.calls.empty());

        Type(d, IDC_NAME, QStringLiteral("AHU#2"));
        SaveAndCancelWait(d, o);
    });
    EXPECT_TRUE(outcome.saved);
    EXPECT_EQ(Element(FirstPayload(host), write::DEVICE_NAME.tag), "7E 05 41 48 55 5F 32");
    ASSERT_TRUE(outcome.wait && outcome.wait->shown);
    EXPECT_EQ(outcome.wait->maximum, 350) << "fixed address to DHCP: 35 s";
}

// The order of the write's sends and flushes is the device set's (tests/devices); here, what it sends.
TEST(EditDialog, SaveWritesTheEdits) {
    DeviceRecord record = Device();
    FakeDevices host;
    StoreReplyOf(host, record);
    const EditOutcome outcome = RunEditDialog(record, host.devices, [](CDialogEdit& d, EditOutcome& o) {
        Type(d, IDC_NAME, QStringLiteral("AHU-2"));
        SetAddress(d, IDC_ADDRESS, 0xC0A85C32u);
        SetAddress(d, IDC_DNS, std::nullopt);
        Type(d, IDC_PLA, QStringLiteral("12"));
        Type(d, IDC_ELA, QStringLiteral("34"));
        SaveAndCancelWait(d, o);
    });
    EXPECT_TRUE(outcome.saved) << "a cancelled wait still counts as saved";
    const auto sends = host.network.Sends();
    ASSERT_EQ(sends.size(), 4u) << "two to the address, two by broadcast";
    EXPECT_EQ(sends[0].address, Ipv4Host{DEVICE_ADDRESS}) << "to the address the device had when it was listed";
    const Bytes& payload = sends[0].payload;
    EXPECT_EQ(Element(payload, write::MAC.tag), "01 06 02 00 00 00 00 1A");
    EXPECT_EQ(Element(payload, write::IP_ADDRESS.tag), "60 04 C0 A8 5C 32");
    EXPECT_EQ(Element(payload, write::DNS.tag), "");
    EXPECT_EQ(Element(payload, write::DEVICE_NAME.tag), "7E 05 41 48 55 2D 32");
    EXPECT_EQ(Element(payload, write::STATION.tag), "69 02 0C 22");
    EXPECT_EQ(Element(payload, write::DHCP.tag), "6A 01 00");
    EXPECT_EQ(Element(payload, write::LOCATION.tag), "81 0A 50 6C 61 6E 74 20 72 6F 6F 6D");
    ASSERT_TRUE(outcome.wait && outcome.wait->shown);
    EXPECT_EQ(outcome.wait->maximum, 200);
}

TEST(EditDialog, NullArgumentsShowNothing) {
    DeviceRecord record = Device();
    FakeDevices host;
    StoreReplyOf(host, record);
    CDialogEdit first;
    EXPECT_FALSE(first.EditDevice(nullptr, &host.devices));
    CDialogEdit second;
    EXPECT_FALSE(second.EditDevice(&record, nullptr));
    EXPECT_FALSE(first.Window().isVisible() || second.Window().isVisible());
}

}  // namespace
}  // namespace pelmora
