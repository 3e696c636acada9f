#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "protocol/DeviceRecord.h"
#include "protocol/DeviceStore.h"
#include "protocol/WireFormat.h"

namespace pelmora {
namespace {

using Value = std::vector<std::uint8_t>;

const Value MAC = {0x00, 0x50, 0xC2, 0xAB, 0x12, 0x34};

struct ListBuilder {
    ElementList list;
    ListBuilder& Add(std::uint8_t tag, const Value& value) {
        AppendElement(list, tag, value.data(), value.size());
        return *this;
    }
    ListBuilder& Text(std::uint8_t tag, const std::string& text) {
        AppendElement(list, tag, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        return *this;
    }
};

DeviceRecord Parse(const ElementList& list) {
    DeviceRecord r;
    ParseDeviceRecord(r, list);
    return r;
}

void ExpectSameRecord(const DeviceRecord& a, const DeviceRecord& b) {
    EXPECT_EQ(0, std::memcmp(a.mac, b.mac, 6));
    EXPECT_EQ(0, std::memcmp(&a.tag3Real, &b.tag3Real, sizeof a.tag3Real));
    EXPECT_EQ(0, std::memcmp(a.ipAddress, b.ipAddress, 4));
    EXPECT_EQ(0, std::memcmp(a.subnetMask, b.subnetMask, 4));
    EXPECT_EQ(0, std::memcmp(a.gateway, b.gateway, 4));
    EXPECT_EQ(0, std::memcmp(a.dnsServers, b.dnsServers, 8));
    EXPECT_EQ(a.dhcp, b.dhcp);
    EXPECT_EQ(a.pla, b.pla);
    EXPECT_EQ(a.ela, b.ela);
    EXPECT_EQ(a.tag6Word, b.tag6Word);
    EXPECT_EQ(a.tag35Word, b.tag35Word);
    EXPECT_EQ(a.tag5Number, b.tag5Number);
    EXPECT_EQ(a.featureFlags, b.featureFlags);
    EXPECT_EQ(a.tag102Text, b.tag102Text);
    EXPECT_EQ(a.description, b.description);
    EXPECT_EQ(a.deviceId, b.deviceId);
    EXPECT_EQ(a.bacnetPort, b.bacnetPort);
    EXPECT_EQ(a.deviceName, b.deviceName);
    EXPECT_EQ(a.location, b.location);
    EXPECT_EQ(a.bbmdAddress, b.bbmdAddress);
    EXPECT_EQ(a.debugFlags, b.debugFlags);
    EXPECT_EQ(a.revision, b.revision);
}

TEST(ParseDeviceRecord, DecodesEveryReplyTag) {
    ListBuilder b;
    b.Add(reply::MAC.tag, MAC)
        .Add(reply::REAL_3.tag, {0x00, 0x00, 0xC0, 0x3F})  // 1.5f
        .Add(reply::NUMBER_5.tag, {0x01, 0x02, 0x03, 0x04})
        .Add(reply::WORD_6.tag, {0x34, 0x12})
        .Add(reply::REVISION.tag, {0x01, 0x02, 0x03, 0x04})
        .Add(reply::WORD_35.tag, {0x78, 0x56})
        .Add(reply::FEATURES.tag, {0x00, 0x00, 0x00, 0x10})
        .Add(reply::IP_ADDRESS.tag, {192, 168, 1, 20})
        .Add(reply::SUBNET_MASK.tag, {255, 255, 255, 0})
        .Add(reply::GATEWAY.tag, {192, 168, 1, 1})
        .Add(reply::DNS_FIRST.tag, {8, 8, 4, 4})
        .Add(reply::DNS_SECOND.tag, {1, 0, 0, 1})
        .Text(reply::TEXT_102.tag, "one-o-two")
        .Text(reply::DESCRIPTION.tag, "Boiler room gateway")
        .Add(reply::STATION.tag, {7, 9})
        .Add(reply::DHCP.tag, {0x80})
        .Add(reply::DEVICE_ID.tag, {0xD2, 0x04, 0x00, 0x00})
        .Text(reply::DEVICE_NAME.tag, "GW-$")
        .Add(reply::BACNET_PORT.tag, {0xC0, 0xBA})
        .Text(reply::BBMD_ADDRESS.tag, "10.1.2.3")
        .Text(reply::LOCATION.tag, "Hall 3")
        .Add(reply::DEBUG_FLAGS.tag, {0x00, 0x00, 0x00, 0x01})
        .Add(2, {0xFF, 0xFF, 0xFF})  // unknown tags are stepped over
        .Add(255, {});
    const DeviceRecord r = Parse(b.list);
    EXPECT_EQ(Value(r.mac, r.mac + 6), MAC);
    EXPECT_FLOAT_EQ(r.tag3Real, 1.5f);
    EXPECT_EQ(r.tag5Number, 0x01020304u);
    EXPECT_EQ(r.tag6Word, 0x1234);
    EXPECT_EQ(r.revision, 0x01020304u);
    EXPECT_EQ(r.tag35Word, 0x5678);
    EXPECT_EQ(r.featureFlags, FEATURE_BACNET);
    EXPECT_EQ(Value(r.ipAddress, r.ipAddress + 4), (Value{192, 168, 1, 20}));
    EXPECT_EQ(Value(r.subnetMask, r.subnetMask + 4), (Value{255, 255, 255, 0}));
    EXPECT_EQ(Value(r.gateway, r.gateway + 4), (Value{192, 168, 1, 1}));
    EXPECT_EQ(Value(r.dnsServers, r.dnsServers + 8), (Value{8, 1, 8, 0, 4, 0, 4, 1}));
    EXPECT_EQ(r.tag102Text, "one-o-two");
    EXPECT_EQ(r.description, "Boiler room gateway");
    EXPECT_EQ(r.pla, 7);
    EXPECT_EQ(r.ela, 9);
    EXPECT_EQ(r.dhcp, 1);
    EXPECT_EQ(r.deviceId, 1234);
    EXPECT_EQ(r.deviceName, "GW-$");
    EXPECT_EQ(r.bacnetPort, 47808);
    EXPECT_EQ(r.bbmdAddress, "10.1.2.3");
    EXPECT_EQ(r.location, "Hall 3");
    EXPECT_EQ(r.debugFlags, 1u);
}

TEST(ParseDeviceRecord, MalformedOrEmptyListLeavesRecordAlone) {
    DeviceRecord before;
    ParseDeviceRecord(
        before, ListBuilder().Add(reply::IP_ADDRESS.tag, {10, 0, 0, 5}).Text(reply::DEVICE_NAME.tag, "kept").list);
    DeviceRecord r = before;
    ElementList cut =
        ListBuilder().Add(reply::IP_ADDRESS.tag, {10, 9, 9, 9}).Add(reply::DEVICE_NAME.tag, {'x', 'y'}).list;
    cut.pop_back();
    ParseDeviceRecord(r, cut);
    ExpectSameRecord(r, before);

    DeviceRecord fresh;
    ParseDeviceRecord(fresh, ElementList{});
    ExpectSameRecord(fresh, DeviceRecord{});
}

TEST(ParseDeviceRecord, RepeatedTagsLastOneWins) {
    const DeviceRecord r = Parse(ListBuilder()
                                     .Add(reply::IP_ADDRESS.tag, {10, 0, 0, 1})
                                     .Add(reply::IP_ADDRESS.tag, {10, 0, 0, 2})
                                     .Add(reply::DNS_FIRST.tag, {1, 1, 1, 1})
                                     .Add(reply::DNS_FIRST.tag, {2, 2, 2, 2})
                                     .Add(reply::DEBUG_FLAGS.tag, {0, 0, 0, 1})
                                     .Add(reply::DEBUG_FLAGS.tag, {0, 0, 1})
                                     .Add(reply::DHCP.tag, {1})
                                     .Add(reply::DHCP.tag, {0})
                                     .list);
    EXPECT_EQ(Value(r.ipAddress, r.ipAddress + 4), (Value{10, 0, 0, 2}));
    EXPECT_EQ(Value(r.dnsServers, r.dnsServers + 8), (Value{2, 0, 2, 0, 2, 0, 2, 0}));
    EXPECT_EQ(r.debugFlags, 0u);  // any length but 4 clears it
    EXPECT_EQ(r.dhcp, 0);
}

TEST(ParseDeviceRecord, NumbersOfVariableWidth) {
    const struct {
        Value value;
        std::uint32_t expected;
    } cases[] = {
        {{0x00, 0x10}, 0x10},
        {{0x00, 0x00, 0x00, 0x10}, 0x10},
        {{0x00, 0x10, 0xFF}, 0x10},
        {{0x12, 0x34, 0x56, 0x78, 0x9A}, 0x1234},
    };
    for (const auto& c : cases) {
        const DeviceRecord r =
            Parse(ListBuilder().Add(reply::FEATURES.tag, c.value).Add(reply::NUMBER_5.tag, c.value).list);
        EXPECT_EQ(r.featureFlags, c.expected) << c.value.size();
        EXPECT_EQ(r.tag5Number, c.expected) << c.value.size();
    }
}

TEST(ParseDeviceRecord, ShortFixedWidthElementsAreSkipped) {
    DeviceRecord r;
    ParseDeviceRecord(r, ListBuilder()
                             .Add(reply::IP_ADDRESS.tag, {10, 0, 0, 7})
                             .Add(reply::DEVICE_ID.tag, {0x05, 0, 0, 0})
                             .Add(reply::FEATURES.tag, {0x00, 0x10})
                             .Add(reply::BACNET_PORT.tag, {0x10, 0x00})
                             .Add(reply::STATION.tag, {3, 4})
                             .Add(reply::DHCP.tag, {1})
                             .list);
    const DeviceRecord before = r;
    // Each short element is followed by bytes that would change the field if they were read.
    ParseDeviceRecord(r, ListBuilder()
                             .Add(reply::IP_ADDRESS.tag, {99, 99})
                             .Add(99, {99, 99})
                             .Add(reply::DEVICE_ID.tag, {0xFF, 0xFF, 0xFF})
                             .Add(99, {0xFF})
                             .Add(reply::FEATURES.tag, {0xFF})
                             .Add(99, {0xFF})
                             .Add(reply::BACNET_PORT.tag, {0xFF})
                             .Add(reply::STATION.tag, {0xFF})
                             .Add(reply::DHCP.tag, {})
                             .Add(reply::REAL_3.tag, {1, 2, 3})
                             .Add(reply::REVISION.tag, {})
                             .Add(reply::MAC.tag, {9, 9, 9, 9, 9})
                             .list);
    ExpectSameRecord(r, before);
}

TEST(ParseDeviceRecord, MacIsTheOneTheReplyIsFiledUnder) {
    const DeviceRecord r = Parse(ListBuilder()
                                     .Add(reply::MAC.tag, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA})
                                     .Add(reply::MAC.tag, MAC)
                                     .Add(reply::MAC.tag, {0xBB, 0xBB, 0xBB, 0xBB, 0xBB, 0xBB, 0xBB, 0xBB})
                                     .list);
    EXPECT_EQ(Value(r.mac, r.mac + 6), MAC);
}

TEST(ParseDeviceRecord, TextsStayUnicode) {
    std::string longName;
    for (int i = 0; i < 100; ++i) longName += static_cast<char>('A' + i % 26);
    std::string mixed;
    for (int i = 0; i < 40; ++i) mixed += "K\xC3\xB6";  // 120 bytes, 80 characters
    const DeviceRecord r = Parse(ListBuilder()
                                     .Text(reply::DEVICE_NAME.tag, longName)
                                     .Text(reply::LOCATION.tag, mixed)
                                     .Text(reply::DESCRIPTION.tag, std::string("Pump\0room", 9))
                                     .Text(reply::BBMD_ADDRESS.tag,
                                           "\xFF"
                                           "10.0.0.1")
                                     .list);
    EXPECT_EQ(r.deviceName, longName.substr(0, 63));
    EXPECT_EQ(r.location, mixed.substr(0, 31 * 3 + 1));  // 31 pairs and one more K: 63 characters
    EXPECT_EQ(r.description, "Pump");
    EXPECT_EQ(r.bbmdAddress,
              "\xEF\xBF\xBD"
              "10.0.0.1");
}

TEST(DeviceStore, HoldsAtMost256Records) {
    auto store = std::make_unique<DeviceStore>();
    EXPECT_EQ(store->RecordAt(0), nullptr);
    for (std::size_t i = 0; i < DeviceStore::CAPACITY; ++i) {
        DeviceRecord* r = store->NewRecord();
        ASSERT_NE(r, nullptr);
        r->deviceId = static_cast<std::int32_t>(i);
        r->deviceName = "old";
    }
    EXPECT_EQ(store->NewRecord(), nullptr);
    EXPECT_EQ(store->Count(), 256u);
    EXPECT_EQ(store->RecordAt(255)->deviceId, 255);
    EXPECT_EQ(store->RecordAt(256), nullptr);
    EXPECT_EQ(store->RecordAt(-1), nullptr);

    store->ResetRecords();
    EXPECT_EQ(store->RecordAt(0), nullptr);
    DeviceRecord* first = store->NewRecord();
    ASSERT_NE(first, nullptr);
    ExpectSameRecord(*first, DeviceRecord{});
    const DeviceStore& view = *store;
    EXPECT_EQ(view.RecordAt(0), first);
    EXPECT_EQ(view.RecordAt(1), nullptr);
}

}  // namespace
}  // namespace pelmora
