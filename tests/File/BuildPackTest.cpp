// Building packs from folders: the bytes written, rebuilds, progress, and every failure.
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "Core/File/ReadFile.h"
#include "FileTestSupport.h"

#include <filesystem>

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

TEST_F(BuildPackTest, TwoRunsGiveIdenticalPacksAndARebuildReplacesAMountedPack)
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

    MakeFolder("empty");
    ASSERT_EQ(BuildPack(L"empty", L"e.dat"), QL_OK);
    EXPECT_EQ(Read("e.dat"), std::string("\x06\0\0\0qlpack\0\0\0\0", 14)) << "a header with no entries";

    Write("td/a.txt", "a");
    ASSERT_EQ(BuildPack(L"td", L"td/data.dat"), QL_OK);
    Write("td/b.txt", "b");
    FileManager::Instance()->mMounts[L"td/"] = L"td/data.dat";
    ASSERT_EQ(BuildPack(L"td", L"td/data.dat"), QL_OK);
    Archiver rebuilt(L"", L"td/data.dat", FileManager::Instance());
    EXPECT_EQ(rebuilt.GetEntries().size(), 2u);
    EXPECT_FALSE(rebuilt.Exists(L"data.dat"));

    // A mounted pack is read anew after a rebuild.
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

TEST_F(BuildPackTest, EveryFailureKeepsTheOldPackAndSaysWhy)
{
    WriteGoodPack();
    EXPECT_EQ(BuildPack(L"td", L"data.dat"), QL_FAIL) << "missing folder";
    ExpectGoodPackUntouched();
    EXPECT_TRUE(LogHas("td"));
    EXPECT_EQ(BuildPack(L"old", L"no/such/folder/data.dat"), QL_FAIL) << "unwritable target";
    EXPECT_FALSE(OnDisk("no"));

    // A file that changes size while it is copied.
    Write("td/a.txt", "aaaa");
    for (const char* grown : {"bbbbbb", "bb"})
    {
        Write("td/b.txt", "bbbb");
        auto progress = [&](const std::wstring& name, u32, u32)
        {
            if (name == L"b.txt")
                Write("td/b.txt", grown);
        };
        EXPECT_EQ(BuildPack(L"td", L"data.dat", progress), QL_FAIL) << grown;
        ExpectGoodPackUntouched();
        EXPECT_TRUE(LogHas("changed size"));
    }

    // An unreadable file fails before anything is written.
    std::filesystem::create_symlink(mDir.Path() / "nowhere", mDir.Path() / "td/broken.txt");
    EXPECT_EQ(BuildPack(L"td", L"data.dat"), QL_FAIL);
    ExpectGoodPackUntouched();
    EXPECT_TRUE(LogHas("broken.txt"));
    std::filesystem::remove(mDir.Path() / "td/broken.txt");

    // Packs beyond 4 GiB: sparse files, the sizes count, the disk space does not.
    for (const char* name : {"td/a.bin", "td/b.bin"})
        std::filesystem::resize_file(Write(name), 3ull << 30);
    EXPECT_EQ(BuildPack(L"td", L"data.dat"), QL_FAIL);
    ExpectGoodPackUntouched();
    std::filesystem::resize_file(mDir.Path() / "td/b.bin", 0);
    std::filesystem::resize_file(mDir.Path() / "td/a.bin", 5ull << 30);
    EXPECT_EQ(BuildPack(L"td", L"data.dat"), QL_FAIL);
    ExpectGoodPackUntouched();
}
