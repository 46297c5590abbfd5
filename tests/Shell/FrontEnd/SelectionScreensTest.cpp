// The episode and level selection in the running game: opened by the HUD, drawn every frame,
// answered through the frame manager's dispatch: pages turned by arrows and swipes, open and
// locked episodes, plates and tabs, the hardcore buttons, and what the progress store keeps.
#include "FrontEndFixture.h"

#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Data/TDProgress.h"

namespace frontendtest
{
namespace
{
std::wstring L10n(const std::wstring& key) { return LocalStrings::Instance()->get(key); }

class SelectionTest : public FrontEndTest
{
protected:
    // Opens on the demo's episodes and a third the table lists without levels.
    HUDEpisodeSelectIOS* OpenEpisodes()
    {
        mMap->mEpisodes.set(2, TDEpisodeInfo{-1, -1, 0});
        Run(2, 0.0f); // the board stands
        Hud()->closeAllWindows();
        Hud()->showEpisodeSelect();
        EXPECT_EQ(5, mMap->mScreen) << "set before the screen joins";
        EXPECT_TRUE(RunUntil([this] { return Top<HUDEpisodeSelectIOS>() != nullptr; }, 0.5f));
        return Top<HUDEpisodeSelectIOS>();
    }
    HUDLevelSelect* OpenLevels(i32 episode, i32 mode)
    {
        Run(2, 0.0f); // the board stands
        Hud()->closeAllWindows();
        mMap->mEpisode = episode;
        mMap->mMode = mode;
        Hud()->showLevelSelect();
        EXPECT_EQ(6, mMap->mScreen);
        EXPECT_TRUE(RunUntil([this] { return Top<HUDLevelSelect>() != nullptr; }, 0.5f));
        return Top<HUDLevelSelect>();
    }
    void Centre(const std::wstring& name, float& x, float& y)
    {
        const TDButtonFrame* b = Hud()->windows().back()->findButton(name);
        ASSERT_NE(nullptr, b) << std::string(name.begin(), name.end());
        x = b->mX + b->mWidth * 0.5f;
        y = b->mY + b->mHeight * 0.5f;
    }
    void ClickButton(const std::wstring& name)
    {
        float x = 0, y = 0;
        Centre(name, x, y);
        Click(x, y);
    }
    // A drag through the frame manager: press, moves of step pixels dt seconds apart, release.
    void Drag(float fromX, float toX, float y, int steps, float dt)
    {
        widget::FrameManager* frames = Frames();
        EXPECT_EQ(QL_OK, frames->OnMouseMove({fromX, y}));
        EXPECT_EQ(QL_OK, frames->OnMouseDown({fromX, y}, 1));
        EXPECT_EQ(QL_OK, frames->OnMouseDrag({fromX, y}));
        for (int i = 1; i <= steps; ++i)
        {
            ASSERT_EQ(QL_OK, mGame->FrameStep(dt));
            EXPECT_EQ(QL_OK, frames->OnMouseDrag({fromX + (toX - fromX) * static_cast<float>(i) / static_cast<float>(steps), y}));
        }
        EXPECT_EQ(QL_OK, frames->OnMouseUp({toX, y}, 1));
    }
    // n frames of dt seconds: updates and drawing.
    void Run(int n, float dt = 0.04f)
    {
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(QL_OK, mGame->FrameStep(dt));
    }
    bool Idle(HUDEpisodeSelectIOS* s)
    {
        return RunUntil([s] { return s->mCarousel->motion == EpisodeCarousel::kIdle; }, 2.0f);
    }
};
} // namespace

TEST_F(SelectionTest, EpisodesOpenOnTheLastEpisodeWithTheirLocksBadgesAndStarTotal)
{
    mMap->mProgress->createProfile(L"Ann");
    HUDEpisodeSelectIOS* s = OpenEpisodes();
    ASSERT_NE(nullptr, s);
    ASSERT_EQ(3, s->mCarousel->count()) << "one plate per entry of the episode table";
    EXPECT_EQ(0, s->mCarousel->page);
    EXPECT_EQ(L10n(L"episode0"), *s->getText(L"levelName"));
    EXPECT_EQ(L10n(L"episodes_caption"), *s->getText(L"caption"));
    EXPECT_EQ(L"0/" + std::to_wstring(9 * mMap->getTotalLevelCount()), *s->getText(L"stars"));
    // Open and new; locked with the stars it needs; missing from the table: coming soon.
    const auto& plates = s->mCarousel->plates;
    EXPECT_EQ(nullptr, plates[0].lock);
    EXPECT_EQ(s->mNewFrame, plates[0].newBadge);
    EXPECT_TRUE(plates[0].text.empty());
    EXPECT_EQ(s->mLockFrame, plates[1].lock);
    EXPECT_NE(std::wstring::npos, plates[1].text.find(std::to_wstring(mMap->getStarsToUnlock(1))));
    EXPECT_EQ(std::wstring::npos, plates[1].text.find(L"%d"));
    EXPECT_EQ(L10n(L"comingSoon"), plates[2].text);
    EXPECT_EQ(s->mLockFrame, plates[2].lock);
    // The arrows follow the page.
    EXPECT_EQ(0, s->findButton(L"arrow_left")->mVisible);
    EXPECT_EQ(1, s->findButton(L"arrow_right")->mVisible);
    Run(5); // frames draw the screen
}

TEST_F(SelectionTest, ArrowsTurnOnePageAndThePlayButtonFadesWhileTheRowMoves)
{
    HUDEpisodeSelectIOS* s = OpenEpisodes();
    ASSERT_NE(nullptr, s);
    ClickButton(L"arrow_right");
    EXPECT_EQ(1, s->mCarousel->page);
    EXPECT_EQ(L10n(L"episode1"), *s->getText(L"levelName"));
    EXPECT_EQ(5, mMap->mScreen) << "an arrow opens nothing";
    ASSERT_EQ(QL_OK, mGame->FrameStep(0.1f));
    EXPECT_EQ(1, s->mPlayState) << "fading out";
    ASSERT_TRUE(Idle(s));
    EXPECT_EQ(0.0f, s->mCarousel->offset);
    EXPECT_TRUE(RunUntil([s] { return s->mPlayState == 0; }, 1.0f)) << "faded back in";
    EXPECT_EQ(1, s->findButton(L"arrow_left")->mVisible);
    ClickButton(L"arrow_left");
    EXPECT_EQ(0, s->mCarousel->page);
    ASSERT_TRUE(Idle(s));
}

TEST_F(SelectionTest, ASwipeOfAQuarterPageTurnsItAndAShorterSlowOneSlidesBack)
{
    HUDEpisodeSelectIOS* s = OpenEpisodes();
    ASSERT_NE(nullptr, s);
    Drag(600.0f, 519.0f, 380.0f, 3, 0.01f); // 81 pixels to the left
    EXPECT_EQ(1, s->mCarousel->page);
    ASSERT_TRUE(Idle(s));
    EXPECT_EQ(5, mMap->mScreen) << "a swipe opens nothing";
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
}

TEST_F(SelectionTest, ATapOnALockedPlateDoesNothingAndOnAnOpenOneOpensItsLevels)
{
    HUDEpisodeSelectIOS* s = OpenEpisodes();
    ASSERT_NE(nullptr, s);
    ClickButton(L"arrow_right");
    ASSERT_TRUE(Idle(s));
    Click(512.0f, 384.0f);
    EXPECT_EQ(5, mMap->mScreen) << "episode 1 needs stars";
    ClickButton(L"arrow_left");
    ASSERT_TRUE(Idle(s));
    mMap->mEpisode = 7;
    Click(512.0f, 384.0f);
    EXPECT_EQ(6, mMap->mScreen);
    EXPECT_EQ(0, mMap->mEpisode);
    EXPECT_TRUE(RunUntil([this] { return Top<HUDLevelSelect>() != nullptr; }, 0.5f));
    EXPECT_EQ(1u, Hud()->windows().size()) << "the episode selection closed";
}

TEST_F(SelectionTest, LevelPlatesShowProgressAndTheNextLevelAndTheVisitIsStored)
{
    TDLevelResult three;
    three.stars = 3;
    mMap->mProgress->saveLevelResult(0, 0, 1, three);
    HUDLevelSelect* s = OpenLevels(0, 1);
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
    EXPECT_EQ(3, mMap->mProgress->getEpisodeVisited(0, 1)) << "seen once opened";
    EXPECT_EQ(L"0", *s->getText(L"gems")) << "no crystals yet";
    // Hardcore needs every star of the episode: only the locked button shows.
    EXPECT_EQ(1, s->findButton(L"locked_d")->mVisible);
    EXPECT_EQ(0, s->findButton(L"unlocked_d")->mVisible);
    EXPECT_EQ(857.0f, s->findButton(L"locked_d")->mX);
    EXPECT_TRUE(s->mHardcoreNew);
    Run(5);

    // Plates answer their index whether open or not; outside them -1.
    EXPECT_EQ(1, s->ButtonAt(205 + 50, 220 + 50));
    EXPECT_EQ(-1, s->ButtonAt(80, 220)) << "edges are outside";
    EXPECT_EQ(-1, s->ButtonAt(600, 600));

    // A second opening shows no "new" badges.
    HUDLevelSelect* again = OpenLevels(0, 1);
    ASSERT_NE(nullptr, again);
    EXPECT_FALSE(again->mPlates[1].showNew);
}

TEST_F(SelectionTest, TabsSwitchTheModeStoreItAndRebuildThePlates)
{
    TDLevelResult one;
    one.stars = 1;
    mMap->mProgress->saveLevelResult(0, 0, 2, one);
    HUDLevelSelect* s = OpenLevels(0, 1);
    ASSERT_NE(nullptr, s);
    EXPECT_FALSE(s->mPlates[0].played);
    // The shop's tab bar: three tabs 290 apart from x 216, the current mode's selected.
    ASSERT_EQ(3u, s->mTabBar->tabs.size());
    EXPECT_EQ(506.0f, s->mTabBar->tabs[1]->x);
    EXPECT_TRUE(s->mTabBar->tabs[1]->selected);
    const ShopTab& third = *s->mTabBar->tabs[2];
    Click(third.x, third.y - 10.0f);
    EXPECT_EQ(2, mMap->mMode);
    EXPECT_EQ(2, mMap->mProgress->getMode());
    EXPECT_TRUE(third.selected);
    EXPECT_FALSE(s->mTabBar->tabs[1]->selected);
    EXPECT_TRUE(s->mPlates[0].played) << "the plates of the new mode";
    EXPECT_EQ(6, mMap->mScreen);
}

TEST_F(SelectionTest, TheLockedHardcoreButtonExplainsAndTheOpenOneShowsHardcoreLevels)
{
    HUDLevelSelect* s = OpenLevels(0, 1);
    ASSERT_NE(nullptr, s);
    ClickButton(L"locked_d");
    EXPECT_EQ(mMap->getHardcoreLevelCount(0), mMap->mProgress->getEpisodeVisited(0, 3));
    ASSERT_TRUE(RunUntil([this, s] { return Top<HUDWindow>() != s; }, 0.5f));
    const std::wstring locked = Top<HUDWindow>()->getText(L"message") ? *Top<HUDWindow>()->getText(L"message") : L"";
    EXPECT_NE(std::wstring::npos, locked.find(L"locked")) << "the locked Ordeal says so";
    EXPECT_EQ(std::wstring::npos, locked.find(L"is open"));

    TDLevelResult three;
    three.stars = 3;
    for (i32 level = 0; level < mMap->getLevelCount(0); ++level)
        mMap->mProgress->saveLevelResult(0, level, 1, three);
    s = OpenLevels(0, 1);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(1, s->findButton(L"unlocked_d")->mVisible);
    ClickButton(L"unlocked_d");
    EXPECT_EQ(3, mMap->mMode);
    ASSERT_TRUE(RunUntil([this] { return Top<HUDLevelSelect>() != nullptr; }, 0.5f));
    s = Top<HUDLevelSelect>();
    Run(1);
    EXPECT_EQ(static_cast<size_t>(mMap->getHardcoreLevelCount(0)), s->mPlates.size());
    EXPECT_EQ(0, s->findButton(L"upgrade")->mVisible);
    EXPECT_TRUE(mMap->mProgress->isEventSeen(0)) << "the hardcore notice is shown once";
    EXPECT_TRUE(s->mTabBar->tabs.empty()) << "no tabs in hardcore";
    Click(796.0f, 186.0f);
    EXPECT_EQ(3, mMap->mMode);

    // "back" returns to the normal levels with the stored mode.
    mMap->mScreen = 6;
    Hud()->closeAllWindows();
    Hud()->pushWindow(s = new HUDLevelSelect(*mMap));
    ASSERT_EQ(QL_OK, mGame->FrameStep(0.0f));
    ClickButton(L"back");
    EXPECT_EQ(mMap->mProgress->getMode(), mMap->mMode);
    EXPECT_EQ(6, mMap->mScreen);
}

TEST_F(SelectionTest, APlateStartsItsLevelAndBackReturnsToTheEpisodes)
{
    HUDLevelSelect* s = OpenLevels(0, 1);
    ASSERT_NE(nullptr, s);
    mMap->mLevel = 5;
    Click(205.0f + 50.0f, 220.0f + 50.0f);
    EXPECT_EQ(6, mMap->mScreen) << "the second level opens after the first";
    EXPECT_EQ(5, mMap->mLevel);
    Click(80.0f + 50.0f, 220.0f + 50.0f);
    EXPECT_EQ(0, mMap->mLevel);
    EXPECT_TRUE(mMap->isLevelLoaded());
    EXPECT_EQ(11, mMap->mScreen) << "the first level opens on its unlock message";
    ASSERT_EQ(QL_OK, mGame->FrameStep(0.02f));
    EXPECT_EQ(nullptr, Top<HUDLevelSelect>());

    s = OpenLevels(0, 1);
    ASSERT_NE(nullptr, s);
    ClickButton(L"back");
    EXPECT_EQ(5, mMap->mScreen);
    EXPECT_TRUE(RunUntil([this] { return Top<HUDEpisodeSelectIOS>() != nullptr; }, 0.5f));
}
} // namespace frontendtest
