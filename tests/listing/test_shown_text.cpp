// Direction controls in device texts: shown as U+FFFD in what a person reads, kept (escaped) in JSON.
#include <gtest/gtest.h>

#include "listing/DeviceListing.h"
#include "listing/RowOutput.h"
#include "protocol/WireFormat.h"

namespace pelmora {
namespace {

struct Text {
    const char* device;
    const char* shown;
    const char* json;  // as JsonQuote writes it
};

TEST(ListDevices, DirectionControlsAreShownAsReplacementsAndKeptEscapedInJson) {
    const Text cases[] = {
        {"\xE2\x80\xAE"
         "fdp.exe",
         "\xEF\xBF\xBD"
         "fdp.exe",
         "\"\\u202Efdp.exe\""},  // U+202E
        {"a\xE2\x80\xAA"
         "b\xE2\x80\xAC",
         "a\xEF\xBF\xBD"
         "b\xEF\xBF\xBD",
         "\"a\\u202Ab\\u202C\""},                                                        // U+202A, C
        {"\xE2\x81\xA6\xE2\x81\xA9", "\xEF\xBF\xBD\xEF\xBF\xBD", "\"\\u2066\\u2069\""},  // U+2066, 9
        {"\xE2\x80\x8E\xE2\x80\x8F", "\xEF\xBF\xBD\xEF\xBF\xBD", "\"\\u200E\\u200F\""},  // LRM, RLM
        // Their neighbours stay: U+200D, U+2010, U+2029, U+202F, U+2065, U+206A.
        {"\xE2\x80\x8D\xE2\x80\x90\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA",
         "\xE2\x80\x8D\xE2\x80\x90\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA",
         "\"\xE2\x80\x8D\xE2\x80\x90\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA\""},
        {"K\xC3\xBChlraum", "K\xC3\xBChlraum", "\"K\xC3\xBChlraum\""},
    };
    DeviceStore store;
    for (const Text& c : cases) {
        DeviceRecord& record = *store.NewRecord();
        record.mac[5] = static_cast<std::uint8_t>(store.Count());
        record.featureFlags = FEATURE_BACNET;
        record.deviceName = c.device;
        record.location = c.device;
    }
    const DeviceListing shown = ListDevices(store);
    const DeviceListing exact = ListDevices(store, ListedTexts::Exact);
    ASSERT_EQ(shown.rows.size(), std::size(cases));
    const std::string json = FormatJson(exact);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(shown.rows[i][COL_DEVICE_NAME], cases[i].shown) << i;
        EXPECT_EQ(shown.rows[i][COL_LOCATION], cases[i].shown) << i;
        EXPECT_EQ(exact.rows[i][COL_DEVICE_NAME], cases[i].device) << i;
        EXPECT_NE(json.find(std::string("\"Device Name\": ") + cases[i].json), std::string::npos) << i;
        EXPECT_EQ(JsonQuote(cases[i].device), cases[i].json) << i;
    }
    EXPECT_EQ(FormatCsv(shown).find("\xE2\x80\xAE"), std::string::npos);
    EXPECT_EQ(FormatTable(shown).find("\xE2\x80\xAE"), std::string::npos);
}

}  // namespace
}  // namespace pelmora
