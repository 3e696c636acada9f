#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "tools/simulator/DeviceFile.h"
#include "tools/simulator/DeviceGenerator.h"
#include "tools/simulator/SimOptions.h"

namespace pelmora {
namespace {

SimDevice Parse(const std::string& line) {
    SimDevice device;
    std::string error;
    EXPECT_TRUE(ParseDeviceLine(line, device, error)) << error;
    return device;
}

std::string ParseError(const std::string& line) {
    SimDevice device;
    std::string error;
    EXPECT_FALSE(ParseDeviceLine(line, device, error)) << line;
    return error;
}

TEST(DeviceFile, EveryKeyReachesItsField) {
    const SimDevice d = Parse(
        "mac=02:00:00:00:12:34 ip=192.168.92.10 mask=255.255.255.0 gw=192.168.92.1 dns=8.8.8.8 dns2=8.8.4.4 "
        "dhcp=1 bacnet=1 id=-1 name=AHU%20$ text=t102 description=Fan%25 location=R%C3%A4um "
        "bbmd=10.0.0.9:47808 port=47809 pla=254 ela=7 debug=0x11 revision=1.2.3.4 extra=0304000080 "
        "reply=broadcast fault=cut-list");
    EXPECT_EQ(MacText(d.mac), "02:00:00:00:12:34");
    EXPECT_EQ(ToText(d.ip), "192.168.92.10");
    EXPECT_EQ(ToText(d.mask), "255.255.255.0");
    EXPECT_EQ(ToText(d.gateway), "192.168.92.1");
    EXPECT_EQ(ToText(d.dns1), "8.8.8.8");
    EXPECT_EQ(ToText(d.dns2), "8.8.4.4");
    EXPECT_TRUE(d.dhcp);
    EXPECT_TRUE(HasBacnet(d));
    EXPECT_EQ(d.deviceId, -1);
    EXPECT_EQ(d.name, "AHU $");
    EXPECT_EQ(d.text102, "t102");
    EXPECT_EQ(d.description, "Fan%");
    EXPECT_EQ(d.location, "R\xC3\xA4um");
    EXPECT_EQ(d.bbmd, "10.0.0.9:47808");
    EXPECT_EQ(d.bacnetPort, 47809);
    EXPECT_EQ(d.pla, 254);
    EXPECT_EQ(d.ela, 7);
    EXPECT_EQ(d.debugFlags, 0x11u);
    EXPECT_EQ(d.revision, 0x01020304u);
    EXPECT_EQ(d.extraElements, (std::vector<std::uint8_t>{0x03, 0x04, 0x00, 0x00, 0x80}));
    EXPECT_TRUE(d.replyModeSet);
    EXPECT_EQ(d.replyMode, ReplyMode::Broadcast);
    EXPECT_EQ(d.fault, FaultKind::CutList);
}

TEST(DeviceFile, MissingKeysTakeDefaultsAndFlagsCombine) {
    const SimDevice d = Parse("mac=020000000001 flags=0x13 bacnet=0");
    EXPECT_EQ(d.featureFlags, 0x03u) << "keys apply in line order";
    EXPECT_EQ(d.deviceId, -1);
    EXPECT_EQ(d.bacnetPort, 47808);
    EXPECT_FALSE(d.replyModeSet);
    EXPECT_EQ(d.fault, FaultKind::None);
    EXPECT_EQ(ToText(d.ip), "0.0.0.0");
}

TEST(DeviceFile, FormattedLineReadsBackToTheSameDevice) {
    SimDevice d = Parse(
        "mac=02:00:00:00:00:09 ip=10.1.2.3 mask=255.0.0.0 name=a%20b%09c%25 location=\xE2\x82\xAC "
        "description= flags=0x31 id=4194302 reply=none fault=oversize extra=C801FF");
    d.bbmd = std::string("x\x7Fy\x01", 4);
    const std::string line = FormatDeviceLine(d);
    EXPECT_EQ(line.find(' ', line.find("name=")), line.find(" text=")) << "texts carry no raw space: " << line;
    const SimDevice back = Parse(line);
    EXPECT_EQ(FormatDeviceLine(back), line);
    EXPECT_EQ(back.name, "a b\tc%");
    EXPECT_EQ(back.bbmd, d.bbmd);
    EXPECT_EQ(back.location, "\xE2\x82\xAC");
    EXPECT_EQ(back.featureFlags, 0x31u);
    EXPECT_EQ(back.replyMode, ReplyMode::None);
    EXPECT_EQ(back.extraElements, d.extraElements);
}

TEST(DeviceFile, BadLinesSayWhy) {
    EXPECT_EQ(ParseError("ip=1.2.3.4"), "no mac");
    EXPECT_NE(ParseError("mac=02:00:00:00:00").find("mac"), std::string::npos);
    EXPECT_NE(ParseError("mac=02-00-00-00-00-01").find("mac"), std::string::npos);
    EXPECT_EQ(ParseError("mac=020000000001 colour=red"), "unknown key colour");
    EXPECT_NE(ParseError("mac=020000000001 ip=1.2.3.256").find("ip"), std::string::npos);
    EXPECT_NE(ParseError("mac=020000000001 port=65536").find("port"), std::string::npos);
    EXPECT_NE(ParseError("mac=020000000001 id=2147483648").find("id"), std::string::npos);
    EXPECT_NE(ParseError("mac=020000000001 pla=-1").find("pla"), std::string::npos);
    EXPECT_NE(ParseError("mac=020000000001 dhcp=yes").find("dhcp"), std::string::npos);
    EXPECT_NE(ParseError("mac=020000000001 name=a%2").find("percent"), std::string::npos);
    EXPECT_NE(ParseError("mac=020000000001 name=%zz").find("percent"), std::string::npos);
    EXPECT_NE(ParseError("mac=020000000001 extra=123").find("extra"), std::string::npos);
    EXPECT_NE(ParseError("mac=020000000001 fault=nonsense").find("fault"), std::string::npos);
    EXPECT_NE(ParseError("mac=020000000001 mac=020000000002").find("twice"), std::string::npos);
    EXPECT_NE(ParseError("mac=020000000001 name=" + std::string(256, 'n')).find("255"), std::string::npos);
    EXPECT_NE(ParseError("mac=020000000001 loose").find("key=value"), std::string::npos);
}

TEST(DeviceFile, FileSkipsCommentsAndNamesTheBadLine) {
    std::istringstream good(
        "# two devices\n\n   \nmac=020000000001 name=A\r\n  # indented comment\nmac=020000000002\n");
    std::vector<SimDevice> devices;
    std::string error;
    ASSERT_TRUE(ReadDeviceFile(good, devices, error)) << error;
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].name, "A") << "a CR line end is not part of the value";
    EXPECT_EQ(devices[1].mac[5], 2);

    std::istringstream bad("mac=020000000003\n\nmac=020000000004 ip=x\n");
    EXPECT_FALSE(ReadDeviceFile(bad, devices, error));
    EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << error;
    EXPECT_EQ(devices.size(), 2u) << "a failed file adds nothing";
}

TEST(DeviceGenerator, ThousandDevicesHaveDistinctMacsAndAddressesInTheSubnet) {
    GeneratorSettings settings;
    settings.count = 1000;
    settings.subnet = {{{10, 20, 0, 0}}, 22};
    const std::vector<SimDevice> devices = GenerateDevices(settings);
    ASSERT_EQ(devices.size(), 1000u);
    std::set<MacAddress> macs;
    std::set<std::uint32_t> addresses;
    std::size_t bacnet = 0;
    std::size_t factory = 0;
    for (const SimDevice& d : devices) {
        macs.insert(d.mac);
        addresses.insert(ToHost(d.ip).value);
        EXPECT_TRUE(SubnetContains(d, Ipv4Octets{{10, 20, 3, 254}})) << ToText(d.ip);
        EXPECT_EQ(ToText(d.mask), "255.255.252.0");
        EXPECT_NE(ToText(d.ip), "10.20.3.255");
        if (HasBacnet(d)) ++bacnet;
        if (d.deviceId == -1) ++factory;
    }
    EXPECT_EQ(macs.size(), 1000u);
    EXPECT_EQ(addresses.size(), 1000u) << "a /22 has room for all of them";
    EXPECT_EQ(MacText(devices[0].mac), "02:00:00:00:00:01");
    EXPECT_EQ(MacText(devices[999].mac), "02:00:00:00:03:E8");
    EXPECT_EQ(ToText(devices[0].ip), "10.20.0.10");
    EXPECT_GT(bacnet, 0u);
    EXPECT_LT(bacnet, 1000u);
    EXPECT_GT(factory, 0u);
}

TEST(DeviceGenerator, SmallSubnetWrapsAndMacBaseCarries) {
    GeneratorSettings settings;
    settings.count = 300;
    settings.macBase = MacAddress{{0x02, 0x00, 0x00, 0x00, 0x00, 0xFF}};
    const std::vector<SimDevice> devices = GenerateDevices(settings);
    EXPECT_EQ(MacText(devices[1].mac), "02:00:00:00:01:00");
    for (const SimDevice& d : devices) {
        EXPECT_NE(d.ip.bytes[3], 0) << "never the network address";
        EXPECT_NE(d.ip.bytes[3], 255) << "never the broadcast address";
        EXPECT_TRUE(SubnetContains(d, Ipv4Octets{{192, 168, 92, 1}}));
    }
    EXPECT_EQ(ToText(devices[244].ip), "192.168.92.254");
    EXPECT_EQ(ToText(devices[245].ip), "192.168.92.1");
}

TEST(SimOptions, ValuesAreCheckedAndBounded) {
    SimOptions o;
    std::string error;
    ASSERT_TRUE(ParseOptions(
        {"--generate", "1000", "--reply", "broadcast", "--faults", "cut-list,oversize", "--lifetime", "2.5",
         "--restart-silence", "0.25", "--dhcp-address", "10.9.8.7/16", "--mac-base", "02:11:22:33:44:55", "--shuffle"},
        o, error))
        << error;
    EXPECT_EQ(o.generator.count, 1000u);
    EXPECT_EQ(o.responder.mode, ReplyMode::Broadcast);
    EXPECT_EQ(o.responder.faults, (std::vector<FaultKind>{FaultKind::CutList, FaultKind::Oversize}));
    EXPECT_EQ(o.lifetime.count(), 2500);
    EXPECT_EQ(o.responder.restartSilence.count(), 250);
    ASSERT_TRUE(o.responder.dhcpLease);
    EXPECT_EQ(o.responder.dhcpLease->length, 16);
    EXPECT_EQ(MacText(o.generator.macBase), "02:11:22:33:44:55");
    EXPECT_TRUE(o.responder.shuffle);

    ASSERT_TRUE(ParseOptions({"--faults", "all"}, o, error));
    EXPECT_EQ(o.responder.faults.size(), AllFaultKinds().size());

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{{"--lifetime", "3601"},
                                                                                     {"--lifetime", "0"},
                                                                                     {"--lifetime", "-1"},
                                                                                     {"--generate", "65536"},
                                                                                     {"--flood", "10001"},
                                                                                     {"--reply", "multicast"},
                                                                                     {"--faults", "cut-list,"},
                                                                                     {"--generate"},
                                                                                     {"--bogus"},
                                                                                     {"stray"},
                                                                                     {"--subnet", "10.0.0.0/33"}}) {
        EXPECT_FALSE(ParseOptions(bad, o, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace pelmora
