// The CSV form, read back with the tests' own reader: a cell a spreadsheet would run as a formula is
// written as text.
#include <gtest/gtest.h>

#include "listing/DeviceListing.h"
#include "listing/RowOutput.h"
#include "tests/support/CsvReader.h"

namespace pelmora {
namespace {

TEST(FormatCsv, ACellStartingAsAFormulaGetsALeadingQuote) {
    const std::pair<std::string, std::string> cases[] = {
        {"=HYPERLINK(\"http://x\")", "'=HYPERLINK(\"http://x\")"},
        {"+1", "'+1"},
        {"-1", "'-1"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tTab", "'\tTab"},
        {"\rCR", "'\rCR"},
        {"AHU=1 -2 +3", "AHU=1 -2 +3"},
        {"", ""},
    };
    DeviceListing listing;
    for (const auto& [name, written] : cases) {
        RowText row;
        row[COL_DEVICE_NAME] = name;
        listing.rows.push_back(row);
    }
    listing.warnings.resize(listing.rows.size());
    const auto records = test::ReadCsv(FormatCsv(listing));
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), listing.rows.size() + 1);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ((*records)[i + 1][COL_DEVICE_NAME], cases[i].second) << cases[i].first;
}

}  // namespace
}  // namespace pelmora
