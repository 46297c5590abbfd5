// Path helpers (separators of either kind, drives, extensions, base names) and UTF-16 names.
#include "Core/File/Path.h"
#include "Core/File/Utf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace file;

TEST(Path, HelpersSplitAtSeparatorsOfEitherKindAndUtf16NamesRoundTripAndSortByUnits)
{
    struct Case
    {
        std::wstring (*helper)(const std::wstring&);
        const wchar_t* in;
        const wchar_t* out;
    };
    const Case cases[] = {
        {NormalizeDirectoryPath, L"a\\b//", L"a/b/"},   {NormalizeDirectoryPath, L"a/b", L"a/b/"},
        {NormalizeDirectoryPath, L"///", L""},          {NormalizeDirectoryPath, L"", L""},
        {StripTrailingSeparators, L"a/b/\\/", L"a/b"},  {StripTrailingSeparators, L"\\/", L""},
        {GetDirectory, L"a/b\\c.txt", L"a/b\\"},        {GetDirectory, L"a\\b/c.txt", L"a\\b/"},
        {GetDirectory, L"c.txt", L""},                  {GetFileName, L"a/b\\c.txt", L"c.txt"},
        {GetFileName, L"a/", L""},                      {ToForwardSlashes, L"a\\b\\c", L"a/b/c"},
        {GetDirectoryWithoutDrive, L"C:/games/x.dat", L"/games/"}, {GetDirectoryWithoutDrive, L"C:x.dat", L""},
        {GetDirectoryWithoutDrive, L"C:", L""},         {GetDirectoryWithoutDrive, L"games/x.dat", L"games/"},
        {GetExtension, L"a.b/c", L""},                  {GetExtension, L"a/c.tar.gz", L".gz"},
        {GetExtension, L"a.b\\c", L""},                 {GetBaseName, L"a/c.tar.gz", L"c.tar"},
        {GetBaseName, L"a/.cfg", L".cfg"},              {GetBaseName, L"x\\y.psd", L"y"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.helper(c.in), c.out) << c.in;

    // UTF-16: surrogates round trip and names sort by UTF-16 units.
    std::wstring text = L"a\U0001F600\u00E9\uFFFD";
    std::u16string units = ToUtf16(text);
    EXPECT_EQ(units, (std::u16string{u'a', 0xD83D, 0xDE00, 0xE9, 0xFFFD}));
    EXPECT_EQ(FromUtf16(units), text);
    // Unpaired surrogates survive the round trip.
    const std::u16string unpaired = {u'a', static_cast<char16_t>(0xD800), u'b', static_cast<char16_t>(0xDC00)};
    EXPECT_EQ(ToUtf16(FromUtf16(unpaired)), unpaired);

    // U+FF21 sorts after U+1F600 by code point, but before it by UTF-16 units (0xFF21 > 0xD83D).
    EXPECT_LT(std::wstring(L"\uFF21").compare(L"\U0001F600"), 0);
    EXPECT_GT(CompareUtf16(L"\uFF21", L"\U0001F600"), 0);
    EXPECT_TRUE(Utf16Less()(L"\U0001F600", L"\uFF21"));
    std::vector<std::wstring> names = {L"b.txt", L"a/c.txt", L"B.txt", L"a", L"a/", L"\u00E9"};
    std::sort(names.begin(), names.end(), Utf16Less());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"B.txt", L"a", L"a/", L"a/c.txt", L"b.txt", L"\u00E9"}));
    EXPECT_EQ(CompareUtf16(L"abc", L"abc"), 0);
}
