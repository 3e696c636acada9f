#include <gtest/gtest.h>

#include <string>

#include "protocol/ElementList.h"
#include "protocol/MacAddress.h"
#include "protocol/WireFormat.h"

namespace pelmora {
namespace {

const std::uint8_t MAC[6] = {0x00, 0x1a, 0x2B, 0xc4, 0x12, 0x34};

ElementList WithMac() {
    ElementList list;
    AppendElement(list, 200, nullptr, 0);
    AppendElement(list, reply::MAC.tag, MAC, 6);
    return list;
}

TEST(CheckElementList, WellFormedOnlyWhenTheWalkEndsExactly) {
    EXPECT_TRUE(CheckElementList(ElementList{}));
    EXPECT_TRUE(CheckElementList(nullptr, 0));
    EXPECT_TRUE(CheckElementList(ElementList{7, 0}));
    EXPECT_TRUE(CheckElementList(ElementList{7, 2, 0xAA, 0xBB, 9, 1, 0xCC}));
    EXPECT_FALSE(CheckElementList(ElementList{7}));                      // head cut
    EXPECT_FALSE(CheckElementList(ElementList{7, 2, 0xAA}));             // value cut
    EXPECT_FALSE(CheckElementList(ElementList{7, 1, 0xAA, 9}));          // trailing byte
    EXPECT_FALSE(CheckElementList(ElementList{7, 0, 9, 255, 1, 2, 3}));  // last one announces too much

    ElementList big(2 + 255, 0x11);
    big[1] = 255;
    EXPECT_TRUE(CheckElementList(big));
    big.pop_back();
    EXPECT_FALSE(CheckElementList(big));
}

TEST(FindElement, FirstElementWithTagAndLength) {
    ElementList list = {1, 4, 9, 9, 9, 9, 5, 0, 1, 6, 1, 2, 3, 4, 5, 6, 1, 6, 7, 7, 7, 7, 7, 7};
    EXPECT_EQ(FindElement(list, 1, 6), 10);
    EXPECT_EQ(FindElement(list, 1, 4), 2);
    EXPECT_EQ(FindElement(list, 5, 0), 8);
    EXPECT_EQ(FindElement(list, 5, 1), -1);
    EXPECT_EQ(FindElement(ElementList{}, 1, 6), -1);
    // Bytes inside a value that look like an element are not elements.
    EXPECT_EQ(FindElement(ElementList{9, 8, 1, 6, 1, 2, 3, 4, 5, 6}, 1, 6), -1);
}

TEST(FindElement, StopsWhereAMalformedListRunsOut) {
    EXPECT_EQ(FindElement(ElementList{9, 200, 1, 6}, 1, 6), -1);
    EXPECT_EQ(FindElement(ElementList{1, 6, 1, 2, 3}, 1, 6), -1);
    EXPECT_EQ(FindElement(ElementList{2, 0, 1}, 1, 0), -1);
    EXPECT_EQ(FindElement(ElementList{2, 0, 1, 0, 3}, 1, 0), 4);
}

TEST(MacKey, TwelveUpperCaseHexDigits) {
    EXPECT_EQ(MacKey(MAC), "001A2BC41234");
    EXPECT_EQ(MacKey(WithMac()), "001A2BC41234");
    ElementList wrongLength = {reply::MAC.tag, 5, 1, 2, 3, 4, 5};
    EXPECT_EQ(MacKey(wrongLength), "");
    EXPECT_EQ(MacKey(ElementList{}), "");
}

TEST(AppendElement, CutsLongValuesTo255) {
    ElementList list;
    AppendElement(list, reply::REAL_3.tag, MAC, 2);
    EXPECT_EQ(list, (ElementList{3, 2, 0x00, 0x1a}));
    const std::string longValue(300, 'x');
    AppendElement(list, 4, reinterpret_cast<const std::uint8_t*>(longValue.data()), longValue.size());
    ASSERT_EQ(list.size(), 4u + 2u + 255u);
    EXPECT_EQ(list[5], 255);
    EXPECT_TRUE(CheckElementList(list));
}

TEST(AppendTextElement, CutsAtACharacterBoundary) {
    const struct {
        std::string text;
        std::size_t kept;
    } cases[] = {
        {"", 0},
        {"plain", 5},
        {std::string(255, 'a'), 255},
        {std::string(256, 'a'), 255},
        {std::string(254, 'a') + "\xC3\xA9", 254},      // é would straddle the limit
        {std::string(253, 'a') + "\xC3\xA9", 255},      // é fits exactly
        {std::string(253, 'a') + "\xE2\x82\xAC", 253},  // €
        {std::string(252, 'a') + "\xF0\x9F\x98\x80"
                                 "b",
         252},  // 4-byte character
    };
    for (const auto& c : cases) {
        ElementList list;
        AppendTextElement(list, reply::DEVICE_NAME.tag, c.text);
        ASSERT_EQ(list.size(), 2 + c.kept) << c.text.size();
        EXPECT_EQ(list[1], c.kept);
        EXPECT_EQ(std::string(list.begin() + 2, list.end()), c.text.substr(0, c.kept));
    }
}

TEST(ExtractReplyList, AcceptsOnlyDiscoveryRepliesWithAMac) {
    ElementList list;
    std::vector<std::uint8_t> payload = {0x00, 0x03};
    const ElementList elements = WithMac();
    payload.insert(payload.end(), elements.begin(), elements.end());
    ASSERT_TRUE(ExtractReplyList(payload.data(), payload.size(), list));
    EXPECT_EQ(list, elements);

    ElementList untouched = {42};
    const std::uint8_t twoBytes[] = {0x00, 0x03};
    EXPECT_FALSE(ExtractReplyList(twoBytes, 2, untouched));
    const std::uint8_t request[] = {0x00, 0x00, 200, 0};
    EXPECT_FALSE(ExtractReplyList(request, sizeof request, untouched));
    const std::uint8_t badFirstByte[] = {0x01, 0x03, reply::MAC.tag, 6, 1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(ExtractReplyList(badFirstByte, sizeof badFirstByte, untouched));
    const std::uint8_t macTooLong[] = {0x00, 0x03, reply::MAC.tag, 7, 1, 2, 3, 4, 5, 6, 7};
    EXPECT_FALSE(ExtractReplyList(macTooLong, sizeof macTooLong, untouched));
    const std::uint8_t cutShort[] = {0x00, 0x03, reply::MAC.tag, 6, 1, 2, 3, 4, 5, 6, 126, 4, 'a'};
    EXPECT_FALSE(ExtractReplyList(cutShort, sizeof cutShort, untouched));
    EXPECT_FALSE(ExtractReplyList(nullptr, 10, untouched));
    EXPECT_EQ(untouched, ElementList{42});
}

}  // namespace
}  // namespace pelmora
