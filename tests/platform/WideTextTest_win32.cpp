// The UTF-8/UTF-16 boundary of the Windows build, and the command line read through it.
#include <gtest/gtest.h>

#include "platform/CommandLine.h"
#include "platform/WideText_win32.h"

namespace pelmora {
namespace {

TEST(WideText, TextsCrossTheBoundaryUnchangedAndBadInputBecomesTheReplacementCharacter) {
    struct Case {
        const char* utf8;
        std::wstring wide;
    } cases[] = {
        {"", L""},
        {"AHU-1", L"AHU-1"},
        {"B\xC3\xBChne", L"B\u00FChne"},                            // two bytes: not in every ANSI code page
        {"\xE6\xB8\xA9\xE5\xBA\xA6", L"\u6E29\u5EA6"},              // three bytes
        {"\xF0\x9F\x94\xA5!", std::wstring{0xD83D, 0xDD25, L'!'}},  // four bytes: a surrogate pair
    };
    for (const Case& c : cases) {
        const std::string utf8 = c.utf8;
        EXPECT_EQ(WideFromUtf8(utf8), c.wide) << utf8;
        EXPECT_EQ(Utf8FromWide(c.wide), utf8) << utf8;
    }
    EXPECT_EQ(WideFromUtf8("a\xC3"), L"a\uFFFD") << "a sequence cut short";
    EXPECT_EQ(WideFromUtf8("\xFF"), L"\uFFFD");
    EXPECT_EQ(Utf8FromWide(std::wstring{L'x', 0xD800}), "x\xEF\xBF\xBD") << "an unpaired surrogate";
}

// ctest passes "Gerät °C 温度"; argv would hold it in the ANSI code page, where 温度 is "??".
TEST(CommandLine, ArgumentsArriveAsUtf8) {
    const auto arguments = CommandLineArguments(0, nullptr);
    ASSERT_FALSE(arguments.empty());
    EXPECT_EQ(arguments.back(),
              "Ger\xC3\xA4t \xC2\xB0"
              "C \xE6\xB8\xA9\xE5\xBA\xA6");
}

}  // namespace
}  // namespace pelmora
