// The screens around a battle in the running game: the level-name banner and the level result,
// with their buttons through the frame manager's dispatch and what the progress store keeps.
#include "Shell/ShellGame.h"

#include "Core/Widget/Controls/GameSettings.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDLevelName.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
#include "Source/TD/Sprites/TDFrameEntry.h"
#include "TD/DrawRecorder.h"

namespace frontendtest
{
namespace
{
bool FrameVisible(const HUDWindow& w, const std::wstring& name)
{
    for (const TDFrameEntry* image : w.mImages)
        if (image->mName == name)
            return image->mVisible != 0;
    ADD_FAILURE() << "no picture " << std::string(name.begin(), name.end());
    return false;
}

using BattleScreensTest = shelltest::ShellGameTest;
} // namespace

TEST_F(BattleScreensTest, TheBannerNamesTheLevelAndClosesItselfAndTheNextLevelLoadsUntilTheEpisodeEnds)
{
    ASSERT_TRUE(startLevel(0, 0));
    const TDDifficulty mode = map().mMode;
    map().mEpisode = 1;
    map().mLevel = 4;
    map().mMode = kDifficultyHardcore;
    hud().showLevelName();
    auto* banner = dynamic_cast<HUDLevelName*>(board().mBannerWindow.get());
    ASSERT_NE(nullptr, banner);
    EXPECT_EQ(localized(L"episodeHardcore1"), banner->mTitle);
    EXPECT_EQ(localized(L"level_d") + L" 5", banner->mSubtitle);
    EXPECT_FLOAT_EQ(0.0f, banner->alpha());
    ASSERT_EQ(QL_OK, game().FrameStep(0.25f));
    EXPECT_NEAR(0.5f, banner->alpha(), 1e-5f);
    ASSERT_EQ(QL_OK, game().FrameStep(0.3f));
    EXPECT_EQ(HUDLevelName::kHolding, banner->mPhase);
    EXPECT_FLOAT_EQ(1.0f, banner->alpha());
    // The countdown beside each start button is drawn under the banner too.
    ASSERT_FALSE(map().mNextWave.buttons.empty());
    tdtest::RecordingCanvas canvas;
    drawBattle(canvas);
    size_t countdowns = 0;
    for (const tdtest::Drawn& d : canvas.drawn)
        countdowns += d.kind == tdtest::Drawn::Text &&
                      (d.name.rfind(localized(L"game_nextwave"), 0) == 0 || d.name == localized(L"game_incoming"));
    EXPECT_EQ(map().mNextWave.buttons.size(), countdowns);
    ASSERT_TRUE(runUntil([this] { return board().mBannerWindow == nullptr; }, 3.0f, 0.05f));

    // A normal mode names the episode by its plain key.
    HUDLevelName plain(0, 0, kDifficultyNormal);
    EXPECT_EQ(localized(L"episode0"), plain.mTitle);

    // The next level loads until the episode ends, then the episodes open.
    map().mEpisode = 0;
    map().mLevel = 0;
    map().mMode = mode;
    hud().nextLevel();
    EXPECT_EQ(1, map().mLevel);
    EXPECT_TRUE(map().isLevelLoaded());
    map().mLevel = map().getLevelCount(0) - 1;
    hud().nextLevel();
    EXPECT_EQ(kScreenEpisodes, map().mScreen);
    EXPECT_TRUE(runUntil([this] { return top<HUDEpisodeSelectIOS>() != nullptr; }, 0.5f));

    // After the last hardcore level the mode comes back from the progress store.
    map().mProgress->setMode(kDifficultyHard);
    map().mMode = kDifficultyHardcore;
    map().mLevel = map().getHardcoreLevelCount(0) - 1;
    hud().nextLevel();
    EXPECT_EQ(kDifficultyHard, map().mMode);
    EXPECT_EQ(kScreenEpisodes, map().mScreen);
}

TEST_F(BattleScreensTest, AFullHealthVictoryShowsThreeStarsPaysAndCountsTheScoresUp)
{
    ASSERT_TRUE(startLevel(0, 0));
    map().mHealth = map().mMaxHealth;
    map().mStats.mKillScore = 0;
    map().mStats.mComboBonus = 0;
    const i32 gems = map().mStats.mGems;
    map().showVictory();
    EXPECT_EQ(kScreenWon, map().mScreen);
    ASSERT_TRUE(runUntil([this] { return top<HUDLevelResultWindow>() != nullptr; }, 0.5f, 0.01f));
    HUDLevelResultWindow* w = top<HUDLevelResultWindow>();
    EXPECT_EQ(3, w->outcome().stars);
    EXPECT_EQ(13, w->outcome().reward) << "3 + 5 + 5 for a first play";
    EXPECT_EQ(gems + 13, map().mStats.mGems);
    for (const wchar_t* star : {L"star0", L"star1", L"star2"})
        EXPECT_TRUE(FrameVisible(*w, star));
    EXPECT_FALSE(FrameVisible(*w, L"back_lose"));
    EXPECT_EQ(localized(L"gems") + L": 13", *w->getText(L"gems"));
    EXPECT_EQ(localized(L"game_win"), *w->getText(L"levelResult"));
    EXPECT_EQ(3, map().mProgress->getLevelResult(0, 0, map().mMode).stars);

    // Grows in, then with no kills passes the gold bonus and counts the life bonus; the total
    // waits at 0, then counts up in its own second.
    EXPECT_LT(w->mScale, 1.0f);
    ASSERT_TRUE(runUntil([w] { return w->mAppear >= HUDLevelResultWindow::kLifeBonus; }, 1.0f));
    EXPECT_EQ(1.0f, w->mScale);
    run(15);
    const i32 life = static_cast<i32>(map().mHealth * 100.0f);
    const std::wstring& counting = *w->getText(L"lifeBonus");
    const std::wstring shown = counting.substr(localized(L"game_life_bonus").size());
    EXPECT_NE(L"0", shown);
    EXPECT_NE(std::to_wstring(life), shown) << "half way through";
    EXPECT_EQ(localized(L"game_total_score") + L"0", *w->getText(L"totalScore"));
    ASSERT_TRUE(runUntil([w] { return w->mAppear == HUDLevelResultWindow::kTotal; }, 2.0f));
    EXPECT_EQ(localized(L"game_life_bonus") + std::to_wstring(life), *w->getText(L"lifeBonus"));
    run(15); // half of the total's second
    const std::wstring total = w->getText(L"totalScore")->substr(localized(L"game_total_score").size());
    EXPECT_GT(std::stoi(total), life / 4) << "half way through";
    EXPECT_LT(std::stoi(total), life * 3 / 4) << "half way through";
    ASSERT_TRUE(runUntil([w] { return w->mAppear == HUDLevelResultWindow::kDone; }, 2.0f));
    EXPECT_EQ(localized(L"game_life_bonus") + std::to_wstring(life), *w->getText(L"lifeBonus"));
    EXPECT_EQ(localized(L"game_total_score") + std::to_wstring(life), *w->getText(L"totalScore"));
}

TEST_F(BattleScreensTest, OneAndTwoStarWinsShowTheirStarsAndEachReplayPaysOnlyTheStarsItAdds)
{
    ASSERT_TRUE(startLevel(0, 0));
    const TDDifficulty mode = map().mMode;
    // Played four times in a row, each a restart from the last result window: a quarter of the
    // health left, then exactly half, three quarters, and all of it.
    struct Play
    {
        float health; // of the maximum
        i32 stars, reward, stored;
    };
    bool first = true;
    for (const Play& play : {Play{0.25f, 1, 3, 1}, Play{0.5f, 2, 5, 2}, Play{0.75f, 2, 0, 2}, Play{1.0f, 3, 5, 3}})
    {
        SCOPED_TRACE(play.health);
        if (!first)
        {
            ASSERT_TRUE(click(*top<HUDLevelResultWindow>(), L"restart"));
            ASSERT_TRUE(closeUnlockMessages());
            ASSERT_EQ(kScreenBattle, map().mScreen);
        }
        first = false;
        map().mHealth = map().mMaxHealth * play.health;
        const i32 gems = map().mStats.mGems;
        map().showVictory();
        ASSERT_TRUE(runUntil([this] { return top<HUDLevelResultWindow>() != nullptr; }, 0.5f, 0.01f));
        HUDLevelResultWindow* w = top<HUDLevelResultWindow>();
        EXPECT_EQ(play.stars, w->outcome().stars);
        EXPECT_EQ(play.reward, w->outcome().reward);
        for (i32 i = 0; i < 3; ++i)
            EXPECT_EQ(i < play.stars, FrameVisible(*w, L"star" + std::to_wstring(i))) << "star " << i;
        EXPECT_EQ(localized(L"gems") + L": " + std::to_wstring(play.reward), *w->getText(L"gems"));
        EXPECT_EQ(gems + play.reward, map().mStats.mGems);
        EXPECT_EQ(gems + play.reward, map().mProgress->getGems());
        EXPECT_EQ(play.stored, map().mProgress->getLevelResult(0, 0, mode).stars);
        ASSERT_TRUE(runUntil([w] { return w->mAppear == HUDLevelResultWindow::kDone; }, 5.0f));
    }
}

TEST_F(BattleScreensTest, ADefeatShowsNoStarsKeepsTheStoredOnesCountsTheKillsFirstAndRestarts)
{
    TDLevelResult two;
    two.stars = 2;
    ASSERT_TRUE(startLevel(0, 0));
    map().mProgress->saveLevelResult(0, 0, map().mMode, two);
    map().mStats.mKillScore = 40;
    map().showDefeat();
    ASSERT_TRUE(runUntil([this] { return top<HUDLevelResultWindow>() != nullptr; }, 0.5f, 0.01f));
    HUDLevelResultWindow* w = top<HUDLevelResultWindow>();
    EXPECT_EQ(0, w->outcome().stars);
    EXPECT_EQ(0, w->outcome().reward);
    for (const wchar_t* star : {L"star0", L"star1", L"star2"})
        EXPECT_FALSE(FrameVisible(*w, star));
    EXPECT_TRUE(FrameVisible(*w, L"diffictly_lose"));
    EXPECT_EQ(2, map().mProgress->getLevelResult(0, 0, map().mMode).stars) << "stored stars never drop";
    ASSERT_TRUE(runUntil([w] { return w->mAppear == HUDLevelResultWindow::kKillScore; }, 1.0f));
    ASSERT_TRUE(runUntil([w] { return w->mAppear == HUDLevelResultWindow::kLifeBonus; }, 2.0f));
    EXPECT_EQ(localized(L"game_kill_score") + L"40", *w->getText(L"killScore"));
    EXPECT_EQ(localized(L"game_total_score") + L"0", *w->getText(L"totalScore")) << "the total counts last";
    ASSERT_TRUE(runUntil([w] { return w->mAppear == HUDLevelResultWindow::kDone; }, 3.0f));
    const i32 life = static_cast<i32>(map().mHealth * 100.0f);
    EXPECT_EQ(localized(L"game_total_score") + std::to_wstring(40 + life), *w->getText(L"totalScore"));

    // "restart" starts the level again.
    ASSERT_TRUE(click(*w, L"restart"));
    EXPECT_EQ(kScreenUnlockMessage, map().mScreen) << "the level opens again on its unlock message";
    // A confirmed "mmenu" box (the in-game menu's) leads to the main menu.
    gui::GameSettings::Get()->OnMessageBoxResult(L"mmenu");
    EXPECT_EQ(kScreenMainMenu, map().mScreen);
}
} // namespace frontendtest
