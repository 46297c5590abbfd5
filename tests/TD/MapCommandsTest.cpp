// Releases: a spell cast before a gem is picked, the tower spell, the speed buttons under the
// tutorial's block, menus opened and closed on spots and towers, and the shop's way back. The
// screens' own buttons are played through the real screens in tests/Shell and tests/Play.
#include "InputFixture.h"

#include "Source/TD/Shell/HUDShopWindow.h"

using namespace tdtest;

namespace
{
struct Release : InputFixture
{
    bool notified(i32 x, i32 y) const
    {
        return ihud.count(L"release " + pt(x, y)) == 1 && ihud.count(L"move -1,-1") == 1;
    }
};

TEST_F(Release, ASpellIsCastBeforeAGemIsPickedAndTheTowerSpellWaitsForATower)
{
    TDMap& m = begin();
    ASSERT_EQ(ihud.mSpellButtons.size(), 3u); // spells 0, 1 and 4 are in the sheet
    m.onPointerUp(100, 700);           // the first spell button
    EXPECT_EQ(m.mSelectedSpell, 0);
    auto* active = static_cast<FakeEmitter*>(m.mActiveEmitter.get());
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->x, 100.0f);

    TDUnit stand(m, m.mWaves.mWaves[0]->mEntries[0]);
    auto* gem = new TDCrystallSpecial(m, stand);
    gem->mX = 400.0f;
    gem->mY = 300.0f;
    gem->mState = 1;
    m.mDrops.push_back(gem);
    i32 gems = m.mStats.mGems;
    size_t bullets = m.mBullets->items.size();
    m.onPointerUp(400, 300);
    EXPECT_EQ(m.mSelectedSpell, -1);
    EXPECT_EQ(played(L"spell0"), 1u);
    EXPECT_EQ(m.mBullets->items.size(), bullets + 1);
    EXPECT_EQ(tutorial.count(L"spell_casted"), 1u);
    EXPECT_EQ(gem->mState, 1) << "the cast leaves the gem lying";
    // The next release there picks the gem up: exactly one.
    m.onPointerUp(400, 300);
    EXPECT_EQ(gem->mState, 2);
    m.onPointerUp(400, 300); // now flying: not found again
    EXPECT_EQ(m.mStats.mGems, gems + 1);

    // The tower spell on button 2: nothing without a tower, cast at once with one.
    m.onPointerUp(300, 700);
    EXPECT_EQ(played(L"spell4"), 0u);
    ASSERT_NE(m.buildTower(1, 100), nullptr);
    m.onPointerUp(300, 700);
    EXPECT_EQ(played(L"spell4"), 1u);
    EXPECT_EQ(m.mSelectedSpell, -1);
    EXPECT_EQ(ihud.spellButton(2)->mUsed, 1);
    // A blocked interface chooses nothing.
    ihud.mUIBlock = 1;
    m.onPointerUp(200, 700);
    EXPECT_EQ(m.mSelectedSpell, -1);
}

TEST_F(Release, SpeedButtonsObeyTheTutorialBlock)
{
    TDMap& m = begin();
    ihud.add(L"speed_btn", 900, 10);
    ihud.add(L"play_btn", 950, 10);
    ihud.mUIBlock = 1; // only play
    m.onPointerUp(910, 20);
    EXPECT_EQ(m.mSpeed, 1.0f);
    m.mSpeed = 0.0f;
    m.onPointerUp(960, 20);
    EXPECT_EQ(m.mSpeed, 1.0f);
    EXPECT_EQ(tutorial.count(L"game_play"), 1u);
    ihud.findButton(L"play_btn")->mVisible = 1;
    m.mSpeed = 0.0f;
    ihud.mUIBlock = 2; // nothing
    m.onPointerUp(960, 20);
    EXPECT_EQ(m.mSpeed, 0.0f);
    EXPECT_FALSE(notified(960, 20));
}

TEST_F(Release, MenusOpenOnASecondReleaseOnlyOnTheTutorialSpotWhileOneIsSet)
{
    TDMap& m = begin();
    m.mTutorialSpot = 1;
    m.onPointerUp(250, 160); // spot "#0"
    EXPECT_EQ(m.mContextMenu, nullptr);
    m.mTutorialSpot = -1;
    m.onPointerUp(250, 160);
    ASSERT_NE(m.mContextMenu, nullptr);
    m.onPointerUp(250, 160);
    EXPECT_EQ(m.mContextMenu->state, TDContextMenu::kClosing);

    // A release on another spot only drops the open menu.
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
}

TEST_F(Release, TheResultOpensTheShopWhichReturnsWhereItWasOpenedFromOrRestartsALostLevel)
{
    TDMap& m = begin();
    ihud.add(L"back_ac", 10, 10);
    ihud.add(L"return_ac", 60, 10);
    ihud.add(L"done", 110, 10);
    m.showDefeat();
    m.mShopReturnTarget = L"";
    m.onPointerUp(120, 20); // the result's way to the shop
    EXPECT_EQ(m.mScreen, 8);
    auto* shop = dynamic_cast<HUDShopWindow*>(ihud.mPendingWindows.back());
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(shop->origin, 1) << "opened after the level";
    EXPECT_EQ(m.mShopReturnTarget, L"game");
    m.onPointerUp(20, 20); // "back_ac" from a shop opened by the battle stays
    EXPECT_EQ(m.mScreen, 8);
    EXPECT_EQ(tutorial.count(L"shop_state_changed"), 1u);
    m.mShopReturnTarget = L"levels";
    m.onPointerUp(20, 20);
    EXPECT_EQ(m.mScreen, 6);

    // After a defeat "return_ac" restarts the level, after a victory it goes on.
    m.mScreen = 8;
    m.mResultAction = 1;
    m.mStats.mCoins = 3;
    m.onPointerUp(70, 20);
    EXPECT_EQ(m.mScreen, 0);
    EXPECT_EQ(m.mStats.mCoins, 500) << "the level's budget again";
    m.mScreen = 8;
    m.mResultAction = 2;
    m.onPointerUp(70, 20);
    EXPECT_EQ(m.mLevel, 1) << "the next level";
}
} // namespace
