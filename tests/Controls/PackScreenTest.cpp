// The pack-building screen: every mounted folder becomes its pack, in prefix order; the first
// failure ends the walk; repeated builds are byte-identical; progress is kept per pack.
#include "Core/Widget/Controls/PackScreen.h"
#include "Core/Base/Singletone.h"
#include "Core/File/FileManager.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace
{
u32 ReadU32(const std::string& bytes, size_t at)
{
    u32 v = 0;
    if (at + 4 <= bytes.size())
        std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

class PackScreenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        mOld = fs::current_path();
        fs::current_path(mDir.Path());
    }
    void TearDown() override
    {
        fs::current_path(mOld);
        base::SingletoneBase::DestroyAll();
    }
    std::map<std::wstring, std::wstring, file::Utf16Less>& Mounts()
    {
        return file::FileManager::Instance()->mMounts;
    }

    testsupport::TempDir mDir;
    fs::path mOld;
};

TEST_F(PackScreenTest, BuildsEveryMountedFolderIntoItsPackTheSameEachTime)
{
    mDir.Write("td/levels/a.xml", "<Level/>");
    mDir.Write("td/strings.csv", "key;value\n");
    mDir.Write("td/Name.txt", "upper"); // case makes separate entries
    mDir.Write("td/name.txt", "lower");
    mDir.Write("fx/fx.ptc", "particles");
    Mounts()[L"td/"] = L"data.dat";
    Mounts()[L"fx/"] = L"fx.dat";
    gui::PackScreen screen(L"all");
    ASSERT_EQ(QL_OK, screen.Start());
    ASSERT_EQ(screen.GetReports().size(), 2u);
    EXPECT_EQ(screen.GetReports()[0].folder, L"fx/"); // prefix order
    EXPECT_EQ(screen.GetReports()[1].pack, L"data.dat");
    EXPECT_EQ(screen.GetReports()[1].files, 4u);
    EXPECT_TRUE(screen.GetCurrentFile().empty());
    const std::string pack = mDir.Read("data.dat");
    ASSERT_GE(pack.size(), 14u);
    EXPECT_EQ(ReadU32(pack, 0), 6u);
    EXPECT_EQ(pack.substr(4, 6), "qlpack");
    EXPECT_EQ(ReadU32(pack, 10), 4u);
    EXPECT_NE(pack.find("<Level/>"), std::string::npos);
    EXPECT_NE(mDir.Read("fx.dat").find("particles"), std::string::npos);
    gui::PackScreen again(L"all");
    ASSERT_EQ(QL_OK, again.Start());
    EXPECT_EQ(mDir.Read("data.dat"), pack) << "byte-identical";
}

TEST_F(PackScreenTest, NoMountsBuildNothingAndAnEmptyFolderGivesAHeaderWithoutEntries)
{
    gui::PackScreen nothing(L"x");
    EXPECT_EQ(QL_OK, nothing.Start());
    EXPECT_TRUE(nothing.GetReports().empty());
    fs::create_directories(mDir.Path() / "td");
    Mounts()[L"td/"] = L"data.dat";
    gui::PackScreen screen(L"x");
    ASSERT_EQ(QL_OK, screen.Start());
    const std::string pack = mDir.Read("data.dat");
    EXPECT_EQ(pack.size(), 14u);
    EXPECT_EQ(ReadU32(pack, 10), 0u);
    EXPECT_EQ(screen.GetReports()[0].files, 0u);
}

TEST_F(PackScreenTest, FirstFailureEndsTheWalkAndLeavesTheOldPack)
{
    mDir.Write("b/file.txt", "b");
    mDir.Write("old.dat", "previous pack");
    Mounts()[L"a/"] = L"old.dat"; // no such folder
    Mounts()[L"b/"] = L"b.dat";
    gui::PackScreen screen(L"x");
    EXPECT_NE(QL_OK, screen.Start());
    ASSERT_EQ(screen.GetReports().size(), 1u);
    EXPECT_NE(QL_OK, screen.GetReports()[0].result);
    EXPECT_FALSE(fs::exists(mDir.Path() / "b.dat"));
    EXPECT_EQ(mDir.Read("old.dat"), "previous pack");
}

} // namespace
