// Level start (music by episode, start health, counters, opening window) and level end (the
// result window's texts, the result stored once with its stars and gems).
#include "InputFixture.h"

#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
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

using LevelEnd = InputFixture;

TEST_F(LevelEnd, AVictoryStoresStarsAndGemsOnce)
{
    TDMap& m = begin();
    i32 gems = m.mStats.mGems;
    m.showVictory();
    EXPECT_EQ(m.mScreen, 1);
    EXPECT_EQ(m.mSpeed, 0.0f);
    EXPECT_TRUE(ihud.shown(L"pause_btn_ac"));
    EXPECT_EQ(sounds.music.back(), L"");
    EXPECT_EQ(played(L"winSound"), 1u);
    EXPECT_EQ(opened<HUDLevelResultWindow>(), 1);
    EXPECT_EQ(m.mLevelOutcome.stars, 3);
    TDLevelResult stored = m.mProgress->getLevelResult(0, 0, 1);
    EXPECT_EQ(stored.stars, 3);
    // 13 for three new stars; the episode has three levels, so no bonus yet.
    EXPECT_EQ(m.mStats.mGems, gems + 13);
    EXPECT_EQ(m.mProgress->getGems(), gems + 13);
    m.showVictory();
    m.showDefeat();
    EXPECT_EQ(opened<HUDLevelResultWindow>(), 1);
    EXPECT_EQ(m.mProgress->getGems(), gems + 13);

    // Played again with fewer stars: the stored stars stay, nothing is paid.
    ASSERT_EQ(m.restart(), QL_OK);
    m.mHealth = 10.0f;
    m.showVictory();
    EXPECT_EQ(m.mLevelOutcome.stars, 1);
    EXPECT_EQ(m.mLevelOutcome.reward, 0);
    EXPECT_EQ(m.mProgress->getLevelResult(0, 0, 1).stars, 3);
    EXPECT_EQ(m.mProgress->getGems(), gems + 13);
}

TEST_F(LevelEnd, TheEpisodeBonusIsPaidOnceByTheWindowAfterTheEpisodeIsComplete)
{
    TDMap& m = begin();
    ASSERT_EQ(m.getLevelCount(0), 3);
    TDLevelResult one;
    one.stars = 1;
    m.mProgress->saveLevelResult(0, 0, 1, one);
    m.mProgress->saveLevelResult(0, 1, 1, one);
    files.put(L"td/levels_normal/level_01_03.xml", battleLevel("<wave spawn=\"1\" timeout=\"600\"><e id=\"1\"/></wave>"));
    m.mLevel = 2;
    ASSERT_EQ(m.loadLevel(), QL_OK);
    i32 gems = m.mStats.mGems;
    m.mHealth = m.mMaxHealth * 0.5f;
    m.showVictory();
    EXPECT_EQ(m.mLevelOutcome.stars, 2);
    // The window in which the last level earns its first star pays no bonus.
    EXPECT_EQ(m.mStats.mGems, gems + 8);
    EXPECT_FALSE(m.mProgress->isEventSeen(1));
    ASSERT_EQ(m.restart(), QL_OK);
    m.showVictory();
    EXPECT_EQ(m.mLevelOutcome.reward, 13 - 8 + 100);
    EXPECT_TRUE(m.mProgress->isEventSeen(1));
    ASSERT_EQ(m.restart(), QL_OK);
    m.mHealth = 10.0f;
    m.showVictory();
    EXPECT_EQ(m.mLevelOutcome.reward, 0);
}

TEST_F(LevelEnd, TheWindowNamesTheLevelAndItsOutcome)
{
    TDMap& m = begin();
    m.mStats.mGemsWon = 2;
    m.showDefeat();
    LocalStrings* strings = LocalStrings::Instance();
    EXPECT_EQ(ihud.font, L"td/data/fonts/main_42_2");
    EXPECT_TRUE(ihud.frames[L"diffictly_lose"]);
    for (const wchar_t* hidden : {L"back_win", L"victory_label", L"star0"})
        EXPECT_FALSE(ihud.frames[hidden]) << hidden;
    EXPECT_EQ(text(L"levelResult"), strings->get(L"game_lose"));
    EXPECT_EQ(text(L"gameName"), strings->get(L"diff_normal"));
    EXPECT_EQ(text(L"gems"), strings->get(L"gems") + L": 2");
    EXPECT_EQ(text(L"levelName"), strings->get(L"episode0") + L" 1 - 1") << "the defeat names its level too";
    EXPECT_EQ(m.mResultAction, 1);
    EXPECT_EQ(played(L"loseSound"), 1u);

    // A hardcore victory names the hardcore episode.
    ASSERT_EQ(m.restart(), QL_OK);
    m.mMode = 3;
    m.mLevel = 4;
    m.showVictory();
    EXPECT_EQ(ihud.font, L"td/data/fonts/main_42_3");
    EXPECT_EQ(text(L"levelName"), strings->get(L"episodeHardcore0") + L" 1 - 5");
    EXPECT_EQ(text(L"gameName"), L"");
    EXPECT_EQ(text(L"levelResult"), strings->get(L"game_win"));
    EXPECT_EQ(m.mResultAction, 2);
}
} // namespace
