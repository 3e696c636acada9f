#include "base/Ipv4.h"

#include <gtest/gtest.h>

#include <cstring>

namespace pelmora {
namespace {

const Ipv4Octets EXAMPLE{{192, 168, 1, 20}};

TEST(Ipv4, FormsConvertIntoEachOther) {
    EXPECT_EQ(ToHost(EXAMPLE).value, 0xC0A80114u);
    EXPECT_EQ(ToOctets(Ipv4Host{0xC0A80114u}), EXAMPLE);
    const Ipv4Net net = ToNet(EXAMPLE);
    unsigned char memory[4];
    std::memcpy(memory, &net.value, 4);
    EXPECT_EQ(memory[0], 0xC0);
    EXPECT_EQ(memory[1], 0xA8);
    EXPECT_EQ(memory[2], 0x01);
    EXPECT_EQ(memory[3], 0x14);
    EXPECT_EQ(ToOctets(net), EXAMPLE);
    EXPECT_EQ(ToHost(ToNet(Ipv4Host{0x0A000001u})).value, 0x0A000001u);
    EXPECT_EQ(ToNet(BROADCAST_ADDRESS).value, 0xFFFFFFFFu);
}

TEST(Ipv4, TextRoundTrip) {
    EXPECT_EQ(ToText(EXAMPLE), "192.168.1.20");
    EXPECT_EQ(ToText(ANY_ADDRESS), "0.0.0.0");
    EXPECT_EQ(ToText(BROADCAST_ADDRESS), "255.255.255.255");
    Ipv4Octets parsed;
    ASSERT_TRUE(ParseIpv4("192.168.1.20", parsed));
    EXPECT_EQ(parsed, EXAMPLE);
    ASSERT_TRUE(ParseIpv4("0.0.0.0", parsed));
    EXPECT_EQ(ToHost(parsed), ANY_ADDRESS);
}

TEST(Ipv4, ParseRejectsAnythingButFourDecimalOctets) {
    Ipv4Octets out = EXAMPLE;
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.1000", "1..2.3", "1.2.3.4 ", " 1.2.3.4",
                            "a.b.c.d", "1.2.3.-4", "1.2.3.", ".1.2.3"}) {
        EXPECT_FALSE(ParseIpv4(bad, out)) << bad;
    }
    EXPECT_EQ(out, EXAMPLE) << "a failed parse must leave the output alone";
}

TEST(Ipv4, PrefixLengthOfMasks) {
    EXPECT_EQ(PrefixLength(Ipv4Host{0xFFFFFF00u}), std::uint8_t{24});
    EXPECT_EQ(PrefixLength(Ipv4Host{0xFFFFFFFFu}), std::uint8_t{32});
    EXPECT_EQ(PrefixLength(Ipv4Host{0u}), std::uint8_t{0});
    EXPECT_EQ(PrefixLength(Ipv4Host{0x80000000u}), std::uint8_t{1});
    EXPECT_EQ(PrefixLength(Ipv4Host{0xFFFFFFFEu}), std::uint8_t{31});
    EXPECT_EQ(PrefixLength(ToNet(Ipv4Octets{{255, 255, 240, 0}})), std::uint8_t{20});
    EXPECT_FALSE(PrefixLength(Ipv4Host{0xFF00FF00u}));
    EXPECT_FALSE(PrefixLength(Ipv4Host{0x00FFFFFFu}));
    EXPECT_FALSE(PrefixLength(Ipv4Host{0xFFFFFF01u}));
}

TEST(Ipv4, SubnetBroadcast) {
    EXPECT_EQ(SubnetBroadcast(ToHost(EXAMPLE), 24), ToHost(Ipv4Octets{{192, 168, 1, 255}}));
    EXPECT_EQ(SubnetBroadcast(ToHost(EXAMPLE), 16), ToHost(Ipv4Octets{{192, 168, 255, 255}}));
    EXPECT_EQ(SubnetBroadcast(ToHost(EXAMPLE), 0), BROADCAST_ADDRESS);
    EXPECT_EQ(SubnetBroadcast(ToHost(EXAMPLE), 32), ToHost(EXAMPLE));
}

}  // namespace
}  // namespace pelmora
