#include <gtest/gtest.h>

#include <cstring>

#include "listing/RowTexts.h"
#include "protocol/DeviceRecord.h"
#include "protocol/MacAddress.h"
#include "protocol/PacketEnvelope.h"
#include "protocol/WireFormat.h"
#include "tools/simulator/DeviceElements.h"
#include "tools/simulator/DeviceFile.h"
#include "tools/simulator/FaultyReplies.h"

namespace pelmora {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size();) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

SimDevice Device(const std::string& line) {
    SimDevice device;
    std::string error;
    EXPECT_TRUE(ParseDeviceLine(line, device, error)) << error;
    return device;
}

struct Opened {
    bool ok = false;
    std::uint32_t reason = 0;
    Bytes payload;
};
Opened Open(Bytes datagram) {
    Opened o;
    auto length = static_cast<std::uint32_t>(datagram.size());
    const std::uint8_t* payload = OpenPacket(datagram.data(), length);
    o.ok = payload != nullptr;
    if (o.ok) o.payload.assign(payload, payload + length);
    else o.reason = length;
    return o;
}

const char* BACNET_DEVICE =
    "mac=02:00:00:00:12:34 ip=192.168.92.10 mask=255.255.255.0 gw=192.168.92.1 dns=9.9.9.9 dns2=1.1.1.1 "
    "dhcp=1 bacnet=1 id=-1 name=A$B$ text=T description=Desc location=Hall bbmd=10.0.0.9 port=47809 "
    "pla=254 ela=7 debug=1 revision=1.2.3.4";

TEST(ReplyElements, TheToolsParserReadsBackEverySetting) {
    const SimDevice d = Device(BACNET_DEVICE);
    const Opened opened = Open(SealDatagram(BuildReplyPayload(d)));
    ASSERT_TRUE(opened.ok);
    ElementList list;
    ASSERT_TRUE(ExtractReplyList(opened.payload.data(), opened.payload.size(), list));
    EXPECT_EQ(MacKey(list), "020000001234");
    DeviceRecord r;
    ParseDeviceRecord(r, list);
    EXPECT_EQ(std::memcmp(r.ipAddress, d.ip.bytes.data(), 4), 0);
    EXPECT_EQ(std::memcmp(r.subnetMask, d.mask.bytes.data(), 4), 0);
    EXPECT_EQ(std::memcmp(r.gateway, d.gateway.bytes.data(), 4), 0);
    const std::uint8_t dns[8] = {9, 1, 9, 1, 9, 1, 9, 1};
    EXPECT_EQ(std::memcmp(r.dnsServers, dns, 8), 0);
    EXPECT_EQ(r.dhcp, 1);
    EXPECT_EQ(r.featureFlags, FEATURE_BACNET);
    EXPECT_EQ(r.deviceId, -1);
    EXPECT_EQ(r.deviceName, "A$B$");
    EXPECT_EQ(r.tag102Text, "T");
    EXPECT_EQ(r.description, "Desc");
    EXPECT_EQ(r.location, "Hall");
    EXPECT_EQ(r.bbmdAddress, "10.0.0.9");
    EXPECT_EQ(r.bacnetPort, 47809);
    EXPECT_EQ(r.pla, 254);
    EXPECT_EQ(r.ela, 7);
    EXPECT_EQ(r.debugFlags, 1u);
    EXPECT_EQ(r.revision, 0x01020304u);
    const auto row = RowTexts(r);
    EXPECT_EQ(row[COL_DEVICE_ID], "(4660)");
    EXPECT_EQ(row[COL_DEVICE_NAME], "A0004660B0004660");
    EXPECT_EQ(row[COL_REVISION], "1.2-3-04");
}

TEST(ReplyElements, DeviceWithoutBacnetLeavesBacnetTagsOutAndExtraElementsGoLast) {
    SimDevice d = Device("mac=020000000001 bacnet=0 name=hidden extra=C80100");
    const ElementList list = BuildReplyList(d);
    EXPECT_EQ(FindElement(list, 126, 6), -1);
    EXPECT_EQ(FindElement(list, 124, 4), -1);
    ASSERT_GE(list.size(), 3u);
    EXPECT_EQ(Bytes(list.end() - 3, list.end()), FromHex("C80100"));
    DeviceRecord r;
    ParseDeviceRecord(r, list);
    EXPECT_EQ(r.featureFlags, 0u);
    EXPECT_EQ(RowTexts(r)[COL_BACNET], "");
}

// The write of the configuration write's worked example: DHCP off, 192.168.1.20/24 via .1, DNS blank,
// ID 1234, name AHU1, PLA/ELA 254, port 47808.
const char* EXAMPLE_WRITE =
    "01 06 02 00 00 00 00 01 60 04 C0 A8 01 14 61 04 FF FF FF 00 62 04 C0 A8 01 01 66 04 41 48 55 31 67 00 "
    "69 02 FE FE 6A 01 00 7C 04 D2 04 00 00 7E 04 41 48 55 31 7F 02 C0 BA 80 00 81 00 82 04 00 00 00 00";

TEST(ConfigWrite, WorkedExampleDecodesAndApplies) {
    const Bytes list = FromHex(EXAMPLE_WRITE);
    ASSERT_EQ(list.size(), 67u);
    WriteSettings w;
    std::string reason;
    ASSERT_TRUE(DecodeConfigWrite(list.data(), list.size(), w, reason)) << reason;
    EXPECT_EQ(MacText(w.mac), "02:00:00:00:00:01");
    EXPECT_EQ(w.tags, (std::vector<std::uint8_t>{1, 0x60, 0x61, 0x62, 0x66, 0x67, 0x69, 0x6A, 0x7C, 0x7E, 0x7F, 0x80,
                                                 0x81, 0x82}));
    EXPECT_TRUE(w.ignored.empty());
    EXPECT_FALSE(w.dns);

    SimDevice d = Device(BACNET_DEVICE);
    EXPECT_FALSE(ApplyConfigWrite(d, w, nullptr));
    EXPECT_EQ(ToText(d.ip), "192.168.1.20");
    EXPECT_EQ(ToText(d.mask), "255.255.255.0");
    EXPECT_EQ(ToText(d.gateway), "192.168.1.1");
    EXPECT_EQ(ToText(d.dns1), "9.9.9.9") << "a blank DNS control leaves the server as it was";
    EXPECT_FALSE(d.dhcp);
    EXPECT_EQ(d.deviceId, 1234);
    EXPECT_EQ(d.name, "AHU1");
    EXPECT_EQ(d.text102, "AHU1");
    EXPECT_EQ(d.description, "");
    EXPECT_EQ(d.location, "");
    EXPECT_EQ(d.bbmd, "");
    EXPECT_EQ(d.pla, 254);
    EXPECT_EQ(d.ela, 254);
    EXPECT_EQ(d.bacnetPort, 47808);
    EXPECT_EQ(d.debugFlags, 0u);
}

TEST(ConfigWrite, DhcpWithoutAddressesTakesTheLeaseOrKeepsTheAddress) {
    // MAC, DHCP on, factory-default ID, debug on: no address elements at all.
    const Bytes list =
        FromHex("01 06 02 00 00 00 12 34 67 00 6A 01 01 7C 04 FF FF FF FF 7E 00 80 00 81 00 82 04 00 00 00 01");
    WriteSettings w;
    std::string reason;
    ASSERT_TRUE(DecodeConfigWrite(list.data(), list.size(), w, reason)) << reason;

    SimDevice kept = Device("mac=020000001234 ip=10.1.2.3 mask=255.0.0.0");
    EXPECT_FALSE(ApplyConfigWrite(kept, w, nullptr));
    EXPECT_TRUE(kept.dhcp);
    EXPECT_EQ(ToText(kept.ip), "10.1.2.3");
    EXPECT_EQ(kept.deviceId, -1);
    EXPECT_EQ(kept.debugFlags, 1u);

    SimDevice leased = Device("mac=020000001234 ip=10.1.2.3 mask=255.0.0.0");
    const Ipv4Prefix lease{{{192, 168, 92, 200}}, 24};
    EXPECT_TRUE(ApplyConfigWrite(leased, w, &lease));
    EXPECT_EQ(ToText(leased.ip), "192.168.92.200");
    EXPECT_EQ(ToText(leased.mask), "255.255.255.0");
}

TEST(ConfigWrite, BadElementsAreIgnoredOrRejected) {
    WriteSettings w;
    std::string reason;
    // An address of 3 bytes, an unknown tag and a 2-byte debug element: listed, not applied.
    const Bytes odd = FromHex("01 06 02 00 00 00 00 01 60 03 0A 00 00 C8 01 00 82 02 00 01 6A 01 00");
    ASSERT_TRUE(DecodeConfigWrite(odd.data(), odd.size(), w, reason));
    EXPECT_FALSE(w.ip);
    EXPECT_FALSE(w.debug);
    EXPECT_EQ(w.ignored, (std::vector<std::pair<std::uint8_t, std::uint8_t>>{{0x60, 3}, {0xC8, 1}, {0x82, 2}}));
    ASSERT_TRUE(w.dhcp);

    const Bytes cut = FromHex("01 06 02 00 00 00 00 01 7E 05 41");
    EXPECT_FALSE(DecodeConfigWrite(cut.data(), cut.size(), w, reason));
    EXPECT_EQ(reason, "malformed element list");
    const Bytes shortMac = FromHex("01 05 02 00 00 00 00 6A 01 00");
    EXPECT_FALSE(DecodeConfigWrite(shortMac.data(), shortMac.size(), w, reason));
    EXPECT_EQ(reason, "no MAC element");
}

TEST(FaultyReplies, EachKindFailsTheCheckItIsMeantFor) {
    const SimDevice d = Device(BACNET_DEVICE);
    const auto reasonOf = [&](FaultKind kind) { return Open(BuildFaultyReply(kind, d)); };
    EXPECT_EQ(reasonOf(FaultKind::BadPacketCheck).reason, OPEN_BAD_PACKET_CHECK);
    EXPECT_FALSE(reasonOf(FaultKind::BadPacketCheck).ok);
    const Bytes headDatagram = BuildFaultyReply(FaultKind::BadHeadCheck, d);
    EXPECT_GT(headDatagram.size(), 256u) << "long form";
    EXPECT_EQ(reasonOf(FaultKind::BadHeadCheck).reason, OPEN_BAD_HEAD_CHECK);
    EXPECT_FALSE(reasonOf(FaultKind::BadLength).ok);
    EXPECT_EQ(reasonOf(FaultKind::BadLength).reason, OPEN_BAD_SIZE);
    EXPECT_EQ(BuildFaultyReply(FaultKind::ShortDatagram, d).size(), 5u);
    EXPECT_EQ(reasonOf(FaultKind::ShortDatagram).reason, OPEN_BAD_SIZE);

    const Bytes oversize = BuildFaultyReply(FaultKind::Oversize, d);
    EXPECT_GT(oversize.size(), MAX_DATAGRAM);

    // These open, and then fail the reply checks of the scan.
    for (const FaultKind kind : {FaultKind::EmptyReply, FaultKind::CutList, FaultKind::ShortMac, FaultKind::NoMac,
                                 FaultKind::WrongCommand, FaultKind::BadLead, FaultKind::RequestEcho}) {
        const Opened o = reasonOf(kind);
        ASSERT_TRUE(o.ok) << FaultName(kind);
        ElementList list;
        EXPECT_FALSE(ExtractReplyList(o.payload.data(), o.payload.size(), list)) << FaultName(kind);
    }
    EXPECT_EQ(reasonOf(FaultKind::EmptyReply).payload, FromHex("00 03"));
    EXPECT_EQ(reasonOf(FaultKind::RequestEcho).payload, FromHex("00 00"));
    const Opened shortMac = reasonOf(FaultKind::ShortMac);
    EXPECT_EQ(shortMac.payload[2], reply::MAC.tag);
    EXPECT_EQ(shortMac.payload[3], 5);
    const Opened wrong = reasonOf(FaultKind::WrongCommand);
    EXPECT_EQ(wrong.payload[1], 0x07);
    ElementList rest(wrong.payload.begin() + 2, wrong.payload.end());
    EXPECT_TRUE(CheckElementList(rest)) << "only the command byte is wrong";

    // The oversize reply is sound apart from its size: a larger buffer would accept it.
    const Opened big = Open(oversize);
    ASSERT_TRUE(big.ok);
    ElementList list;
    EXPECT_TRUE(ExtractReplyList(big.payload.data(), big.payload.size(), list));
    // And None is the good reply itself.
    EXPECT_EQ(BuildFaultyReply(FaultKind::None, d), SealDatagram(BuildReplyPayload(d)));
}

TEST(FaultyReplies, PlainEnvelopeSealsLikeSealPacketInBothForms) {
    for (const std::size_t size : {0u, 2u, 248u, 249u, 700u}) {
        Bytes payload(size);
        for (std::size_t i = 0; i < size; ++i) payload[i] = static_cast<std::uint8_t>(i * 7 + 1);
        EXPECT_EQ(EncipherDatagram(PlainEnvelope(payload)), SealDatagram(payload)) << size;
    }
}

}  // namespace
}  // namespace pelmora
