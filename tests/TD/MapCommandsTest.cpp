// Releases: spells cast on a point, gems picked up, the speed buttons under the tutorial's
// block, menus opened and closed on spots and towers, and the commands of the screens.
#include "InputFixture.h"


using namespace tdtest;

namespace
{
struct Release : InputFixture
{
    TDTowerSpecial* gemAt(float x, float y, i32 state = 1)
    {
        TDUnit stand(*map, map->mWaves.mWaves[0]->mEntries[0]);
        auto* gem = new TDCrystallSpecial(*map, stand);
        gem->mX = x;
        gem->mY = y;
        gem->mState = state;
        map->mDrops.push_back(gem);
        return gem;
    }
    bool notified(i32 x, i32 y) const
    {
        return ihud.count(L"release " + InputHud::pt(x, y)) == 1 && ihud.count(L"move -1,-1") == 1;
    }
};

TEST_F(Release, ASelectedSpellIsCastOnTheFieldBeforeAnyGemIsPicked)
{
    TDMap& m = begin();
    ASSERT_EQ(ihud.spells.size(), 3u); // spells 0, 1 and 4 are in the sheet
    m.onPointerUp(100, 700);            // the first spell button
    EXPECT_EQ(m.mSelectedSpell, 0);
    EXPECT_EQ(played(L"simple"), 1u);
    auto* active = static_cast<FakeEmitter*>(m.mActiveEmitter.get());
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->x, 100.0f);
    EXPECT_EQ(active->y, 700.0f);

    TDTowerSpecial* gem = gemAt(400.0f, 300.0f);
    i32 gems = m.mStats.mGems;
    size_t bullets = m.mBullets->items.size();
    ihud.calls.clear();
    m.onPointerUp(400, 300);
    EXPECT_EQ(m.mSelectedSpell, -1);
    EXPECT_EQ(played(L"spell0"), 1u);
    EXPECT_EQ(m.mBullets->items.size(), bullets + 1);
    EXPECT_EQ(itutorial.count(L"spell_casted"), 1u);
    EXPECT_EQ(ihud.spells[0]->mUsed, 1);
    EXPECT_EQ(gem->mState, 1);
    EXPECT_EQ(m.mStats.mGems, gems);
    EXPECT_FALSE(notified(400, 300));

    // The next release there picks the gem up: exactly one.
    m.onPointerUp(400, 300);
    EXPECT_EQ(gem->mState, 2);
    EXPECT_EQ(m.mStats.mGems, gems + 1);
    m.onPointerUp(400, 300); // now flying: not found again
    EXPECT_EQ(m.mStats.mGems, gems + 1);
}

TEST_F(Release, SpellButtonsDeselectRechargeAndNeedATowerForTheLastSpell)
{
    TDMap& m = begin();
    m.onPointerUp(200, 700); // button 1
    EXPECT_EQ(m.mSelectedSpell, 1);
    m.onPointerUp(200, 700); // again: deselected
    EXPECT_EQ(m.mSelectedSpell, -1);
    ihud.spells[1]->startCooldown();
    ihud.spells[1]->mUsed = 1;
    m.onPointerUp(200, 700); // recharging (number -2): nothing
    EXPECT_EQ(m.mSelectedSpell, -1);

    // The tower-needing spell sits on button 2; without a tower it cannot be pressed.
    m.onPointerUp(300, 700);
    EXPECT_EQ(m.mSelectedSpell, -1);
    EXPECT_EQ(played(L"spell4"), 0u);
    ASSERT_NE(m.buildTower(1, 100), nullptr);
    m.onPointerUp(300, 700); // cast at once where it was released
    EXPECT_EQ(played(L"spell4"), 1u);
    EXPECT_EQ(m.mSelectedSpell, -1);
    EXPECT_EQ(ihud.spells[2]->mUsed, 1);

    // A blocked interface chooses nothing.
    ihud.block = 1;
    m.onPointerUp(100, 700);
    EXPECT_EQ(m.mSelectedSpell, -1);
}

TEST_F(Release, SpeedButtonsObeyTheTutorialBlock)
{
    TDMap& m = begin();
    ihud.add(L"speed_btn", 900, 10);
    ihud.add(L"play_btn", 950, 10);
    ihud.add(L"pause_btn", 850, 10);
    ihud.block = 1;
    m.onPointerUp(910, 20);
    EXPECT_EQ(m.mSpeed, 1.0f);
    m.mSpeed = 0.0f;
    m.onPointerUp(960, 20);
    EXPECT_EQ(m.mSpeed, 1.0f);
    EXPECT_EQ(itutorial.count(L"game_play"), 1u);
    ihud.named[L"play_btn"].visible = true;
    m.mSpeed = 0.0f;
    ihud.block = 2;
    m.onPointerUp(960, 20);
    EXPECT_EQ(m.mSpeed, 0.0f);
    ihud.block = 0;
    m.onPointerUp(910, 20);
    EXPECT_EQ(m.mSpeed, 2.0f);
    EXPECT_FALSE(ihud.named[L"speed_btn"].visible);
    ihud.named[L"pause_btn"].visible = true;
    m.onPointerUp(860, 20);
    EXPECT_EQ(m.mSpeed, 0.0f);
    EXPECT_FALSE(notified(860, 20));
}

TEST_F(Release, OnlyTheTutorialSpotOpensWhileOneIsSet)
{
    TDMap& m = begin();
    m.mTutorialSpot = 1;
    m.onPointerUp(250, 160); // spot "#0"
    EXPECT_EQ(m.mContextMenu, nullptr);
    m.onPointerUp(750, 160); // spot "#1"
    ASSERT_NE(m.mContextMenu, nullptr);
    EXPECT_EQ(m.mContextMenu->spot, &m.mScenery->spotFrames[1]);
}

TEST_F(Release, ASecondReleaseClosesAndAnotherSpotOnlyDropsTheMenu)
{
    TDMap& m = begin();
    m.onPointerUp(250, 160);
    ASSERT_NE(m.mContextMenu, nullptr);
    m.onPointerUp(250, 160);
    ASSERT_NE(m.mContextMenu, nullptr);
    EXPECT_EQ(m.mContextMenu->state, TDContextMenu::kClosing);

    m.mContextMenu.reset();
    m.onPointerUp(250, 160);
    m.onPointerUp(750, 160);
    EXPECT_EQ(m.mContextMenu, nullptr);
    m.onPointerUp(750, 160);
    ASSERT_NE(m.mContextMenu, nullptr);
    EXPECT_EQ(m.mContextMenu->spot, &m.mScenery->spotFrames[1]);

    // Towers alike; a tower menu is centred on the tower and the HUD hears of the release.
    TDTower* tower = m.buildTower(0, 100);
    ASSERT_NE(tower, nullptr);
    m.onPointerUp(250, 160);
    EXPECT_EQ(m.mContextMenu, nullptr);
    ihud.calls.clear();
    m.onPointerUp(250, 160);
    ASSERT_NE(m.mContextMenu, nullptr);
    EXPECT_EQ(m.mContextMenu->tower, tower);
    EXPECT_EQ(m.mContextMenu->centreX, tower->mX);
    EXPECT_TRUE(notified(250, 160));
    m.onPointerUp(250, 160);
    EXPECT_EQ(m.mContextMenu->state, TDContextMenu::kClosing);
}

TEST_F(Release, ShopReturnsWhereItWasOpenedFrom)
{
    TDMap& m = begin();
    ihud.add(L"back_ac", 10, 10);
    ihud.add(L"return_ac", 60, 10);
    m.mScreen = 8;
    m.mShopReturnTarget = L"game";
    m.onPointerUp(20, 20);
    EXPECT_EQ(m.mScreen, 8);
    EXPECT_EQ(ihud.count(L"close"), 0u);
    EXPECT_EQ(itutorial.count(L"shop_state_changed"), 1u);
    m.mShopReturnTarget = L"levels";
    m.onPointerUp(20, 20);
    EXPECT_EQ(m.mScreen, 6);

    // After a defeat "return_ac" restarts the level, after a victory it goes on.
    m.mScreen = 8;
    m.mResultAction = 1;
    m.mStats.mCoins = 3;
    m.onPointerUp(70, 20);
    EXPECT_EQ(m.mScreen, 0);
    EXPECT_EQ(m.mResultAction, -1);
    EXPECT_EQ(m.mStats.mCoins, 500) << "the level's budget again";
    m.mScreen = 8;
    m.mResultAction = 2;
    m.onPointerUp(70, 20);
    EXPECT_EQ(ihud.count(L"nextLevel"), 1u);
}

TEST_F(Release, ResultButtonsGoToTheShopRestartOrTheLevels)
{
    TDMap& m = begin();
    ihud.add(L"done", 10, 10);
    ihud.add(L"restart", 60, 10);
    ihud.add(L"menu", 110, 10);
    m.showDefeat();
    EXPECT_EQ(m.mScreen, 2);
    m.mShopReturnTarget = L"";
    m.onPointerUp(20, 20);
    EXPECT_EQ(ihud.count(L"shop after"), 1u);
    EXPECT_EQ(m.mShopReturnTarget, L"game");
    EXPECT_EQ(m.mScreen, 8);
    EXPECT_TRUE(notified(20, 20));

    m.mScreen = 1;
    m.onPointerUp(70, 20);
    EXPECT_EQ(m.mScreen, 0);
    EXPECT_EQ(m.mSpeed, 1.0f);
    m.mScreen = 2;
    m.onPointerUp(120, 20);
    EXPECT_EQ(m.mScreen, 6);
}

TEST_F(Release, ResumeLeavesTheBattlePaused)
{
    TDMap& m = begin();
    ihud.add(L"resume", 10, 10);
    ihud.add(L"restart", 60, 10);
    ihud.add(L"options", 110, 10);
    m.pause();
    m.onPointerUp(70, 20);
    EXPECT_EQ(ihud.calls.back(), L"confirm progress_confirm_text restart");
    m.onPointerUp(20, 20);
    EXPECT_EQ(m.mScreen, 0);
    EXPECT_EQ(m.mSpeed, 0.0f);
    EXPECT_EQ(itutorial.hooks.back(), L"show");
    EXPECT_FALSE(notified(20, 20));
}

TEST_F(Release, ProfilesAreLimitedToFiveAndTheMessageReturns)
{
    TDMap& m = begin();
    for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"})
        m.mProgress->createProfile(name);
    ASSERT_EQ(m.mProgress->profileNames().size(), 5u);
    ihud.add(L"create", 10, 10);
    ihud.add(L"ok", 60, 10);
    m.mScreen = 13;
    m.onPointerUp(20, 20);
    EXPECT_EQ(m.mScreen, 16);
    EXPECT_EQ(ihud.count(L"nameInput"), 0u);
    m.onPointerUp(70, 20);
    EXPECT_EQ(m.mScreen, 13);
}

TEST_F(Release, MainMenuAsksForANameFirst)
{
    TDMap& m = begin();
    ihud.add(L"play", 10, 10);
    ihud.add(L"cancel", 60, 10);
    m.mScreen = 7;
    ASSERT_TRUE(m.mProgress->currentName().empty());
    m.onPointerUp(20, 20);
    EXPECT_EQ(m.mScreen, 14);
    EXPECT_EQ(m.mAfterProfileInput, L"mmenu");
    m.onPointerUp(70, 20);
    EXPECT_EQ(m.mScreen, 7);
    m.mProgress->createProfile(L"Ann");
    m.onPointerUp(20, 20);
    EXPECT_EQ(m.mScreen, 5);
}

TEST_F(Release, BackFromTheHardcoreLevelsReadsTheModeBack)
{
    TDMap& m = begin();
    ihud.add(L"back", 10, 10);
    ihud.add(L"unlocked_d", 60, 10);
    m.mScreen = 6;
    m.onPointerUp(70, 20);
    EXPECT_EQ(m.mMode, 3);
    EXPECT_EQ(m.mScreen, 6);
    m.onPointerUp(20, 20);
    EXPECT_EQ(m.mMode, m.mProgress->getMode());
    EXPECT_EQ(m.mScreen, 6);
    m.onPointerUp(20, 20);
    EXPECT_EQ(m.mScreen, 5);
}

TEST_F(Release, LevelButtonsStartOpenLevelsOnly)
{
    TDMap& m = begin();
    ihud.numbered[0] = {10, 10, 40, 40};
    ihud.numbered[2] = {60, 10, 40, 40};
    m.mScreen = 6;
    m.onPointerUp(70, 20); // level 3 is not open yet
    EXPECT_EQ(m.mScreen, 6);
    EXPECT_TRUE(notified(70, 20));
    m.onPointerUp(20, 20);
    EXPECT_EQ(m.mScreen, 0);
    EXPECT_EQ(m.mLevel, 0);
}

TEST_F(Release, ScreensWithoutCommandsOnlyNotifyTheHud)
{
    TDMap& m = begin();
    ihud.add(L"ok", 10, 10);
    for (i32 screen : {3, 12, 121, 42})
    {
        m.mScreen = screen;
        ihud.calls.clear();
        m.onPointerUp(20, 20);
        EXPECT_EQ(m.mScreen, screen);
        EXPECT_EQ(ihud.calls, (std::vector<std::wstring>{L"release 20,20", L"move -1,-1"}));
    }
    EXPECT_EQ(itutorial.hooks.back(), L"click 20,20");
}

TEST_F(Release, UnlockMessageOkResumesTheBattle)
{
    TDMap& m = begin();
    ihud.add(L"ok", 10, 10);
    m.mScreen = 11;
    m.mSpeed = 0.0f;
    m.onPointerUp(20, 20);
    EXPECT_EQ(m.mScreen, 0);
    EXPECT_EQ(m.mSpeed, 1.0f);
    EXPECT_EQ(itutorial.count(L"unlock_window_close"), 1u);
    EXPECT_EQ(ihud.calls[ihud.calls.size() - 3], L"levelName");
}

TEST_F(Release, ResetConfirmationRefundsAndRefreshesTheShop)
{
    files.put(L"td/upgrades.xml", R"(<upgrades><upgrade id="7" icon="i"><targets><target id="100"/></targets><steps>
        <step cost_r="5"/><step cost_r="8"/></steps></upgrade></upgrades>)");
    TDMap& m = begin();
    m.mProgress->setUpgradeLevel(7, 1);
    ihud.add(L"ok", 10, 10);
    m.mScreen = 26;
    i32 gems = m.mStats.mGems;
    m.onPointerUp(20, 20);
    EXPECT_EQ(m.mScreen, 8);
    EXPECT_EQ(m.mStats.mGems, gems + 13);
    EXPECT_EQ(ihud.count(L"refresh"), 1u);
}
} // namespace
