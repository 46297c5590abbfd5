#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "Core/File/ReadFile.h"
#include "FileTestSupport.h"

#include <filesystem>
#include <fstream>

using namespace file;

namespace
{
class BuildPackTest : public filetest::FileTest
{
protected:
    void WriteGoodPack()
    {
        Write("old/x.txt", "old pack");
        ASSERT_EQ(BuildPack(L"old", L"data.dat"), QL_OK);
        mGood = Read("data.dat");
    }
    void ExpectGoodPackUntouched()
    {
        EXPECT_EQ(Read("data.dat"), mGood);
        EXPECT_FALSE(OnDisk("data.dat.tmp"));
    }
    std::string mGood;
};
} // namespace

TEST_F(BuildPackTest, EmptyFolderGivesAHeaderWithNoEntries)
{
    MakeFolder("empty");
    ASSERT_EQ(BuildPack(L"empty", L"e.dat"), QL_OK);
    EXPECT_EQ(Read("e.dat"), std::string("\x06\0\0\0qlpack\0\0\0\0", 14));
}

TEST_F(BuildPackTest, TwoRunsGiveIdenticalPacksAndCaseVariantsStaySeparate)
{
    Write("src/b.txt", "lower");
    Write("src/B.txt", "UPPER!");
    Write("src/\xD0\xB4.txt", "cyrillic");
    ASSERT_EQ(BuildPack(L"src", L"one.dat"), QL_OK);
    ASSERT_EQ(BuildPack(L"src/", L"two.dat"), QL_OK);
    EXPECT_EQ(Read("one.dat"), Read("two.dat"));

    Archiver pack(L"", L"one.dat", FileManager::Instance());
    ASSERT_EQ(pack.GetEntries().size(), 3u);
    auto it = pack.GetEntries().begin();
    EXPECT_EQ(it->first, L"B.txt");
    EXPECT_EQ((++it)->first, L"b.txt");
    EXPECT_EQ((++it)->first, L"\u0434.txt");
    FileManager::Instance()->mMounts[L"td/"] = L"one.dat";
    EXPECT_EQ(ReadFile(L"td/B.txt"), "UPPER!");
    EXPECT_EQ(ReadFile(L"td/b.txt"), "lower");
    EXPECT_EQ(ReadFile(L"td/\u0434.txt"), "cyrillic");
}

TEST_F(BuildPackTest, RebuildReplacesThePackAndSkipsThePackInsideTheFolder)
{
    Write("td/a.txt", "a");
    ASSERT_EQ(BuildPack(L"td", L"td/data.dat"), QL_OK);
    Write("td/b.txt", "b");
    FileManager::Instance()->mMounts[L"td/"] = L"td/data.dat";
    ASSERT_EQ(BuildPack(L"td", L"td/data.dat"), QL_OK);
    Archiver pack(L"", L"td/data.dat", FileManager::Instance());
    EXPECT_EQ(pack.GetEntries().size(), 2u);
    EXPECT_FALSE(pack.Exists(L"data.dat"));
}

TEST_F(BuildPackTest, MountedPackIsReadAnewAfterARebuild)
{
    Write("src/a.txt", "first");
    ASSERT_EQ(BuildPack(L"src", L"data.dat"), QL_OK);
    FileManager::Instance()->mMounts[L"td/"] = L"data.dat";
    EXPECT_EQ(ReadFile(L"td/a.txt"), "first");
    Write("src/0.txt", "shifts every offset");
    Write("src/a.txt", "second!");
    ASSERT_EQ(BuildPack(L"src", L"data.dat"), QL_OK);
    EXPECT_EQ(ReadFile(L"td/a.txt"), "second!");
    EXPECT_EQ(ReadFile(L"td/0.txt"), "shifts every offset");
}

TEST_F(BuildPackTest, MissingFolderFailsAndKeepsTheOldPack)
{
    WriteGoodPack();
    EXPECT_EQ(BuildPack(L"td", L"data.dat"), QL_FAIL);
    ExpectGoodPackUntouched();
    EXPECT_TRUE(LogHas(L"td"));
}

TEST_F(BuildPackTest, UnreadableFileFailsBeforeAnythingIsWritten)
{
    WriteGoodPack();
    Write("td/a.txt", "a");
    std::filesystem::create_symlink(mDir.Path() / "nowhere", mDir.Path() / "td/broken.txt");
    EXPECT_EQ(BuildPack(L"td", L"data.dat"), QL_FAIL);
    ExpectGoodPackUntouched();
    EXPECT_TRUE(LogHas(L"broken.txt"));
}

TEST_F(BuildPackTest, FileChangingSizeDuringTheBuildFailsAndKeepsTheOldPack)
{
    WriteGoodPack();
    Write("td/a.txt", "aaaa");
    Write("td/b.txt", "bbbb");
    for (const char* grown : {"bbbbbb", "bb"})
    {
        Write("td/b.txt", "bbbb");
        auto progress = [&](const std::wstring& name, u32, u32) {
            if (name == L"b.txt")
                Write("td/b.txt", grown);
        };
        EXPECT_EQ(BuildPack(L"td", L"data.dat", progress), QL_FAIL) << grown;
        ExpectGoodPackUntouched();
        EXPECT_TRUE(LogHas(L"changed size"));
    }
}

TEST_F(BuildPackTest, ProgressNamesEveryFileInPackOrder)
{
    Write("td/b.txt", "b");
    Write("td/a/c.txt", "c");
    std::vector<std::wstring> seen;
    ASSERT_EQ(BuildPack(L"td", L"p.dat", [&](const std::wstring& name, u32 index, u32 count) {
                  EXPECT_EQ(count, 2u);
                  EXPECT_EQ(index, seen.size());
                  seen.push_back(name);
              }),
              QL_OK);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"a/c.txt", L"b.txt"}));
}

TEST_F(BuildPackTest, PacksBeyondFourGibibytesAreRefused)
{
    WriteGoodPack();
    // Sparse files: the sizes count, the disk space does not.
    for (const char* name : {"td/a.bin", "td/b.bin"})
    {
        std::filesystem::path p = Write(name);
        std::filesystem::resize_file(p, 3ull << 30);
    }
    EXPECT_EQ(BuildPack(L"td", L"data.dat"), QL_FAIL);
    ExpectGoodPackUntouched();
    std::filesystem::resize_file(mDir.Path() / "td/b.bin", 0);
    std::filesystem::resize_file(mDir.Path() / "td/a.bin", 5ull << 30);
    EXPECT_EQ(BuildPack(L"td", L"data.dat"), QL_FAIL);
    ExpectGoodPackUntouched();
}

TEST_F(BuildPackTest, UnwritableTargetFailsCleanly)
{
    Write("td/a.txt", "a");
    EXPECT_EQ(BuildPack(L"td", L"no/such/folder/data.dat"), QL_FAIL);
    EXPECT_FALSE(OnDisk("no"));
}
