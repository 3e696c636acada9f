// CSV cells: where a spreadsheet could start a formula, whichever separator it splits at, the cell gets a
// leading ', and every cell holding a separator, quote or line break is quoted.
#include <gtest/gtest.h>

#include "listing/CsvText.h"
#include "listing/DeviceListing.h"
#include "listing/RowOutput.h"
#include "tests/support/CsvReader.h"

namespace pelmora {
namespace {

struct Cell {
    const char* text;
    char separator;
    const char* written;
};

TEST(CsvField, GuardsEveryPlaceAReaderMayStartACellAndQuotesWhatHoldsABreak) {
    const Cell cases[] = {
        {"=HYPERLINK(\"http://x\")", ',', "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"+1", ',', "'+1"},
        {"-1", ',', "'-1"},
        {"@SUM(A1)", ',', "'@SUM(A1)"},
        {"\tTab", ',', "\"'\tTab\""},
        {"\rCR", ',', "\"'\rCR\""},
        {"AHU=1 -2 +3", ',', "AHU=1 -2 +3"},
        {"", ',', ""},
        {"AHU-1;=cmd|'/c calc'!A0", ',', "\"AHU-1;'=cmd|'/c calc'!A0\""},
        {"Roof;+1+1", ';', "\"Roof;'+1+1\""},
        {"AHU;=1+41;", ',', "\"AHU;'=1+41;\""},
        {"a,@b", ';', "\"a,'@b\""},
        {"a\t-b", ',', "\"a\t'-b\""},
        {"x\n=1", ',', "\"x\n'=1\""},      // a reader that misses the quotes starts a record there
        {"a; =1", ',', "\"a; '=1\""},      // a reader that trims blanks
        {" =1", ',', " '=1"},              // nothing to quote
        {"a;\"=1", ',', "\"a;\"\"'=1\""},  // a quote a reader may take as the cell's opening
        {"K\xC3\xBChlraum \xE2\x9C\x93", ',', "K\xC3\xBChlraum \xE2\x9C\x93"},
        {"a\xFF"
         "b",
         ',',
         "a\xEF\xBF\xBD"
         "b"},
        {"x|y", '|', "\"x|y\""},
    };
    for (const Cell& c : cases) EXPECT_EQ(CsvField(c.text, c.separator), c.written) << c.text;
}

TEST(FormatCsv, RecordsReadBackAtTheirSeparator) {
    DeviceListing listing;
    listing.rows.resize(2);
    listing.rows[0][COL_DEVICE_NAME] = "AHU-1;=cmd|'/c calc'!A0";
    listing.rows[0][COL_LOCATION] = "Roof;+1+1";
    listing.rows[1][COL_DEVICE_NAME] = "AHU;=1+41;";
    listing.warnings.resize(2);
    std::string semicolons = FormatCsv(listing, ';');
    EXPECT_EQ(semicolons.substr(0, semicolons.find("\r\n")),
              "Unit;IP address;BACnet;Device ID;Device Name;PLA;ELA;Location;Revision;Duplicates");
    // The tests' reader splits at commas only.
    for (char& c : semicolons)
        if (c == ';') c = ',';
    const auto records = test::ReadCsv(semicolons);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 3u);
    ASSERT_EQ((*records)[1].size(), COLUMN_COUNT + 1);
    EXPECT_EQ((*records)[1][COL_DEVICE_NAME], "AHU-1,'=cmd|'/c calc'!A0");
    EXPECT_EQ((*records)[1][COL_LOCATION], "Roof,'+1+1");
    EXPECT_EQ((*records)[2][COL_DEVICE_NAME], "AHU,'=1+41,");
}

}  // namespace
}  // namespace pelmora
