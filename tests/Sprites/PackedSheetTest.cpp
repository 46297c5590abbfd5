// Sprite sheets read from a data pack mounted under "td/", as the game ships them.
#include "SpriteFakes.h"

#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Sprites/TDPsdSheet.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace spritetest;

TEST(PackedSheet, UnitSheetLoadsFromTheMountedPackAsFromLooseFiles)
{
    testsupport::TempDir dir;
    std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    std::filesystem::create_directories("src/units");
    std::filesystem::copy_file(std::string(QL_CONTENT_DIR) + "td/units/t1units.psd", "src/units/t1units.psd");
    ASSERT_EQ(file::BuildPack(L"src", L"data.dat"), QL_OK);

    TDResources* res = FreshResources();
    file::FileManager::Instance()->mMounts[L"td/"] = L"data.dat";
    res->loadContainer(L"td/units/t1units");
    const size_t packed = res->graphics().size();
    TDGraphic* imp = res->getGraphic("imp", "imp", 0);

    file::FileManager::Instance()->mMounts.clear();
    std::filesystem::rename("src", "td");
    std::unique_ptr<TDPsdSheet> loose = TDPsdSheet::open(L"td/units/t1units", false);
    std::filesystem::current_path(old);

    EXPECT_GT(packed, 5u);
    ASSERT_EQ(res->graphics().size(), packed); // the prototype found its packed group
    ASSERT_NE(loose, nullptr);
    ASSERT_EQ(imp->mContainer->imageCount(), loose->imageCount());
    for (size_t i = 0; i < loose->imageCount(); ++i)
    {
        EXPECT_EQ(imp->mContainer->image(i).mName, loose->image(i).mName);
        EXPECT_EQ(imp->mContainer->image(i).mX, loose->image(i).mX);
    }
    EXPECT_GE(imp->frameCount("walk"), 4);
    base::SingletoneBase::DestroyAll();
}
