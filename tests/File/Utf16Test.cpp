#include "Core/File/Utf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace file;

TEST(Utf16, SurrogatePairsAndUnpairedSurrogatesRoundTrip)
{
    std::wstring text = L"a\U0001F600\u00E9\uFFFD";
    std::u16string units = ToUtf16(text);
    ASSERT_EQ(units.size(), 5u);
    EXPECT_EQ(units[1], 0xD83D);
    EXPECT_EQ(units[2], 0xDE00);
    EXPECT_EQ(FromUtf16(units), text);
    // Unpaired surrogates survive the round trip.
    const std::u16string unpaired = {u'a', static_cast<char16_t>(0xD800), u'b', static_cast<char16_t>(0xDC00)};
    EXPECT_EQ(ToUtf16(FromUtf16(unpaired)), unpaired);
}

TEST(Utf16, OrderFollowsUtf16UnitsNotCodePoints)
{
    // U+FF21 sorts after U+1F600 by code point, but before it by UTF-16 units (0xFF21 > 0xD83D).
    std::wstring fullwidth = L"\uFF21";
    std::wstring emoji = L"\U0001F600";
    EXPECT_LT(fullwidth.compare(emoji), 0);
    EXPECT_GT(CompareUtf16(fullwidth, emoji), 0);
    EXPECT_TRUE(Utf16Less()(emoji, fullwidth));
}

TEST(Utf16, CaseAndPrefixOrdering)
{
    std::vector<std::wstring> names = {L"b.txt", L"a/c.txt", L"B.txt", L"a", L"a/", L"\u00E9"};
    std::sort(names.begin(), names.end(), Utf16Less());
    std::vector<std::wstring> expected = {L"B.txt", L"a", L"a/", L"a/c.txt", L"b.txt", L"\u00E9"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(CompareUtf16(L"abc", L"abc"), 0);
}
