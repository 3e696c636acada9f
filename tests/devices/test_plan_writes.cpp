// A plan's writes overlapping on the fake clock, and the rule that tells whether a write took.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "devices/Verification.h"
#include "devices/WriteSchedule.h"
#include "protocol/SendTwice.h"
#include "protocol/WireFormat.h"
#include "tests/support/FakeDeviceNetwork.h"

namespace pelmora {
namespace {

using test::FakeDeviceNetwork;
using test::NetworkCall;
using namespace std::chrono_literals;

TEST(WriteSchedule, EachDeviceGetsTheSingleWriteAtMostEightAtOnce) {
    FakeDeviceNetwork network;
    ReplyStore replies = test::ManyDevices(20);
    std::vector<DeviceSettings> writes;
    for (const auto& [key, list] : replies) {
        DeviceRecord record;
        ParseDeviceRecord(record, list);
        if ((record.featureFlags & FEATURE_BACNET) == 0) continue;
        DeviceSettings settings = SettingsFromRecord(record);
        settings.location = "Plant#2";
        writes.push_back(settings);
    }
    ASSERT_EQ(writes.size(), 10u);
    WriteSchedule schedule(network, replies, writes);
    schedule.Run();
    EXPECT_EQ(schedule.Finished(), 10u);
    EXPECT_EQ(schedule.Written().front().location, "Plant_2") << "as the write changed it";

    // One device alone, as the edit dialog writes it.
    FakeDeviceNetwork alone;
    ReplyStore aloneReplies = test::ManyDevices(20);
    DeviceSettings first = writes.front();
    ConfigFields fields = FieldsForWrite(first);
    WriteConfiguration(alone, aloneReplies, first.mac, first.currentAddress, fields);
    // Each send as broadcast or not, and its time from the device's first.
    const auto shape = [](const std::vector<NetworkCall>& sends) {
        std::vector<std::pair<bool, Clock::Duration>> offsets;
        for (const NetworkCall& call : sends)
            offsets.emplace_back(call.address == BROADCAST_ADDRESS, call.at - sends.front().at);
        return offsets;
    };
    const auto single = shape(alone.Sends());
    ASSERT_EQ(single.size(), 4u);

    std::map<std::vector<std::uint8_t>, std::vector<NetworkCall>> byPayload;
    for (const NetworkCall& call : network.Sends()) byPayload[call.payload].push_back(call);
    ASSERT_EQ(byPayload.size(), 10u) << "one payload per device, the same for its four datagrams";
    std::vector<std::pair<Clock::TimePoint, Clock::TimePoint>> spans;
    for (const auto& [payload, sends] : byPayload) {
        EXPECT_EQ(shape(sends), single) << "the same destinations and pauses as the single write";
        spans.emplace_back(sends.front().at, sends.back().at);
    }
    EXPECT_EQ(byPayload.begin()->second.front().payload.size(), alone.Sends()[0].payload.size());
    for (const auto& span : spans) {
        const auto overlapping = std::count_if(spans.begin(), spans.end(), [&span](const auto& other) {
            return other.first <= span.first && span.first <= other.second;
        });
        EXPECT_LE(overlapping, 8);
    }
    std::set<std::pair<std::uint32_t, Clock::TimePoint>> flushed;
    for (const NetworkCall& call : network.calls) {
        if (call.kind != NetworkCall::Kind::Flush) continue;
        EXPECT_TRUE(flushed.emplace(call.address.value, call.at).second)
            << ToText(call.address) << " flushed twice at one moment";
    }
    EXPECT_EQ(flushed.count({BROADCAST_ADDRESS.value, network.Sends()[0].at + REPEAT_PAUSE}), 1u);
    // Eight, then two: two single writes' time.
    const Clock::Duration one = 2 * (REPEAT_PAUSE + AFTER_FLUSH_PAUSE) + BETWEEN_DESTINATIONS_PAUSE;
    EXPECT_EQ(network.clock.Now() - network.Sends()[0].at, 2 * one);
}

DeviceRecord Seen(const DeviceSettings& settings) {
    DeviceRecord record;
    const auto put = [](std::uint8_t(&octets)[4], const std::optional<Ipv4Host>& address) {
        const Ipv4Octets o = ToOctets(address.value_or(ANY_ADDRESS));
        std::copy(o.bytes.begin(), o.bytes.end(), octets);
    };
    std::copy(settings.mac.begin(), settings.mac.end(), record.mac);
    put(record.ipAddress, settings.address);
    put(record.subnetMask, settings.subnetMask);
    put(record.gateway, settings.gateway);
    const Ipv4Octets dns = ToOctets(settings.dns.value_or(ANY_ADDRESS));
    for (std::size_t k = 0; k < 4; ++k) record.dnsServers[2 * k] = dns.bytes[k];
    record.dhcp = settings.dhcp ? 1 : 0;
    record.featureFlags = FEATURE_BACNET;
    record.deviceId = settings.deviceId;
    record.deviceName = settings.name;
    record.location = settings.location;
    record.description = settings.description;
    record.bbmdAddress = settings.foreignDevice ? settings.bbmdAddress : "";
    record.bacnetPort = settings.port;
    record.pla = settings.pla;
    record.ela = settings.ela;
    record.debugFlags = settings.debug ? 1 : 0;
    return record;
}

TEST(DifferingSettings, ComparesWhatTheWriteCarried) {
    DeviceSettings written;
    written.mac = {2, 0, 0, 0, 0, 1};
    written.address = Ipv4Host{0xC0A85C15u};
    written.subnetMask = Ipv4Host{0xFFFFFF00u};
    written.gateway = Ipv4Host{0xC0A85C01u};
    written.dns = std::nullopt;
    written.deviceId = 4101;
    written.name = "AHU-1";
    const struct {
        const char* what;
        std::function<void(DeviceSettings&)> write;
        std::function<void(DeviceRecord&)> seen;
        std::vector<Setting> expected;
    } cases[] = {
        {"seen as written", {}, {}, {}},
        {"the device ID and location kept",
         {},
         [](DeviceRecord& r) { r.deviceId = 4200, r.location = "Old"; },
         {Setting::DeviceId, Setting::Location}},
        {"with DHCP on, any address",
         [](DeviceSettings& s) { s.dhcp = true; },
         [](DeviceRecord& r) { r.ipAddress[3] = 77, r.subnetMask[0] = 0; },
         {}},
        {"the address not taken", {}, [](DeviceRecord& r) { r.ipAddress[3] = 92; }, {Setting::IpAddress}},
        {"a blank DNS is not sent", {}, [](DeviceRecord& r) { r.dnsServers[0] = 8; }, {}},
        {"station 0:0 and port 0 are not sent",
         [](DeviceSettings& s) { s.pla = s.ela = 0, s.port = 0; },
         [](DeviceRecord& r) { r.pla = 5, r.ela = 6, r.bacnetPort = 47808; },
         {}},
        {"4194303 goes out as the factory default",
         [](DeviceSettings& s) { s.deviceId = DEVICE_ID_LIMIT; },
         [](DeviceRecord& r) { r.deviceId = -1; },
         {}},
        {"a BBMD kept while not foreign is not sent", [](DeviceSettings& s) { s.bbmdAddress = "10.0.0.1"; }, {}, {}},
        {"a long name comes back cut to 63 characters",
         [](DeviceSettings& s) { s.name = std::string(70, 'n'); },
         [](DeviceRecord& r) { r.deviceName = std::string(63, 'n'); },
         {}},
    };
    for (const auto& c : cases) {
        DeviceSettings settings = written;
        if (c.write) c.write(settings);
        DeviceRecord seen = Seen(settings);
        if (c.seen) c.seen(seen);
        EXPECT_EQ(DifferingSettings(settings, seen), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace pelmora
