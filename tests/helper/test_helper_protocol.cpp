// The network helper's line protocol: the three requests and their replies, and what is not one.
#include <gtest/gtest.h>

#include "helper/HelperProtocol.h"

namespace pelmora::test {
namespace {

Ipv4Net Net(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) { return ToNet(Ipv4Octets{{a, b, c, d}}); }

TEST(HelperProtocol, RequestsGoToLinesAndBack) {
    const HelperRequest requests[] = {{HelperCommand::Add, 7, Net(0, 0, 0, 0), 0},
                                      {HelperCommand::Delete, 2147483647, Net(10, 0, 0, 1), 8},
                                      {HelperCommand::Flush, 0, Net(255, 255, 255, 255), 0}};
    const char* lines[] = {"ADD 7", "DEL 2147483647 10.0.0.1/8", "FLUSH 255.255.255.255"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(FormatRequest(requests[i]), lines[i]);
        std::string error;
        const auto parsed = ParseRequest(lines[i], error);
        ASSERT_TRUE(parsed) << lines[i] << ": " << error;
        EXPECT_EQ(parsed->command, requests[i].command);
        EXPECT_EQ(parsed->ifIndex, requests[i].ifIndex);
        EXPECT_EQ(parsed->address, requests[i].address);
        EXPECT_EQ(parsed->prefixLength, requests[i].prefixLength);
    }
}

TEST(HelperProtocol, AnythingButTheExactFormIsRefused) {
    const char* malformed[] = {"ADD 07",
                               "ADD 0",
                               "ADD -7",
                               "ADD",
                               "ADD 7\r",
                               "ADD 2147483648",
                               "DEL 7 10.1.2.3",
                               "DEL 07 10.1.2.3/24",
                               "DEL 0 10.1.2.3/24",
                               "DEL 7 10.1.2.3/024",
                               "DEL 7 10.1.2.3/33",
                               "DEL 7 10.01.2.3/24",
                               "DEL 7 10.1.2/24",
                               "DEL  7 10.1.2.3/24",
                               "DEL 7 10.1.2.3/24 ",
                               "DEL 7",
                               "FLUSH",
                               "FLUSH 10.1.2.3 10.1.2.4",
                               "FLUSH 10.1.2.3/32"};
    for (const char* line : malformed) {
        std::string error;
        EXPECT_FALSE(ParseRequest(line, error)) << line;
        EXPECT_EQ(error.rfind("malformed request", 0), 0u) << line << ": " << error;
    }
    for (const char* line : {"ADD 7 10.1.2.3/24", "ADD 7 ", "ADD 7 10.20.30.53/24"}) {
        std::string error;
        EXPECT_FALSE(ParseRequest(line, error)) << line;
        EXPECT_EQ(error, "the helper draws the address itself: ADD <ifindex>") << line;
    }
    for (const char* line : {"", "add 7 10.1.2.3/24", "EXEC /bin/sh", " ADD 7 10.1.2.3/24", "FLUSHALL"}) {
        std::string error;
        EXPECT_FALSE(ParseRequest(line, error)) << line;
        EXPECT_EQ(error, "unknown command") << line;
    }
}

TEST(HelperProtocol, RepliesAreOkWithOptionalTextOrErrWithAReason) {
    EXPECT_EQ(FormatReply({true, ""}), "OK");
    EXPECT_EQ(FormatReply({true, "2"}), "OK 2");
    EXPECT_EQ(FormatReply({false, "only a /24"}), "ERR only a /24");
    const auto counted = ParseReply("OK 2");
    ASSERT_TRUE(counted);
    EXPECT_TRUE(counted->ok);
    EXPECT_EQ(counted->text, "2");
    const auto refused = ParseReply("ERR only a /24");
    ASSERT_TRUE(refused);
    EXPECT_FALSE(refused->ok);
    EXPECT_EQ(refused->text, "only a /24");
    for (const char* line : {"", "OKAY", "ERR", "ERR ", "READY 1", "ok"}) EXPECT_FALSE(ParseReply(line)) << line;
}

TEST(LineSplitter, LinesSpanFeedsAndAnOverlongLinePoisonsTheStream) {
    LineSplitter lines(8);
    lines.Feed("FLU", 3);
    EXPECT_FALSE(lines.Next());
    lines.Feed("SH\n\nAB\nC", 9);
    EXPECT_EQ(lines.Next(), std::optional<std::string>("FLUSH"));
    EXPECT_EQ(lines.Next(), std::optional<std::string>(""));
    EXPECT_EQ(lines.Next(), std::optional<std::string>("AB"));
    EXPECT_FALSE(lines.Next());
    EXPECT_FALSE(lines.Overflowed());
    lines.Feed("12345678\n", 9);  // "C" and eight more: one too long, newline or not
    EXPECT_FALSE(lines.Next());
    EXPECT_TRUE(lines.Overflowed());
    lines.Feed("OK\n", 3);
    EXPECT_FALSE(lines.Next()) << "nothing after an overflow is trusted";
}

}  // namespace
}  // namespace pelmora::test
