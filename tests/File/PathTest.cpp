// Path helpers: separators of either kind, drives, extensions and base names.
#include "Core/File/Path.h"

#include <gtest/gtest.h>

using namespace file;

TEST(Path, HelpersSplitAtSeparatorsOfEitherKind)
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
}
