// pelmora-scan's command line and its two output forms, read back with an independent JSON reader.
#include <gtest/gtest.h>

#include "listing/RowOutput.h"
#include "listing/RowTexts.h"
#include "protocol/Utf8Text.h"
#include "tests/protocol/JsonValue.h"
#include "tools/scan/ScanArguments.h"

namespace pelmora {
namespace {

// The nine headings, in order.
const char* const HEADINGS[COLUMN_COUNT] = {"Unit", "IP address", "BACnet",   "Device ID", "Device Name",
                                            "PLA",  "ELA",        "Location", "Revision"};

std::array<std::string, COLUMN_COUNT> Row(const std::string& unit, const std::string& name) {
    return {unit, "192.168.92.10", "Yes", "100000", name, "1", "254", "Rack 1", "1.2-0-00"};
}

TEST(ScanArguments, AcceptsTheOptionsAndMacsInEitherCase) {
    ScanArguments a;
    std::string error;
    ASSERT_TRUE(ParseScanArguments({}, a, error));
    EXPECT_FALSE(a.help || a.winkMac);
    EXPECT_EQ(a.output, ScanOutput::Table);
    EXPECT_EQ(a.destination, BROADCAST_ADDRESS);
    ASSERT_TRUE(ParseScanArguments({"--json", "--wink", "0a:Bc:00:ff:01:9E", "--to", "192.168.5.255"}, a, error))
        << error;
    EXPECT_EQ(a.output, ScanOutput::Json);
    ASSERT_TRUE(a.winkMac);
    EXPECT_EQ(*a.winkMac, (MacBytes{0x0A, 0xBC, 0x00, 0xFF, 0x01, 0x9E}));
    EXPECT_EQ(ToText(a.destination), "192.168.5.255");
    ASSERT_TRUE(ParseScanArguments({"--csv"}, a, error));
    EXPECT_EQ(a.output, ScanOutput::Csv);
    ASSERT_TRUE(ParseScanArguments({"--help"}, a, error));
    EXPECT_TRUE(a.help);
    ASSERT_TRUE(ParseScanArguments({"--apply", "--plan", "site.csv", "--json"}, a, error)) << error;
    EXPECT_EQ(a.planPath, "site.csv");
    EXPECT_TRUE(a.apply);
    ASSERT_TRUE(ParseScanArguments({"--template"}, a, error)) << error;
    EXPECT_TRUE(a.planTemplate && !a.planPath && !a.apply);
}

TEST(ScanArguments, RejectsBadArgumentsWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--wink"},                        // value missing
        {"--wink", "02:00:00:00:00"},      // five bytes
        {"--wink", "02:00:00:00:00:01:"},  // trailing separator
        {"--wink", "02-00-00-00-00-01"},   // other separator
        {"--wink", "02:00:00:00:00:0g"},   // not hex
        {"--wink", "020000000001"},        // no separators
        {"--wink", "02:00:00:00:00:01", "--wink", "02:00:00:00:00:02"},
        {"--json", "--json"},
        {"--json", "--csv"},
        {"--to"},
        {"--to", "192.168.5"},
        {"--to", "192.168.5.256"},
        {"--to", "10.0.0.1", "--to", "10.0.0.2"},
        {"--verbose"},
        {"scan"},
        {"--plan"},
        {"--apply"},  // nothing to apply
        {"--plan", "a.csv", "--plan", "b.csv"},
        {"--plan", "a.csv", "--wink", "02:00:00:00:00:01"},
        {"--plan", "a.csv", "--template"},
        {"--template", "--csv"},
    };
    for (const auto& args : bad) {
        ScanArguments a;
        a.output = ScanOutput::Csv;
        std::string error;
        EXPECT_FALSE(ParseScanArguments(args, a, error)) << args.back();
        EXPECT_FALSE(error.empty()) << args.back();
        EXPECT_EQ(a.output, ScanOutput::Csv) << "a failed parse leaves the result alone";
    }
    ScanArguments a;
    std::string error;
    EXPECT_FALSE(ParseScanArguments({"--to", "router"}, a, error));
    EXPECT_EQ(error, "not an IPv4 address: 'router'");
}

TEST(RowOutput, JsonCarriesEveryTextExactlyUnderTheNineHeadings) {
    const std::string awkward = std::string("quote\" back\\slash\ttab\nline\x01\x1F del\x7F \xC3\xA9t\xC3\xA9 ") +
                                "\xE2\x82\xAC \xF0\x9F\x98\x80 /";
    const RowTextList rows = {Row("02:00:00:00:00:01", awkward), Row("02:00:00:00:00:02", "")};
    RowWarnings flagged;
    flagged[COL_DEVICE_ID] = flagged[COL_IP_ADDRESS] = "shared";
    const auto parsed = test::ParseJson(FormatJson({rows, {flagged, {}}}));
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->kind, test::JsonValue::Kind::Array);
    ASSERT_EQ(parsed->items.size(), 2u);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& object = parsed->items[r];
        ASSERT_EQ(object.members.size(), COLUMN_COUNT + 1);
        for (std::size_t c = 0; c < COLUMN_COUNT; ++c) {
            EXPECT_EQ(object.members[c].first, HEADINGS[c]);
            EXPECT_EQ(object.members[c].second.kind, test::JsonValue::Kind::String);
            EXPECT_EQ(object.members[c].second.text, rows[r][c]) << "row " << r << " column " << c;
        }
        EXPECT_EQ(object.members[COLUMN_COUNT].first, "duplicates");
        EXPECT_EQ(object.members[COLUMN_COUNT].second.kind, test::JsonValue::Kind::Array);
    }
    const auto& duplicates = parsed->items[0].members[COLUMN_COUNT].second.items;
    ASSERT_EQ(duplicates.size(), 2u);
    EXPECT_EQ(duplicates[0].text, "Device ID");
    EXPECT_EQ(duplicates[1].text, "IP address");
    EXPECT_TRUE(parsed->items[1].members[COLUMN_COUNT].second.items.empty());
    const auto empty = test::ParseJson(FormatJson(DeviceListing{}));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->kind, test::JsonValue::Kind::Array);
    EXPECT_TRUE(empty->items.empty());
}

TEST(RowOutput, IllFormedUtf8IsReplacedSoTheJsonStaysValid) {
    const auto parsed = test::ParseJson(JsonQuote("a\xC3z\xFF"));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->text, "a\xEF\xBF\xBDz\xEF\xBF\xBD");
}

TEST(RowOutput, TableColumnsLineUpByCharactersNotBytes) {
    const RowTextList rows = {Row("02:00:00:00:00:01", "\xC3\x89t\xC3\xA9 \xE2\x82\xAC"),  // "Été €": 5 characters
                              Row("02:00:00:00:00:02", "ABCDEFGHIJKLMN"), Row("02:00:00:00:00:03", "two\nlines")};
    RowWarnings flagged;
    flagged[COL_IP_ADDRESS] = "shared";
    const std::string table = FormatTable({rows, {{}, flagged, {}}});
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = table.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(table.substr(start, end - start));
    ASSERT_EQ(lines.size(), 4u) << "headings and one line per row, control characters kept off the line ends";
    EXPECT_EQ(lines[0].rfind("Unit", 0), 0u);
    // "PLA" starts in the same character column on every line.
    const auto column = [](const std::string& line, const std::string& what) {
        const auto at = line.find(what);
        return at == std::string::npos ? std::string::npos : CountCharacters(line.substr(0, at));
    };
    const std::size_t pla = column(lines[0], "PLA");
    ASSERT_NE(pla, std::string::npos);
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(column(lines[i], "  1  "), pla - 2) << lines[i];
    EXPECT_NE(lines[3].find("two lines"), std::string::npos);
    // The duplicates column comes last and ends the flagged row only.
    EXPECT_EQ(column(lines[0], "Duplicates"), column(lines[2], "IP address"));
    EXPECT_EQ(lines[2].substr(lines[2].size() - 10), "IP address");
    EXPECT_EQ(lines[1].back(), '0') << "no trailing blanks where nothing is flagged";
}

}  // namespace
}  // namespace pelmora
