// A device's settings as the edit dialog opens with them, written through the device set: a record read
// into settings must come out of the write as the device reported it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "devices/DeviceSet.h"
#include "devices/DeviceSettings.h"
#include "protocol/WireFormat.h"
#include "tests/support/FakeDevices.h"
#include "tests/support/WritePayload.h"

namespace pelmora {
namespace {

using test::Element;
using test::FakeDevices;
using test::Hex;

// The worked example's device: 192.168.1.20/24 via 192.168.1.1, DNS servers 192.168.1.2 and 8.8.4.4.
DeviceRecord Record() {
    DeviceRecord r;
    const std::uint8_t mac[6] = {0x02, 0x00, 0x00, 0x00, 0x00, 0x01};
    const std::uint8_t ip[4] = {192, 168, 1, 20}, mask[4] = {255, 255, 255, 0}, gateway[4] = {192, 168, 1, 1};
    const std::uint8_t dns[8] = {192, 8, 168, 8, 1, 4, 2, 4};  // interleaved
    std::copy(mac, mac + 6, r.mac);
    std::copy(ip, ip + 4, r.ipAddress);
    std::copy(mask, mask + 4, r.subnetMask);
    std::copy(gateway, gateway + 4, r.gateway);
    std::copy(dns, dns + 8, r.dnsServers);
    r.featureFlags = FEATURE_BACNET;
    r.deviceId = 1234;
    r.deviceName = "AHU1";
    r.pla = 254;
    r.ela = 254;
    r.bacnetPort = 47808;
    return r;
}

// What one save of the record's settings sends, after the change; the store holds the device's reply.
std::vector<std::uint8_t> WrittenPayload(const std::function<void(DeviceRecord&)>& change = {}) {
    DeviceRecord record = Record();
    if (change) change(record);
    FakeDevices set;
    ElementList reply;
    AppendElement(reply, reply::MAC.tag, record.mac, 6);
    set.devices.Replies()[MacKey(record.mac)] = reply;
    DeviceSettings settings = SettingsFromRecord(record);
    set.devices.Write(settings);
    const auto sends = set.network.Sends();
    EXPECT_EQ(sends.size(), 4u);
    if (sends.empty()) return {};
    EXPECT_EQ(sends[0].address, Ipv4Host{0xC0A80114u}) << "first to the address the device answers at";
    return sends[0].payload;
}

TEST(DeviceSettings, ARecordSavedUnchangedIsWrittenAsItWasRead) {
    EXPECT_EQ(Hex(WrittenPayload()),
              "00 04 01 06 02 00 00 00 00 01 60 04 C0 A8 01 14 61 04 FF FF FF 00 62 04 C0 A8 01 01 64 04 C0 A8 01 02 "
              "66 04 41 48 55 31 67 00 69 02 FE FE 6A 01 00 7C 04 D2 04 00 00 7E 04 41 48 55 31 7F 02 C0 BA 80 00 "
              "81 00 82 04 00 00 00 00");
}

TEST(DeviceSettings, RecordFieldsAsTheWriteSendsThem) {
    struct Case {
        const char* what;
        std::function<void(DeviceRecord&)> change;
        ElementSpec kind;
        const char* element;
    };
    const Case cases[] = {
        {"DHCP on", [](DeviceRecord& r) { r.dhcp = 1; }, write::DHCP, "6A 01 01"},
        {"a BBMD address is a foreign device's", [](DeviceRecord& r) { r.bbmdAddress = "10.0.0.5"; },
         write::BBMD_ADDRESS, "80 08 31 30 2E 30 2E 30 2E 35"},
        {"debug is bit 0 alone", [](DeviceRecord& r) { r.debugFlags = 0xFFFFFFFEu; }, write::DEBUG,
         "82 04 00 00 00 00"},
        {"debug on", [](DeviceRecord& r) { r.debugFlags = 3; }, write::DEBUG, "82 04 00 00 00 01"},
        {"the highest port", [](DeviceRecord& r) { r.bacnetPort = 65535; }, write::BACNET_PORT, "7F 02 FF FF"},
        {"station", [](DeviceRecord& r) { r.pla = 0, r.ela = 7; }, write::STATION, "69 02 00 07"},
    };
    for (const Case& c : cases) EXPECT_EQ(Element(WrittenPayload(c.change), c.kind.tag), c.element) << c.what;
}

}  // namespace
}  // namespace pelmora
