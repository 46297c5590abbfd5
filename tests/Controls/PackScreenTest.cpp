// The pack-building screen: every mounted folder becomes its pack, in prefix order; the first
// failure ends the walk; progress is kept per pack.
#include "Core/Widget/Controls/PackScreen.h"
#include "Core/Base/Singletone.h"
#include "Core/File/FileManager.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace
{
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
    std::map<std::wstring, std::wstring, file::Utf16Less>& Mounts() { return file::FileManager::Instance()->mMounts; }

    testsupport::TempDir mDir;
    fs::path mOld;
};

// The pack bytes, their determinism and empty folders are the pack builder's own tests.
TEST_F(PackScreenTest, BuildsEveryMountedFolderIntoItsPackInPrefixOrderUntilTheFirstFailure)
{
    gui::PackScreen nothing(L"x");
    EXPECT_EQ(QL_OK, nothing.Start());
    EXPECT_TRUE(nothing.GetReports().empty()) << "no mounts";

    mDir.Write("td/levels/a.xml", "<Level/>");
    mDir.Write("td/Name.txt", "upper"); // case makes separate entries
    mDir.Write("td/name.txt", "lower");
    mDir.Write("fx/fx.ptc", "particles");
    Mounts()[L"td/"] = L"data.dat";
    Mounts()[L"fx/"] = L"fx.dat";
    gui::PackScreen screen(L"all");
    ASSERT_EQ(QL_OK, screen.Start());
    ASSERT_EQ(screen.GetReports().size(), 2u);
    EXPECT_EQ(screen.GetReports()[0].folder, L"fx/");
    EXPECT_EQ(screen.GetReports()[1].pack, L"data.dat");
    EXPECT_EQ(screen.GetReports()[1].files, 3u);
    EXPECT_TRUE(screen.GetCurrentFile().empty());
    EXPECT_NE(mDir.Read("data.dat").find("<Level/>"), std::string::npos);
    EXPECT_NE(mDir.Read("fx.dat").find("particles"), std::string::npos);

    // The first failure ends the walk and leaves the old pack.
    Mounts().clear();
    mDir.Write("b/file.txt", "b");
    mDir.Write("old.dat", "previous pack");
    Mounts()[L"a/"] = L"old.dat"; // no such folder
    Mounts()[L"b/"] = L"b.dat";
    gui::PackScreen failing(L"x");
    EXPECT_NE(QL_OK, failing.Start());
    ASSERT_EQ(failing.GetReports().size(), 1u);
    EXPECT_NE(QL_OK, failing.GetReports()[0].result);
    EXPECT_FALSE(fs::exists(mDir.Path() / "b.dat"));
    EXPECT_EQ(mDir.Read("old.dat"), "previous pack");
}
} // namespace
