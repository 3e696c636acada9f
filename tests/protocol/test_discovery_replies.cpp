// Reply handling and the rebuild of the device table, without a network: datagrams are sealed here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "protocol/DiscoveryScan.h"
#include "protocol/MacAddress.h"
#include "protocol/PacketEnvelope.h"
#include "protocol/WireFormat.h"

namespace pelmora {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t TAG_IP = 64;
constexpr std::uint8_t TAG_NAME = 126;

Bytes Seal(Bytes payload) {
    std::uint8_t header[HEADER_CAPACITY];
    BufferPart parts[2] = {{HEADER_CAPACITY, header}, {static_cast<std::uint32_t>(payload.size()), payload.data()}};
    EXPECT_TRUE(SealPacket(parts));
    Bytes datagram(header, header + parts[0].length);
    datagram.insert(datagram.end(), payload.begin(), payload.end());
    return datagram;
}

ElementList DeviceList(std::uint32_t number, const std::string& name = "UNIT") {
    ElementList list;
    const std::uint8_t mac[6] = {0x02,
                                 0x00,
                                 0x00,
                                 static_cast<std::uint8_t>(number >> 16),
                                 static_cast<std::uint8_t>(number >> 8),
                                 static_cast<std::uint8_t>(number)};
    AppendTextElement(list, TAG_NAME, name);
    AppendElement(list, reply::MAC.tag, mac, sizeof mac);
    const std::uint8_t ip[4] = {192, 168, 92, static_cast<std::uint8_t>(number)};
    AppendElement(list, TAG_IP, ip, sizeof ip);
    return list;
}

Bytes ReplyPayload(const ElementList& list) {
    Bytes payload(2 + list.size());
    payload[1] = CMD_DISCOVERY_REPLY;
    std::copy(list.begin(), list.end(), payload.begin() + 2);
    return payload;
}

bool Accept(Bytes datagram, ReplyStore& replies) { return AcceptReply(datagram.data(), datagram.size(), replies); }

TEST(AcceptReply, StoresTheElementListUnderItsMacKey) {
    ReplyStore replies;
    const ElementList list = DeviceList(7);
    ASSERT_TRUE(Accept(Seal(ReplyPayload(list)), replies));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies.begin()->first, "020000000007");
    EXPECT_EQ(replies.begin()->second, list);

    // A reply long enough for the long header form is accepted the same way.
    const ElementList longList = DeviceList(8, std::string(250, 'L'));
    ASSERT_TRUE(Accept(Seal(ReplyPayload(longList)), replies));
    EXPECT_EQ(replies.at("020000000008"), longList);
}

TEST(AcceptReply, ALaterReplyOfTheSameDeviceReplacesTheEarlierOne) {
    ReplyStore replies;
    ASSERT_TRUE(Accept(Seal(ReplyPayload(DeviceList(1, "OLD"))), replies));
    ASSERT_TRUE(Accept(Seal(ReplyPayload(DeviceList(2))), replies));
    ASSERT_TRUE(Accept(Seal(ReplyPayload(DeviceList(1, "NEW"))), replies));
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies.at("020000000001"), DeviceList(1, "NEW"));
}

TEST(AcceptReply, DropsEveryDatagramThatFailsACheckAndKeepsWhatWasStored) {
    const ElementList good = DeviceList(1);
    ElementList cut = good;
    cut.pop_back();
    ElementList shortMac;
    const std::uint8_t five[5] = {2, 0, 0, 0, 1};
    AppendElement(shortMac, reply::MAC.tag, five, sizeof five);
    ElementList longMac;
    const std::uint8_t seven[7] = {2, 0, 0, 0, 0, 1, 9};
    AppendElement(longMac, reply::MAC.tag, seven, sizeof seven);
    ElementList noMac;
    AppendTextElement(noMac, TAG_NAME, "NO MAC");

    Bytes corrupted = Seal(ReplyPayload(good));
    corrupted[corrupted.size() / 2] ^= 0x40;
    Bytes truncated = Seal(ReplyPayload(good));
    truncated.pop_back();
    Bytes wrongLead = ReplyPayload(good);
    wrongLead[0] = 0x01;
    Bytes writeCommand = ReplyPayload(good);
    writeCommand[1] = CMD_CONFIG_WRITE;

    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"packet check broken", corrupted},
        {"datagram cut short", truncated},
        {"shorter than a header", Bytes{1, 2, 3}},
        {"empty payload", Seal({})},
        {"payload exactly 00 03", Seal({0x00, CMD_DISCOVERY_REPLY})},
        {"own request 00 00", Seal({0x00, CMD_DISCOVERY_REQUEST})},
        {"first byte not 00", Seal(wrongLead)},
        {"not a discovery reply", Seal(writeCommand)},
        {"element list cut in its last element", Seal(ReplyPayload(cut))},
        {"MAC element of length 5", Seal(ReplyPayload(shortMac))},
        {"MAC element of length 7", Seal(ReplyPayload(longMac))},
        {"no MAC element", Seal(ReplyPayload(noMac))},
    };
    for (const auto& [what, datagram] : cases) {
        ReplyStore replies{{"020000000001", DeviceList(1, "KEPT")}};
        EXPECT_FALSE(Accept(datagram, replies)) << what;
        ASSERT_EQ(replies.size(), 1u) << what;
        EXPECT_EQ(replies.at("020000000001"), DeviceList(1, "KEPT")) << what;
    }
    ReplyStore untouched;
    EXPECT_FALSE(AcceptReply(nullptr, 10, untouched));
    EXPECT_TRUE(untouched.empty());
}

TEST(RebuildDeviceStore, OneRecordPerDeviceInMacOrderWhateverTheArrivalOrder) {
    ReplyStore replies;
    for (const std::uint32_t n : {0x0300u, 0x0001u, 0x020000u, 0x0002u})
        ASSERT_TRUE(Accept(Seal(ReplyPayload(DeviceList(n, "N" + std::to_string(n)))), replies));
    DeviceStore store;
    store.NewRecord();  // whatever the table held before is dropped
    RebuildDeviceStore(replies, store);
    ASSERT_EQ(store.Count(), 4u);
    const std::uint32_t expected[] = {0x0001u, 0x0002u, 0x0300u, 0x020000u};
    for (long i = 0; i < 4; ++i) {
        const DeviceRecord& r = *store.RecordAt(i);
        const std::uint32_t n = expected[i];
        EXPECT_EQ(MacKey(r.mac), MacKey(DeviceList(n))) << "row " << i;
        EXPECT_EQ(r.deviceName, "N" + std::to_string(n));
        EXPECT_EQ(r.ipAddress[3], static_cast<std::uint8_t>(n));
    }
}

TEST(RebuildDeviceStore, KeepsTheFirst256InKeyOrderAndSkipsEntriesWithoutAMac) {
    ReplyStore replies;
    // Inserted from the highest MAC down, so arrival order and key order disagree.
    for (std::uint32_t n = 300; n >= 1; --n) replies.emplace(MacKey(DeviceList(n)), DeviceList(n));
    replies[""];  // what a find-or-insert for a missing key leaves behind
    DeviceStore store;
    RebuildDeviceStore(replies, store);
    ASSERT_EQ(store.Count(), DeviceStore::CAPACITY);
    EXPECT_EQ(MacKey(store.RecordAt(0)->mac), MacKey(DeviceList(1)));
    EXPECT_EQ(MacKey(store.RecordAt(255)->mac), MacKey(DeviceList(256)));

    ReplyStore none;
    RebuildDeviceStore(none, store);
    EXPECT_EQ(store.Count(), 0u);
}

}  // namespace
}  // namespace pelmora
