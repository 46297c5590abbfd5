// Level start: music by episode, the counters a restart resets and keeps, the opening window.
#include "InputFixture.h"

#include "Source/TD/Shell/HUDUnlockMessage.h"

using namespace tdtest;

namespace
{
using LevelStart = InputFixture;

TEST_F(LevelStart, MusicFollowsTheEpisode)
{
    TDMap& m = begin();
    for (auto [episode, track] : {std::pair{6, L"td/data/music/ingame7.ogg"}, {7, L"td/data/music/ingame1.ogg"},
                                  {-1, L"td/data/music/ingame1.ogg"}})
    {
        m.mEpisode = episode;
        ASSERT_EQ(m.restart(), QL_OK);
        EXPECT_EQ(sounds.music.back(), track) << episode;
    }
}

TEST_F(LevelStart, RestartKeepsTheGemTotalAndEndsPausesAndSpeedUps)
{
    TDMap& m = begin();
    m.mStats.addGems(4);
    m.mStats.addKill(10, 0, 0);
    i32 total = m.mStats.mGems;
    ASSERT_NE(m.buildTower(0, 100), nullptr);
    m.mSpeed = 2.0f;
    m.mSelectedSpell = 1;
    tutorial.hooks.clear();
    ASSERT_EQ(m.restart(), QL_OK);
    EXPECT_EQ(m.mStats.mGems, total);
    EXPECT_EQ(m.mStats.mGemsWon, 0);
    EXPECT_EQ(m.mStats.mKillScore, 0);
    EXPECT_EQ(m.mStats.mCoins, 500);
    EXPECT_TRUE(m.mTowers.empty());
    EXPECT_EQ(m.mSpeed, 1.0f);
    EXPECT_EQ(m.mScreen, 0);
    EXPECT_EQ(m.mSelectedSpell, -1);
    EXPECT_TRUE(ihud.shown(L"play_btn_ac"));
    EXPECT_EQ(ihud.count(L"closeAll"), 2u);
    EXPECT_EQ(tutorial.hooks, (std::vector<std::wstring>{L"reset"}));
    EXPECT_EQ(screen.loadingPictures, 2);
}

TEST_F(LevelStart, OpeningWindowFollowsTheUnlockList)
{
    files.put(L"td/unlocks.csv", "0;0;-1\n0;1;300\n");
    files.put(L"td/levels_normal/level_01_02.xml", battleLevel("<wave spawn=\"1\"><e id=\"1\"/></wave>"));
    files.put(L"td/levels_normal/level_01_03.xml", battleLevel("<wave spawn=\"1\"><e id=\"1\"/></wave>"));
    i32 banners = 0;
    ihud.mOnBanner = [&banners](HUDWindow* banner) {
        ++banners;
        delete banner;
    };
    TDMap& m = begin();
    EXPECT_EQ(banners, 0);
    EXPECT_EQ(opened<HUDUnlockMessage>(), 0u);
    m.mLevel = 1;
    ASSERT_EQ(m.loadLevel(), QL_OK);
    EXPECT_EQ(opened<HUDUnlockMessage>(), 1u);
    EXPECT_EQ(m.mScreen, 11);
    m.mLevel = 2;
    ASSERT_EQ(m.loadLevel(), QL_OK);
    EXPECT_EQ(banners, 1);
    EXPECT_EQ(m.mScreen, 0);
}

} // namespace
