// The numeric field check: what the edit dialog accepts, clamps, empties, and the conversion behind it;
// the device ID a text stands for.
#include <gtest/gtest.h>

#include <climits>

#include "devices/SettingChecks.h"
#include "protocol/DecimalText.h"

namespace pelmora {
namespace {

struct Case {
    const char* text;
    int low, high;
    bool accepted;
    int value;  // the value afterwards (it starts at 77)
    const char* textAfter;
};

TEST(ParseNumberText, AcceptsClampsAndEmptiesAsTheDialogNeeds) {
    const Case cases[] = {
        {"", 0, 255, false, 0, ""},
        {"0", 0, 255, true, 0, "0"},
        {"007", 0, 255, true, 7, "007"},
        {"255", 0, 255, true, 255, "255"},
        {"256", 0, 255, false, 255, "256"},
        {"300", 0, 255, false, 255, "300"},
        {"-2", -1, 4194303, false, -1, "-2"},
        {"4194304", -1, 4194303, false, 4194303, "4194304"},
        {"99999999999999999999", 0, 65535, false, 65535, "99999999999999999999"},
        {"-99999999999999999999", -1, 10, false, -1, "-99999999999999999999"},
        {"5-3", 0, 255, true, 5, "5-3"},
        {"--5", 0, 255, true, 0, "--5"},
        {"-", -1, 4194303, true, 0, "-"},
        {"-1", -1, 4194303, true, -1, "-1"},
        {"12a", -1, 4194303, false, 77, ""},
        {"abc", 0, 65535, false, 77, ""},
        {"+5", 0, 255, false, 77, ""},
        {" 5", 0, 255, false, 77, ""},
        {"1.5", 0, 255, false, 77, ""},
        {"\xD9\xA3", 0, 255, false, 77, ""},  // ARABIC-INDIC DIGIT THREE is no decimal digit here
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        int value = 77;
        EXPECT_EQ(ParseNumberText(text, value, c.low, c.high), c.accepted) << '"' << c.text << '"';
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(text, c.textAfter) << '"' << c.text << '"';
    }
}

TEST(ConvertDecimal, ReadsTheLeadingNumberAndSaturates) {
    EXPECT_EQ(ConvertDecimal("1234"), 1234);
    EXPECT_EQ(ConvertDecimal("12a"), 12);
    EXPECT_EQ(ConvertDecimal("-7x"), -7);
    EXPECT_EQ(ConvertDecimal("[factory default]"), 0);
    EXPECT_EQ(ConvertDecimal("2147483647"), INT_MAX);
    EXPECT_EQ(ConvertDecimal("2147483648"), INT_MAX);
    EXPECT_EQ(ConvertDecimal("-2147483648"), INT_MIN);
    EXPECT_EQ(ConvertDecimal("-2147483649"), INT_MIN);
}

TEST(DeviceIdFromText, TheFactoryDefaultTextIsMinusOneNotZero) {
    EXPECT_EQ(DeviceIdFromText("[factory default]"), -1);
    EXPECT_EQ(DeviceIdFromText("-1"), -1);
    EXPECT_EQ(DeviceIdFromText("007"), 7);
    EXPECT_EQ(DeviceIdFromText("-"), 0);
}

}  // namespace
}  // namespace pelmora
