#include <gtest/gtest.h>

#include <string>

#include "protocol/Utf8Text.h"

namespace pelmora {
namespace {

std::string Decode(const std::string& bytes, std::size_t maxCharacters = 63) {
    return DecodeElementText(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), maxCharacters);
}

const std::string FFFD = "\xEF\xBF\xBD";

TEST(DecodeElementText, KeepsTheFirst63Characters) {
    EXPECT_EQ(Decode(std::string(100, 'n')), std::string(63, 'n'));
    std::string umlauts;
    for (int i = 0; i < 50; ++i) umlauts += "\xC3\xA4";  // 100 bytes, 50 characters
    EXPECT_EQ(Decode(umlauts), umlauts);
    std::string many;
    for (int i = 0; i < 70; ++i) many += "\xE2\x82\xAC";
    const std::string kept = Decode(many);
    EXPECT_EQ(kept.size(), 63u * 3);
    EXPECT_EQ(CountCharacters(kept), 63u);
    EXPECT_EQ(Decode(""), "");
}

TEST(DecodeElementText, EndsAtTheFirstNul) {
    EXPECT_EQ(Decode(std::string("Hall 3\0garbage", 14)), "Hall 3");
    EXPECT_EQ(Decode(std::string("\0abc", 4)), "");
    EXPECT_EQ(Decode(std::string("\xC3\0\xA4", 3)), FFFD);
}

TEST(DecodeElementText, ReplacesEachIllFormedSubpart) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"ok \xF0\x9F\x98\x80", "ok \xF0\x9F\x98\x80"},
        {"a\xC3", "a" + FFFD},                            // cut at the end
        {"\xE2\x82z", FFFD + "z"},                        // one replacement for a cut 3-byte sequence
        {"\xC0\xAF", FFFD + FFFD},                        // overlong
        {"\xE0\x80\x80", FFFD + FFFD + FFFD},             // overlong 3-byte
        {"\xED\xA0\x80", FFFD + FFFD + FFFD},             // surrogate
        {"\xF4\x90\x80\x80", FFFD + FFFD + FFFD + FFFD},  // beyond U+10FFFF
        {"\xF5\xFF\x80", FFFD + FFFD + FFFD},
        {"\xEF\xBF\xBF\xED\x9F\xBF", "\xEF\xBF\xBF\xED\x9F\xBF"},  // U+FFFF, U+D7FF
    };
    for (const auto& c : cases) {
        const std::string out = Decode(c.in);
        EXPECT_EQ(out, c.out);
        EXPECT_TRUE(IsValidUtf8(out));
    }
    // Replacement characters count towards the limit like any other.
    EXPECT_EQ(Decode(std::string(70, '\x80')), [] {
        std::string s;
        for (int i = 0; i < 63; ++i) s += FFFD;
        return s;
    }());
}

TEST(IsValidUtf8, MatchesTheDecoder) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(
        IsValidUtf8("Gr\xC3\xBC\xC3\x9F"
                    "e \xE2\x82\xAC"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));
    EXPECT_FALSE(IsValidUtf8("\xED\xB0\x80"));
    EXPECT_FALSE(IsValidUtf8("\xF8\x88\x80\x80\x80"));
}

TEST(Utf8CutPoint, NeverSplitsACharacter) {
    EXPECT_EQ(Utf8CutPoint("abc", 5), 3u);
    EXPECT_EQ(Utf8CutPoint("ab\xC3\xA4", 3), 2u);
    EXPECT_EQ(Utf8CutPoint("ab\xC3\xA4", 4), 4u);
    EXPECT_EQ(Utf8CutPoint("\xF0\x9F\x98\x80", 3), 0u);
    // Ill-formed text is not cut back further than a character could reach.
    EXPECT_EQ(Utf8CutPoint(std::string(10, '\x80'), 8), 8u);
}

}  // namespace
}  // namespace pelmora
