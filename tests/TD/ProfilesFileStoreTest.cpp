// The progress store over the engine's profiles file: what a setter writes survives a reload.
#include "Core/File/Profiles.h"
#include "Core/File/UserDataFileContainer.h"
#include "Source/TD/TDEpisodeTable.h"
#include "Source/TD/TDProfilesFileStore.h"
#include "Source/TD/TDProgress.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace
{
struct QuietHost : TDProgressHost
{
    TDEpisodeTable table;
    i32 currentMode() const override { return 1; }
    i32 startGems() const override { return 0; }
    const TDEpisodeTable& episodeTable() const override { return table; }
    std::vector<i32> upgradeIds() const override { return {}; }
    bool isEpisodeUnlocked(i32) override { return true; }
    void onProfileSelected(i32, i32) override {}
    void reloadTutorial() override {}
    void setTutorialActive(bool) override {}
    bool isFullscreen() const override { return false; }
    void switchScreenMode() override {}
};
} // namespace

TEST(ProfilesFileStore, SettersSaveThroughTheProfilesFile)
{
    base::SingletoneBase::DestroyAll();
    testsupport::TempDir dir;
    file::UserDataFileContainer::Instance()->SetPath(dir.WPath("user/"));
    {
        TDProfilesFileStore store;
        QuietHost host;
        TDProgress progress(store, host);
        progress.createProfile(L"Ann");
        progress.setGems(42);
        progress.addOwnedSpot("#3", 0, 1);
    }
    std::string saved = dir.Read("user/profiles.xml");
    EXPECT_NE(saved.find("amount=\"42\""), std::string::npos);
    EXPECT_NE(saved.find("currentProfile=\"Ann\""), std::string::npos);

    file::Profiles::Instance()->Load();
    TDProfilesFileStore store;
    QuietHost host;
    TDProgress progress(store, host);
    EXPECT_EQ(store.currentProfileName(), L"Ann");
    EXPECT_EQ(progress.getGems(), 42);
    EXPECT_TRUE(progress.isSpotOwned("#3", 0, 1));
    base::SingletoneBase::DestroyAll();
}
