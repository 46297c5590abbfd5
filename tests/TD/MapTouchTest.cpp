// The battle played by presses: building, upgrading and selling through the ring menu, buying
// a spot, calling a wave early and picking units.
#include "InputFixture.h"

#include "Source/TD/Units/TDIndicator.h"

using namespace tdtest;

namespace
{
using Touch = InputFixture;

TEST_F(Touch, BuildingFromTheMenuChargesPlaysAndTellsTheTutorialOnceAndMovesHitWhatPressesHit)
{
    TDMap& m = begin();
    click(250, 160);
    ASSERT_NE(m.mContextMenu, nullptr);
    EXPECT_EQ(m.mContextMenu->kind, TDContextMenu::kBuild);
    EXPECT_EQ(tutorial.count(L"tower_select"), 1u);
    EXPECT_EQ(played(L"context_in"), 1u);
    frames(0.25f);
    ASSERT_EQ(m.mContextMenu->state, TDContextMenu::kOpen);
    size_t built = particles.count(L"build");

    pressEntry(100);
    ASSERT_EQ(m.mTowers.size(), 1u);
    EXPECT_EQ(m.mTowers[0]->baseId(), 100);
    EXPECT_EQ(m.mStats.mCoins, 450);
    EXPECT_EQ(m.mStats.mCoinsSpent, 50);
    EXPECT_EQ(played(L"buildTower"), 1u);
    EXPECT_EQ(particles.count(L"build"), built + 1);
    EXPECT_EQ(tutorial.count(L"tower_built"), 1u);
    EXPECT_EQ(m.mContextMenu->state, TDContextMenu::kClosing);
    EXPECT_EQ(played(L"context_out"), 1u);
    frames(0.25f);
    EXPECT_EQ(m.mContextMenu, nullptr);

    // A move and a press over the same point hit the same entry.
    click(750, 160);
    frames(0.25f);
    const TDContextMenuItem* item = entry(300);
    ASSERT_NE(item, nullptr);
    i32 x = 0, y = 0;
    entryPoint(*m.mContextMenu, *item, x, y);
    m.onPointerMove(x, y);
    EXPECT_EQ(m.mContextMenu->hoveredId, 300);
    EXPECT_EQ(m.mContextMenu->hoveredItem, item);
    EXPECT_EQ(tutorial.hooks.back(), L"move " + pt(x, y));
    m.onPointerMove(750, 160);
    EXPECT_EQ(m.mContextMenu->hoveredId, -1);
    m.onPointerDown(x, y);
    ASSERT_EQ(m.mTowers.size(), 2u);
    EXPECT_EQ(m.mTowers[1]->baseId(), 300);
}

TEST_F(Touch, BuildingWithTooFewCoinsLeavesTheMenuOpenAndSilent)
{
    files.put(L"td/towers_sheet.csv", "id;parent;type;levelid;require;cost;strength;cooldown;r;speed;ammoid;fps\n"
                                      "100;-1;1;0;-1;50,5;5;1;200;400;2001;10\n");
    TDMap& m = begin();
    m.mStats.mCoins = 50; // the whole cost, not its whole part
    click(250, 160);
    frames(0.25f);
    size_t heard = sounds.played.size();
    pressEntry(100);
    EXPECT_TRUE(m.mTowers.empty());
    EXPECT_EQ(m.mStats.mCoins, 50);
    EXPECT_EQ(sounds.played.size(), heard);
    EXPECT_EQ(m.mContextMenu->state, TDContextMenu::kOpen);
    EXPECT_EQ(tutorial.count(L"tower_built"), 0u);
    m.mStats.mCoins = 51;
    ASSERT_NE(m.buildTower(0, 100), nullptr);
    EXPECT_EQ(m.mStats.mCoins, 1);
}

TEST_F(Touch, PressBesideEveryEntryOnlyClosesTheMenuAndOtherwisePressAndWheelGoToTheHud)
{
    TDMap& m = begin();
    click(250, 160);
    frames(0.25f);
    ihud.calls.clear();
    m.onPointerDown(250, 160); // the centre: no entry lies there
    EXPECT_EQ(m.mContextMenu->state, TDContextMenu::kClosing);
    EXPECT_TRUE(m.mTowers.empty());
    EXPECT_EQ(ihud.count(L"press 250,160"), 0u) << "the press belonged to the menu";
    // With no visible menu the press reaches the HUD.
    frames(0.25f);
    m.onPointerDown(600, 600);
    EXPECT_EQ(ihud.calls.back(), L"press 600,600");
    m.onWheel(-120);
    EXPECT_EQ(ihud.calls.back(), L"wheel -120");
}

TEST_F(Touch, UpgradeAndSellThroughTheMenu)
{
    TDMap& m = begin();
    TDTower* tower = m.buildTower(0, 100);
    ASSERT_NE(tower, nullptr);
    EXPECT_EQ(m.mStats.mCoins, 450);
    click(250, 160);
    ASSERT_NE(m.mContextMenu, nullptr);
    EXPECT_EQ(m.mContextMenu->kind, TDContextMenu::kTowerUpgrades);
    EXPECT_EQ(m.mContextMenu->tower, tower);
    frames(0.25f);
    pressEntry(1); // the tier with levelid 1 costs 40
    EXPECT_EQ(tower->mLevel, 1);
    EXPECT_EQ(m.mStats.mCoins, 410);
    EXPECT_EQ(played(L"upgradeTower"), 1u);
    frames(0.25f);

    EXPECT_EQ(m.mContextMenu, nullptr) << "a closed menu is dropped";
    m.onPointerUp(250, 160);
    ASSERT_NE(m.mContextMenu, nullptr);
    frames(0.25f);
    pressEntry(0);
    // The tier (40) and its parent (50): half of 90 comes back.
    EXPECT_EQ(m.mStats.mCoins, 455);
    EXPECT_TRUE(m.mTowers.empty());
    EXPECT_EQ(played(L"sellTower"), 1u);
    EXPECT_FALSE(m.mScenery->spotFrames[0].hasTower);
    ASSERT_NE(m.mContextMenu, nullptr);
    RecordingUiPainter painter;
    m.mContextMenu->draw(painter); // the closing menu outlives its tower safely
    frames(0.5f);
    EXPECT_EQ(m.mContextMenu, nullptr);
}

TEST_F(Touch, BuyingALockedSpotChargesOpensAndRemembersItOnlyWithTheGems)
{
    std::string locked = "<spot x=\"500\" y=\"400\"><p name=\"cost_gold\" value=\"50\"/>"
                         "<p name=\"cost_real\" value=\"2\"/><p name=\"type\" value=\"1\"/></spot>";
    TDMap& m = begin("<wave spawn=\"1\" timeout=\"600\"><e id=\"1\"/></wave>", locked);
    for (i32 gems : {1, 5})
    {
        m.mStats.mGems = gems;
        m.mContextMenu.reset();
        click(500, 400);
        ASSERT_NE(m.mContextMenu, nullptr);
        EXPECT_EQ(m.mContextMenu->kind, TDContextMenu::kBuySpot);
        frames(0.25f);
        pressEntry(1);
        EXPECT_EQ(m.mContextMenu->state, TDContextMenu::kClosing);
    }
    EXPECT_EQ(m.mStats.mCoins, 450) << "charged once";
    EXPECT_EQ(m.mProgress->getGems(), 3);
    EXPECT_TRUE(m.mProgress->isSpotOwned("#2", 0, 0));
    EXPECT_EQ(played(L"buySpot"), 1u);
    EXPECT_EQ(tutorial.count(L"buildspot_bought"), 1u);
    // Now it is a build spot.
    frames(0.25f);
    m.mContextMenu.reset();
    m.onPointerUp(500, 400);
    ASSERT_NE(m.mContextMenu, nullptr);
    EXPECT_EQ(m.mContextMenu->kind, TDContextMenu::kBuild);
}

TEST_F(Touch, ForcingAWaveEarlyPaysForTheTimeLeftAndPicksTheUnitUnderThePress)
{
    TDMap& m = begin();
    frames(0.1f);
    m.mWaves.skipTo(1000.0f);
    frames(0.1f);
    ASSERT_FALSE(m.mWaves.mUnits.empty());
    TDUnit* u = m.mWaves.mUnits[0];
    u->mSize[0] = u->mSize[1] = 30.0f;
    place(u, 40.0f, 320.0f);
    m.mNextWave.clear();
    m.mNextWave.buttons.push_back({20, 300, 40, 40});
    m.mNextWave.firstSpawnTime = m.mWaves.mClock + 7.6f;
    m.mNextWave.lead = 0.0f;
    EXPECT_TRUE(m.isOnNextWaveButton(21.0f, 301.0f));
    EXPECT_FALSE(m.isOnNextWaveButton(20.0f, 301.0f)); // strictly inside
    for (i32 block : {1, 2})
    {
        ihud.mUIBlock = block;
        ihud.calls.clear();
        m.onPointerDown(40, 320);
        EXPECT_EQ(tutorial.count(L"wave_forced"), 0u);
        EXPECT_EQ(ihud.calls, std::vector<std::wstring>{L"move 40,320"}) << "only the hover follows";
    }
    ihud.mUIBlock = 3; // the wave step of the tutorial
    i32 coins = m.mStats.mCoins;
    m.onPointerDown(40, 320);
    EXPECT_EQ(m.mStats.mCoins, coins + 15);
    ASSERT_FALSE(m.mIndicators.items.empty());
    EXPECT_EQ(m.mIndicators.items.back()->mText, L"+15");
    EXPECT_EQ(tutorial.count(L"wave_forced"), 1u);
    EXPECT_TRUE(m.mNextWave.buttons.empty());
    EXPECT_EQ(m.mHovered, u);
    m.onPointerDown(40, 320);
    EXPECT_EQ(tutorial.count(L"wave_forced"), 1u) << "the buttons are gone";
    m.onPointerDown(900, 700);
    EXPECT_EQ(m.mHovered, u) << "a press beside every unit keeps the pick";
}

TEST_F(Touch, ControlButtonsFollowTheSpeed)
{
    TDMap& m = begin();
    for (const wchar_t* name : {L"play_btn_ac", L"speed_btn_ac", L"pause_btn_ac"})
    {
        ihud.findButton(name)->mY = 10.0f;
        ihud.findButton(name)->mHeight = 20.0f;
    }
    ihud.findButton(L"speed_btn_ac")->mX = 900.0f;
    auto* glow = static_cast<FakeEmitter*>(m.mActiveButtonEmitter.get());
    ASSERT_NE(glow, nullptr);

    m.mSpeed = 2.0f;
    m.updateControlButtons();
    EXPECT_FLOAT_EQ(glow->x, 920.0f); // on the lit speed button
    EXPECT_FLOAT_EQ(glow->y, 20.0f);
    EXPECT_TRUE(m.mActiveButtonPlaced);

    m.mSpeed = 0.5f;
    m.updateControlButtons();
    EXPECT_FALSE(ihud.shown(L"play_btn_ac") || ihud.shown(L"speed_btn_ac") || ihud.shown(L"pause_btn_ac"));
    EXPECT_FALSE(m.mActiveButtonPlaced) << "no button to sit on: the glow hides";

    // A layout without the active button leaves the glow hidden too.
    ihud.mButtons.remove(ihud.findButton(L"play_btn_ac"));
    m.mSpeed = 1.0f;
    m.updateControlButtons();
    EXPECT_FALSE(m.mActiveButtonPlaced);
}

TEST_F(Touch, AnotherScreenOrTheTowerTakenAwayDropsTheMenu)
{
    TDMap& m = begin();
    click(250, 160);
    ASSERT_NE(m.mContextMenu, nullptr);
    m.mScreen = 4;
    m.update(0.01f);
    EXPECT_EQ(m.mContextMenu, nullptr);
    m.mScreen = 0;
    TDTower* tower = m.buildTower(0, 100);
    m.onPointerUp(250, 160);
    ASSERT_NE(m.mContextMenu, nullptr);
    m.removeTower(tower);
    EXPECT_EQ(m.mContextMenu, nullptr);
}
} // namespace

namespace
{
struct PressedBattle
{
    i32 coins = 0, kills = 0, towers = 0, units = 0;
    float health = 0.0f;
    std::vector<float> positions;
    bool operator==(const PressedBattle&) const = default;
};

// Builds on both spots through their menus, calls a wave early, upgrades, and lets it run.
PressedBattle playByPresses(InputFixture& f)
{
    math::SetRandomSeed(99);
    std::string waves = "<wave spawn=\"1\" timeout=\"5\">";
    for (int i = 0; i < 6; ++i)
        waves += "<e id=\"1\" x=\"" + std::to_string(i * 60) + "\" y=\"0\"/>";
    waves += "</wave><wave spawn=\"1\" timeout=\"30\">";
    for (int i = 0; i < 3; ++i)
        waves += "<e id=\"2\" x=\"" + std::to_string(i * 80) + "\" y=\"0\"/>";
    TDMap& m = f.begin(waves + "</wave>");
    for (i32 x : {250, 750})
    {
        f.click(x, 160);
        f.frames(0.25f);
        f.pressEntry(x == 250 ? 100 : 600);
        f.frames(0.3f);
    }
    f.frames(3.0f);
    f.click(250, 160); // the tower's menu
    f.frames(0.25f);
    if (f.entry(1))
        f.pressEntry(1);
    for (int i = 0; i < 40 && m.mScreen == 0; ++i)
        f.frames(0.5f);
    PressedBattle out;
    out.coins = m.mStats.mCoins;
    out.kills = m.mStats.mKillScore;
    out.towers = static_cast<i32>(m.mTowers.size());
    out.units = static_cast<i32>(m.mWaves.mUnits.size());
    out.health = m.mHealth;
    for (const TDUnit* u : m.mWaves.mUnits)
    {
        out.positions.push_back(u->mPos[0]);
        out.positions.push_back(u->mPos[1]);
    }
    return out;
}

TEST_F(Touch, ABattlePlayedByTheSamePressesEndsTheSame)
{
    PressedBattle first = playByPresses(*this);
    EXPECT_EQ(first.towers, 2);
    EXPECT_EQ(first.coins, 500 - 50 - 90 - 40); // two towers and an upgrade, paid by presses
    EXPECT_FALSE(first.positions.empty());
    EXPECT_EQ(map->mTowers.size() == 2 ? map->mTowers[0]->mLevel : -1, 1);
    map.reset();
    ihud.mUIBlock = 0;
    PressedBattle second = playByPresses(*this);
    EXPECT_TRUE(first == second);
}
} // namespace
