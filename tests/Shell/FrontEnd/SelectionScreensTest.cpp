// The episode and level selection in the running game: opened by the HUD, drawn every frame,
// answered through the frame manager's dispatch: pages turned by arrows and swipes, open and
// locked episodes, plates and tabs, the hardcore buttons, and what the progress store keeps.
#include "Shell/ShellGame.h"

#include "Source/TD/Data/TDText.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDLevelSelect.h"

namespace frontendtest
{
namespace
{
class SelectionTest : public shelltest::ShellGameTest
{
protected:
    HUDLevelSelect* OpenLevels(i32 episode, TDDifficulty mode)
    {
        run(2, 0.0f); // the board stands
        hud().closeAllWindows();
        map().mEpisode = episode;
        map().mMode = mode;
        hud().showLevelSelect();
        EXPECT_EQ(kScreenLevels, map().mScreen);
        EXPECT_TRUE(runUntil([this] { return top<HUDLevelSelect>() != nullptr; }, 0.5f));
        return top<HUDLevelSelect>();
    }
    // A drag through the frame manager: press, moves of step pixels dt seconds apart, release.
    void Drag(float fromX, float toX, float y, int steps, float dt)
    {
        press(fromX, y);
        EXPECT_EQ(QL_OK, frames().OnMouseDrag({fromX, y}));
        for (int i = 1; i <= steps; ++i)
        {
            ASSERT_TRUE(frame(dt));
            EXPECT_EQ(QL_OK, frames().OnMouseDrag(
                                 {fromX + (toX - fromX) * static_cast<float>(i) / static_cast<float>(steps), y}));
        }
        release(toX, y);
    }
    bool Idle(HUDEpisodeSelectIOS* s)
    {
        return runUntil([s] { return s->mCarousel->motion == EpisodeCarousel::kIdle; }, 2.0f);
    }
};
} // namespace

// One walk over the episodes: what they show, arrows, swipes, and taps on locked and open plates.
TEST_F(SelectionTest, EpisodesShowTheirLocksTurnByArrowsAndSwipesAndOpenOnlyWhenUnlocked)
{
    map().mProgress->createProfile(L"Ann");
    map().mEpisodes.set(2, TDEpisodeInfo{-1, -1, 0}); // a third episode, listed without levels
    run(2, 0.0f);                                     // the board stands
    hud().closeAllWindows();
    hud().showEpisodeSelect();
    EXPECT_EQ(kScreenEpisodes, map().mScreen) << "set before the screen joins";
    ASSERT_TRUE(runUntil([this] { return top<HUDEpisodeSelectIOS>() != nullptr; }, 0.5f));
    HUDEpisodeSelectIOS* s = top<HUDEpisodeSelectIOS>();
    ASSERT_EQ(3, s->mCarousel->count()) << "one plate per entry of the episode table";
    EXPECT_EQ(0, s->mCarousel->page);
    EXPECT_EQ(localized(L"episode0"), *s->getText(L"levelName"));
    EXPECT_EQ(localized(L"episodes_caption"), *s->getText(L"caption"));
    EXPECT_EQ(L"0/" + std::to_wstring(9 * map().getTotalLevelCount()), *s->getText(L"stars"));
    // Open and new; locked with the stars it needs; missing from the table: coming soon.
    const auto& plates = s->mCarousel->plates;
    EXPECT_EQ(nullptr, plates[0].lock);
    EXPECT_EQ(s->mNewFrame.get(), plates[0].newBadge);
    EXPECT_TRUE(plates[0].text.empty());
    EXPECT_EQ(s->mLockFrame.get(), plates[1].lock);
    EXPECT_EQ(L"6 stars\nto open", plates[1].text) << "the second episode's price, in its sentence";
    EXPECT_EQ(localized(L"comingSoon"), plates[2].text);
    EXPECT_EQ(s->mLockFrame.get(), plates[2].lock);
    EXPECT_EQ(0, s->findButton(L"arrow_left")->mVisible);
    EXPECT_EQ(1, s->findButton(L"arrow_right")->mVisible);
    run(5); // frames draw the screen

    // An arrow turns one page and the play button fades while the row moves.
    ASSERT_TRUE(click(L"arrow_right"));
    EXPECT_EQ(1, s->mCarousel->page);
    EXPECT_EQ(localized(L"episode1"), *s->getText(L"levelName"));
    EXPECT_EQ(kScreenEpisodes, map().mScreen) << "an arrow opens nothing";
    ASSERT_TRUE(frame(0.1f));
    EXPECT_EQ(HUDEpisodeSelectIOS::kPlayFadingOut, s->mPlayState) << "fading out";
    ASSERT_TRUE(Idle(s));
    EXPECT_EQ(0.0f, s->mCarousel->offset);
    EXPECT_TRUE(runUntil([s] { return s->mPlayState == HUDEpisodeSelectIOS::kPlayShown; }, 1.0f)) << "faded back in";
    EXPECT_EQ(1, s->findButton(L"arrow_left")->mVisible);
    tap(512.0f, 384.0f);
    EXPECT_EQ(kScreenEpisodes, map().mScreen) << "episode 1 needs stars";
    ASSERT_TRUE(click(L"arrow_left"));
    EXPECT_EQ(0, s->mCarousel->page);
    ASSERT_TRUE(Idle(s));

    // A swipe of a quarter page turns it; a shorter slow one slides back; a flick turns it.
    Drag(600.0f, 519.0f, 380.0f, 3, 0.01f); // 81 pixels to the left
    EXPECT_EQ(1, s->mCarousel->page);
    ASSERT_TRUE(Idle(s));
    EXPECT_EQ(kScreenEpisodes, map().mScreen) << "a swipe opens nothing";
    Drag(600.0f, 521.0f, 380.0f, 4, 0.15f); // 79 pixels, slowly
    EXPECT_EQ(1, s->mCarousel->page);
    ASSERT_TRUE(Idle(s));
    Drag(600.0f, 560.0f, 380.0f, 2, 0.01f); // a quick flick
    EXPECT_EQ(2, s->mCarousel->page);
    ASSERT_TRUE(Idle(s));
    Drag(600.0f, 400.0f, 380.0f, 2, 0.01f); // past the last page the row does not move
    EXPECT_EQ(2, s->mCarousel->page);
    EXPECT_EQ(0.0f, s->mCarousel->offset);
    ASSERT_TRUE(Idle(s));

    // Back on the open first episode a tap opens its levels.
    for (int i = 0; i < 2; ++i)
    {
        ASSERT_TRUE(click(L"arrow_left"));
        ASSERT_TRUE(Idle(s));
    }
    map().mEpisode = 7;
    tap(512.0f, 384.0f);
    EXPECT_EQ(kScreenLevels, map().mScreen);
    EXPECT_EQ(0, map().mEpisode);
    EXPECT_TRUE(runUntil([this] { return top<HUDLevelSelect>() != nullptr; }, 0.5f));
    EXPECT_EQ(1u, hud().windows().size()) << "the episode selection closed";
}

// Each turn by an arrow, one way or the other and again, slides the row at 800 pixels a second and
// fades the play button out at 4 a second and back in once the row stands.
TEST_F(SelectionTest, EveryTurnSlidesTheRowAndFadesThePlayButtonAsTheFirstDid)
{
    map().mProgress->createProfile(L"Ann");
    run(2, 0.0f);
    hud().closeAllWindows();
    hud().showEpisodeSelect();
    ASSERT_TRUE(runUntil([this] { return top<HUDEpisodeSelectIOS>() != nullptr; }, 0.5f));
    HUDEpisodeSelectIOS* s = top<HUDEpisodeSelectIOS>();
    ASSERT_GE(s->mCarousel->count(), 2);
    ASSERT_TRUE(runUntil([s] { return s->mPlayState == HUDEpisodeSelectIOS::kPlayShown; }, 1.0f));
    for (const i32 direction : {1, -1, 1, -1})
    {
        SCOPED_TRACE(direction);
        const i32 page = s->mCarousel->page;
        ASSERT_TRUE(click(direction > 0 ? L"arrow_right" : L"arrow_left"));
        EXPECT_EQ(page + direction, s->mCarousel->page);
        ASSERT_TRUE(frame(0.1f));
        EXPECT_NEAR(-direction * 240.0f, s->mCarousel->offset, 0.01f);
        EXPECT_NEAR(0.6f, s->mPlayAlpha, 1e-4f);
        ASSERT_TRUE(frame(0.1f));
        EXPECT_NEAR(-direction * 160.0f, s->mCarousel->offset, 0.01f);
        EXPECT_NEAR(0.2f, s->mPlayAlpha, 1e-4f);
        ASSERT_TRUE(frame(0.1f));
        EXPECT_EQ(HUDEpisodeSelectIOS::kPlayHidden, s->mPlayState);
        ASSERT_TRUE(frame(0.15f));
        EXPECT_EQ(0.0f, s->mCarousel->offset);
        EXPECT_EQ(EpisodeCarousel::kIdle, s->mCarousel->motion);
        EXPECT_NEAR(0.6f, s->mPlayAlpha, 1e-4f) << "fading back in from the frame the row stands";
        ASSERT_TRUE(runUntil([s] { return s->mPlayState == HUDEpisodeSelectIOS::kPlayShown; }, 1.0f));
        EXPECT_EQ(1.0f, s->mPlayAlpha);
    }
}

TEST_F(SelectionTest, LevelPlatesShowProgressTabsSwitchTheModeHardcoreOpensWithEveryStarAndBackLeaves)
{
    TDLevelResult three;
    three.stars = 3;
    map().mProgress->saveLevelResult(0, 0, kDifficultyNormal, three);
    HUDLevelSelect* s = OpenLevels(0, kDifficultyNormal);
    ASSERT_NE(nullptr, s);
    ASSERT_EQ(3u, s->mPlates.size());
    EXPECT_EQ(80, s->mPlates[0].x);
    EXPECT_EQ(220, s->mPlates[0].y);
    EXPECT_EQ(205, s->mPlates[1].x);
    EXPECT_TRUE(s->mPlates[0].played);
    EXPECT_FALSE(s->mPlates[0].showNumber) << "three stars hide the number";
    EXPECT_FALSE(s->mPlates[0].next);
    EXPECT_TRUE(s->mPlates[1].next) << "the first level without stars";
    EXPECT_EQ(nullptr, s->mPlates[0].particles);
    ASSERT_NE(nullptr, s->mPlates[1].particles) << "the next level shows the active_lvl particles";
    EXPECT_EQ(nullptr, s->mPlates[2].particles);
    EXPECT_TRUE(s->mPlates[1].showNew);
    EXPECT_EQ(3, map().mProgress->getEpisodeVisited(0, kDifficultyNormal)) << "seen once opened";
    EXPECT_EQ(L"0", *s->getText(L"gems")) << "no crystals yet";
    // Hardcore needs every star of the episode: only the locked button shows.
    EXPECT_EQ(1, s->findButton(L"locked_d")->mVisible);
    EXPECT_EQ(0, s->findButton(L"unlocked_d")->mVisible);
    EXPECT_EQ(857.0f, s->findButton(L"locked_d")->mX);
    EXPECT_TRUE(s->mHardcoreNew) << "a locked Ordeal not yet seen is news too";
    run(5);

    // Plates answer their index whether open or not; outside them -1.
    EXPECT_EQ(1, s->ButtonAt(205 + 50, 220 + 50));
    EXPECT_EQ(-1, s->ButtonAt(80, 220)) << "edges are outside";
    EXPECT_EQ(-1, s->ButtonAt(600, 600));

    // A second opening shows no "new" badges.
    HUDLevelSelect* again = OpenLevels(0, kDifficultyNormal);
    ASSERT_NE(nullptr, again);
    EXPECT_FALSE(again->mPlates[1].showNew);

    // The shop's tab bar: three tabs 290 apart from x 216, the current mode's selected; the third
    // switches the mode, stores it and rebuilds the plates (nothing played in that mode).
    ASSERT_EQ(3u, again->mTabBar->tabs.size());
    EXPECT_EQ(506.0f, again->mTabBar->tabs[1]->x);
    EXPECT_TRUE(again->mTabBar->tabs[1]->selected);
    const ShopTab& third = *again->mTabBar->tabs[2];
    tap(third.x, third.y - 10.0f);
    EXPECT_EQ(kDifficultyHard, map().mMode);
    EXPECT_EQ(kDifficultyHard, map().mProgress->getMode());
    EXPECT_TRUE(third.selected);
    EXPECT_FALSE(again->mTabBar->tabs[1]->selected);
    EXPECT_FALSE(again->mPlates[0].played) << "the plates of the new mode";
    EXPECT_EQ(kScreenLevels, map().mScreen);

    // A locked plate opens nothing (an open one starting its level is how every playthrough
    // reaches its battle); "back" returns to the episodes.
    map().mLevel = 5;
    tap(330.0f + 50.0f, 220.0f + 50.0f);
    EXPECT_EQ(kScreenLevels, map().mScreen);
    EXPECT_EQ(5, map().mLevel);
    ASSERT_TRUE(click(L"back"));
    EXPECT_EQ(kScreenEpisodes, map().mScreen);
    EXPECT_TRUE(runUntil([this] { return top<HUDEpisodeSelectIOS>() != nullptr; }, 0.5f));

    // The locked hardcore button explains; once open it shows the hardcore levels.
    s = OpenLevels(0, kDifficultyNormal);
    ASSERT_NE(nullptr, s);
    ASSERT_TRUE(click(L"locked_d"));
    EXPECT_EQ(map().getHardcoreLevelCount(0), map().mProgress->getEpisodeVisited(0, kDifficultyHardcore));
    ASSERT_TRUE(runUntil([this, s] { return top<HUDWindow>() != s; }, 0.5f));
    const std::wstring locked = top<HUDWindow>()->getText(L"message") ? *top<HUDWindow>()->getText(L"message") : L"";
    // The rule in numbers: three stars per level of the episode, every difficulty counting.
    EXPECT_EQ(tdtext::fillNumbers(localized(L"HardcoreUnlockMessage"), {3 * map().getLevelCount(0), 3}), locked);
    EXPECT_EQ(std::wstring::npos, locked.find(L"%d"));
    s = OpenLevels(0, kDifficultyNormal);
    ASSERT_NE(nullptr, s);
    EXPECT_FALSE(s->mHardcoreNew) << "seen once its lock was looked at";

    // One star a level at each of three difficulties opens it as three stars a level do.
    TDLevelResult one;
    one.stars = 1;
    for (TDDifficulty mode : {kDifficultyEasy, kDifficultyNormal, kDifficultyHard})
        for (i32 level = 1; level < map().getLevelCount(0); ++level)
            map().mProgress->saveLevelResult(0, level, mode, one);
    map().mProgress->setEpisodeVisited(0, kDifficultyHardcore, 0);
    s = OpenLevels(0, kDifficultyNormal);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(1, s->findButton(L"unlocked_d")->mVisible);
    EXPECT_TRUE(s->mHardcoreNew) << "an open Ordeal not yet seen";
    ASSERT_TRUE(click(L"unlocked_d"));
    EXPECT_EQ(kDifficultyHardcore, map().mMode);
    ASSERT_TRUE(runUntil([this] { return top<HUDLevelSelect>() != nullptr; }, 0.5f));
    s = top<HUDLevelSelect>();
    run(1);
    EXPECT_EQ(static_cast<size_t>(map().getHardcoreLevelCount(0)), s->mPlates.size());
    EXPECT_EQ(0, s->findButton(L"upgrade")->mVisible);
    EXPECT_TRUE(map().mProgress->isEventSeen(0)) << "the hardcore notice is shown once";
    EXPECT_TRUE(s->mTabBar->tabs.empty()) << "no tabs in hardcore";
    tap(796.0f, 186.0f);
    EXPECT_EQ(kDifficultyHardcore, map().mMode);

    // "back" returns to the normal levels with the stored mode.
    map().mScreen = kScreenLevels;
    hud().closeAllWindows();
    hud().pushWindow(s = new HUDLevelSelect(map()));
    ASSERT_TRUE(frame(0.0f));
    ASSERT_TRUE(click(L"back"));
    EXPECT_EQ(map().mProgress->getMode(), map().mMode);
    EXPECT_EQ(kScreenLevels, map().mScreen);
}
} // namespace frontendtest
