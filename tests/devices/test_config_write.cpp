// The configuration write: its element list byte for byte (the worked example and the presence rules),
// the changes it makes to the dialog's values, and the order of sends and flushes through a fake network.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "devices/ConfigWrite.h"
#include "protocol/PacketEnvelope.h"
#include "protocol/SendTwice.h"
#include "protocol/WireFormat.h"
#include "tests/support/FakeDeviceNetwork.h"
#include "tests/support/WritePayload.h"

namespace pelmora {
namespace {

using test::Element;
using test::FakeDeviceNetwork;
using test::Hex;
using test::NetworkCall;
using Bytes = std::vector<std::uint8_t>;

const MacBytes MAC = {0x02, 0x00, 0x00, 0x00, 0x00, 0x01};

// A stored reply list: a MAC element of the wrong length comes before the real one.
ElementList StoredReply() {
    ElementList list;
    const std::uint8_t flags[4] = {0, 0, 0, 0x10};
    AppendElement(list, reply::FEATURES.tag, flags, 4);
    const std::uint8_t shortMac[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    AppendElement(list, reply::MAC.tag, shortMac, 5);
    AppendElement(list, reply::MAC.tag, MAC.data(), 6);
    AppendTextElement(list, reply::DEVICE_NAME.tag, "OLD");
    return list;
}

ConfigFields WorkedExample() {
    ConfigFields f;
    f.dhcp = false;
    f.address = Ipv4Host{0xC0A80114u};
    f.subnetMask = Ipv4Host{0xFFFFFF00u};
    f.gateway = Ipv4Host{0xC0A80101u};
    f.deviceId = 1234;
    f.name = "AHU1";
    f.pla = 254;
    f.ela = 254;
    f.port = 47808;
    return f;
}

Bytes Payload(ConfigFields& fields) {
    ElementList list = StoredReply();
    EXPECT_TRUE(BuildConfigPayload(list, fields));
    Bytes payload(2 + list.size());
    payload[1] = CMD_CONFIG_WRITE;
    std::copy(list.begin(), list.end(), payload.begin() + 2);
    return payload;
}

std::vector<int> Tags(const Bytes& payload) {
    std::vector<int> tags;
    for (const std::string& element : test::Elements(payload)) tags.push_back(test::TagOf(element));
    return tags;
}

TEST(BuildConfigPayload, WorkedExampleByteForByteAndSealedIn77Bytes) {
    ConfigFields fields = WorkedExample();
    const Bytes payload = Payload(fields);
    EXPECT_EQ(
        Hex(payload),
        "00 04 01 06 02 00 00 00 00 01 60 04 C0 A8 01 14 61 04 FF FF FF 00 62 04 C0 A8 01 01 66 04 41 48 55 31 "
        "67 00 69 02 FE FE 6A 01 00 7C 04 D2 04 00 00 7E 04 41 48 55 31 7F 02 C0 BA 80 00 81 00 82 04 00 00 00 00");
    EXPECT_EQ(payload.size(), 69u);

    Bytes body = payload;
    std::uint8_t header[HEADER_CAPACITY];
    BufferPart parts[2] = {{HEADER_CAPACITY, header}, {static_cast<std::uint32_t>(body.size()), body.data()}};
    ASSERT_TRUE(SealPacket(parts));
    EXPECT_EQ(parts[0].length + parts[1].length, 77u);
}

TEST(BuildConfigPayload, AddressElementsFollowDhcpAndBlankControls) {
    ConfigFields all = WorkedExample();
    all.dns = Ipv4Host{0x08080404u};
    EXPECT_EQ(Tags(Payload(all)), (std::vector<int>{0x01, 0x60, 0x61, 0x62, 0x64, 0x66, 0x67, 0x69, 0x6A, 0x7C, 0x7E,
                                                    0x7F, 0x80, 0x81, 0x82}));
    EXPECT_EQ(Element(Payload(all), write::DNS.tag), "64 04 08 08 04 04");

    ConfigFields dhcp = all;
    dhcp.dhcp = true;
    const Bytes onPayload = Payload(dhcp);
    for (const int tag : {0x60, 0x61, 0x62, 0x64}) EXPECT_EQ(Element(onPayload, tag), "") << tag;
    EXPECT_EQ(Element(onPayload, write::DHCP.tag), "6A 01 01");

    ConfigFields gatewayOnly = WorkedExample();
    gatewayOnly.address.reset();
    gatewayOnly.subnetMask.reset();
    const std::vector<int> tags = Tags(Payload(gatewayOnly));
    EXPECT_EQ(std::vector<int>(tags.begin(), tags.begin() + 3), (std::vector<int>{0x01, 0x62, 0x66}));
}

TEST(BuildConfigPayload, TextsHashesAndTheBbmdAddress) {
    ConfigFields unnamed = WorkedExample();
    unnamed.name.clear();
    const Bytes payload = Payload(unnamed);
    EXPECT_EQ(Element(payload, write::TEXT_102.tag), "");
    EXPECT_EQ(Element(payload, write::DEVICE_NAME.tag), "7E 00");

    ConfigFields hashes = WorkedExample();
    hashes.name = "A#1";
    hashes.description = "#d";
    hashes.location = "l#";
    hashes.bbmdAddress = "bb#";
    hashes.foreignDevice = true;
    const Bytes sent = Payload(hashes);
    EXPECT_EQ(Element(sent, write::TEXT_102.tag), "66 03 41 5F 31");
    EXPECT_EQ(Element(sent, write::DEVICE_NAME.tag), "7E 03 41 5F 31");
    EXPECT_EQ(Element(sent, write::DESCRIPTION.tag), "67 02 5F 64");
    EXPECT_EQ(Element(sent, write::LOCATION.tag), "81 02 6C 5F");
    EXPECT_EQ(Element(sent, write::BBMD_ADDRESS.tag), "80 03 62 62 23") << "the BBMD address goes unchanged";
    EXPECT_EQ(hashes.name, "A_1") << "the write changes the dialog's values too";
    EXPECT_EQ(hashes.description, "_d");
    EXPECT_EQ(hashes.location, "l_");
    EXPECT_EQ(hashes.bbmdAddress, "bb#");

    ConfigFields notForeign = WorkedExample();
    notForeign.bbmdAddress = "10.0.0.1";
    EXPECT_EQ(Element(Payload(notForeign), write::BBMD_ADDRESS.tag), "80 00");
    EXPECT_EQ(notForeign.bbmdAddress, "");
}

TEST(BuildConfigPayload, TextsAreCutAt255BytesOnACharacterBoundary) {
    ConfigFields ascii = WorkedExample();
    ascii.foreignDevice = true;
    ascii.bbmdAddress = std::string(300, 'b');
    const std::string element = Element(Payload(ascii), write::BBMD_ADDRESS.tag);
    EXPECT_EQ(element.substr(0, 5), "80 FF");
    EXPECT_EQ(element.size(), 5u + 255u * 3u);

    ConfigFields split = WorkedExample();
    split.foreignDevice = true;
    split.bbmdAddress = std::string(254, 'b') + "\xC3\xA9" + std::string(44, 'b');  // é on bytes 255 and 256
    const std::string cut = Element(Payload(split), write::BBMD_ADDRESS.tag);
    EXPECT_EQ(cut.substr(0, 5), "80 FE");
    EXPECT_EQ(cut.substr(cut.size() - 3), " 62");
}

TEST(BuildConfigPayload, StationPortDebugAndDeviceId) {
    const auto with = [](auto change) {
        ConfigFields f = WorkedExample();
        change(f);
        return Payload(f);
    };
    EXPECT_EQ(Element(with([](ConfigFields& f) { f.pla = f.ela = 0; }), write::STATION.tag), "");
    EXPECT_EQ(Element(with([](ConfigFields& f) { f.pla = 0, f.ela = 5; }), write::STATION.tag), "69 02 00 05");
    EXPECT_EQ(Element(with([](ConfigFields& f) { f.pla = 5, f.ela = 0; }), write::STATION.tag), "69 02 05 00");
    EXPECT_EQ(Element(with([](ConfigFields& f) { f.port = 0; }), write::BACNET_PORT.tag), "");
    EXPECT_EQ(Element(with([](ConfigFields& f) { f.port = 65535; }), write::BACNET_PORT.tag), "7F 02 FF FF");
    EXPECT_EQ(Element(with([](ConfigFields& f) { f.debug = true; }), write::DEBUG.tag), "82 04 00 00 00 01");

    const std::pair<std::int32_t, const char*> ids[] = {
        {-1, "7C 04 FF FF FF FF"},        {-5, "7C 04 FF FF FF FF"},      {4194303, "7C 04 FF FF FF FF"},
        {INT32_MAX, "7C 04 FF FF FF FF"}, {4194302, "7C 04 FE FF 3F 00"}, {0, "7C 04 00 00 00 00"},
        {7, "7C 04 07 00 00 00"},
    };
    for (const auto& [id, expected] : ids)
        EXPECT_EQ(Element(with([id = id](ConfigFields& f) { f.deviceId = id; }), write::DEVICE_ID.tag), expected) << id;
}

TEST(WriteConfiguration, AListWithoutMacSendsNothingAndStaysAsItWas) {
    FakeDeviceNetwork network;
    ReplyStore replies;
    ElementList noMac = {reply::DEVICE_NAME.tag, 1, 'X'};
    ConfigFields fields = WorkedExample();
    EXPECT_FALSE(BuildConfigPayload(noMac, fields));
    EXPECT_EQ(noMac, (ElementList{reply::DEVICE_NAME.tag, 1, 'X'}));
    replies["020000000001"] = noMac;
    WriteConfiguration(network, replies, MAC, Ipv4Host{0xC0A80114u}, fields);
    EXPECT_TRUE(network.calls.empty());
    replies.clear();

    WriteConfiguration(network, replies, MAC, Ipv4Host{0xC0A80114u}, fields);
    EXPECT_TRUE(network.calls.empty()) << "a device missing from the store gets nothing";
    EXPECT_EQ(replies.count("020000000001"), 1u);
}

TEST(WriteConfiguration, DeviceAddressThenBroadcastWithIdenticalPayloadsAndFlushes) {
    FakeDeviceNetwork network;
    ReplyStore replies;
    replies["020000000001"] = StoredReply();
    ConfigFields fields = WorkedExample();
    const Ipv4Host device{0xC0A85C0Au};
    WriteConfiguration(network, replies, MAC, device, fields);

    const auto& calls = network.calls;
    using Kind = NetworkCall::Kind;
    // Each destination: two sends REPEAT_PAUSE apart, two flushes, AFTER_FLUSH_PAUSE; between them the
    // pause between destinations.
    const std::chrono::milliseconds second = REPEAT_PAUSE + AFTER_FLUSH_PAUSE + BETWEEN_DESTINATIONS_PAUSE;
    const struct {
        Kind kind;
        Ipv4Host address;
        std::chrono::milliseconds at;
    } expected[] = {
        {Kind::Send, device, {}},
        {Kind::Send, device, REPEAT_PAUSE},
        {Kind::Flush, device, REPEAT_PAUSE},
        {Kind::Flush, BROADCAST_ADDRESS, REPEAT_PAUSE},
        {Kind::Send, BROADCAST_ADDRESS, second},
        {Kind::Send, BROADCAST_ADDRESS, second + REPEAT_PAUSE},
        {Kind::Flush, BROADCAST_ADDRESS, second + REPEAT_PAUSE},
        {Kind::Flush, BROADCAST_ADDRESS, second + REPEAT_PAUSE},
    };
    ASSERT_EQ(calls.size(), std::size(expected));
    const Clock::TimePoint start = calls[0].at;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].kind, expected[i].kind) << i;
        EXPECT_EQ(calls[i].address, expected[i].address) << i;
        EXPECT_EQ(calls[i].at - start, expected[i].at) << i;
    }
    for (const std::size_t i : {std::size_t{1}, std::size_t{4}, std::size_t{5}})
        EXPECT_EQ(calls[i].payload, calls[0].payload) << i;
    ConfigFields again = WorkedExample();
    EXPECT_EQ(calls[0].payload, Payload(again));
    EXPECT_EQ(network.clock.Now() - start, second + REPEAT_PAUSE + AFTER_FLUSH_PAUSE);
    EXPECT_EQ(replies["020000000001"], Bytes(calls[0].payload.begin() + 2, calls[0].payload.end()))
        << "the store's entry holds the write's list";
}

TEST(WriteConfiguration, WithoutASocketADestinationGetsNeitherFlushNorPause) {
    FakeDeviceNetwork network;
    ReplyStore replies;
    replies["020000000001"] = StoredReply();
    network.sendSucceeds = false;
    ConfigFields fields = WorkedExample();
    const Clock::TimePoint start = network.clock.Now();
    WriteConfiguration(network, replies, MAC, Ipv4Host{0xC0A85C0Au}, fields);
    EXPECT_TRUE(network.calls.empty());
    EXPECT_EQ(network.clock.Now() - start, BETWEEN_DESTINATIONS_PAUSE) << "only the pause between the two";
}

}  // namespace
}  // namespace pelmora
