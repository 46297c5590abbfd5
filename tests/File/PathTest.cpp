#include "Core/File/Path.h"

#include <gtest/gtest.h>

using namespace file;

TEST(Path, NormalizeDirectoryPathUsesOneTrailingSlash)
{
    EXPECT_EQ(NormalizeDirectoryPath(L"a\\b//"), L"a/b/");
    EXPECT_EQ(NormalizeDirectoryPath(L"a/b"), L"a/b/");
    EXPECT_EQ(NormalizeDirectoryPath(L"///"), L"");
    EXPECT_EQ(NormalizeDirectoryPath(L""), L"");
    EXPECT_EQ(NormalizeDirectoryPath(L"td\\fx"), L"td/fx/");
}

TEST(Path, StripTrailingSeparatorsRemovesTheWholeRun)
{
    EXPECT_EQ(StripTrailingSeparators(L"a/b/\\/"), L"a/b");
    EXPECT_EQ(StripTrailingSeparators(L"a/b"), L"a/b");
    EXPECT_EQ(StripTrailingSeparators(L"\\/"), L"");
}

TEST(Path, DirectoryAndFileNameSplitAtTheLastSeparatorOfEitherKind)
{
    EXPECT_EQ(GetDirectory(L"a/b\\c.txt"), L"a/b\\");
    EXPECT_EQ(GetDirectory(L"a\\b/c.txt"), L"a\\b/");
    EXPECT_EQ(GetDirectory(L"c.txt"), L"");
    EXPECT_EQ(GetFileName(L"a/b\\c.txt"), L"c.txt");
    EXPECT_EQ(GetFileName(L"c.txt"), L"c.txt");
    EXPECT_EQ(GetFileName(L"a/"), L"");
    EXPECT_EQ(ToForwardSlashes(L"a\\b\\c"), L"a/b/c");
}

TEST(Path, DirectoryWithoutDriveSkipsTheDrive)
{
    EXPECT_EQ(GetDirectoryWithoutDrive(L"C:/games/x.dat"), L"/games/");
    EXPECT_EQ(GetDirectoryWithoutDrive(L"C:x.dat"), L"");
    EXPECT_EQ(GetDirectoryWithoutDrive(L"C:"), L"");
    EXPECT_EQ(GetDirectoryWithoutDrive(L"games/x.dat"), L"games/");
    EXPECT_EQ(GetDirectoryWithoutDrive(L"x.dat"), L"");
}

TEST(Path, ExtensionAndBaseNameOnlyLookAtTheFileName)
{
    EXPECT_EQ(GetExtension(L"a.b/c"), L"");
    EXPECT_EQ(GetExtension(L"a/c.tar.gz"), L".gz");
    EXPECT_EQ(GetExtension(L"noext"), L"");
    EXPECT_EQ(GetExtension(L"a.b\\c"), L"");
    EXPECT_EQ(GetBaseName(L"a/c.tar.gz"), L"c.tar");
    EXPECT_EQ(GetBaseName(L"a/.cfg"), L".cfg");
    EXPECT_EQ(GetBaseName(L"a.b/c"), L"c");
    EXPECT_EQ(GetBaseName(L"x\\y.psd"), L"y");
}
