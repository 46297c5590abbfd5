// The battle of the first demo level played by clicks in the running game: the ring menu's
// building, upgrading, selling and spot buying, the menu dropped by another screen, gems, spells,
// speed, the early wave under the tutorial's blocks, the second wave's button, countdown and call,
// the control buttons' glow, the level's end with its stars, gems, result window and the shop's
// way on, restarts and level openings, a replay after a restart that ends the same, and the first
// level lost without towers and held by three darts.
#include "DrawRecorder.h"
#include "InGame.h"

#include "Core/Base/Random.h"
#include "Source/TD/Battle/HUDSpellButton.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Draw/TDBattleDrawer.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDIngameMenu.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Shell/HUDUnlockMessage.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDIndicator.h"
#include "Source/TD/Units/TDParticle.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

using namespace tdtest;

namespace
{
TEST_F(InGame, TheRingBuildsUpgradesAndSellsForHalfOfEveryTierPaidAndBuysALockedSpotOnceWithTheGemsItAsks)
{
    // A press beside every entry (on the spot itself) only closes the menu.
    ASSERT_NE(openOn(0), nullptr);
    clickSpot(0);
    EXPECT_EQ(map->mContextMenu->state, TDContextMenu::kClosing);
    ASSERT_TRUE(game.runUntil([&] { return !map->mContextMenu; }, 1.0f));

    // A price with a fraction: the coins for its whole part are one short.
    map->mPrototypes.findById(10000)->cost += 0.5f;
    map->mStats.mCoins = cost(10000);
    TDContextMenu* menu = openOn(0);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->kind, TDContextMenu::kBuild);
    // The pointer over an entry hovers the entry a press there hits.
    float x = 0.0f, y = 0.0f;
    ASSERT_TRUE(entryPoint(10000, x, y));
    game.moveTo(x, y);
    EXPECT_EQ(menu->hoveredId, 10000);
    ASSERT_TRUE(clickEntry(10000));
    EXPECT_TRUE(map->mTowers.empty()) << "short of the fraction";
    EXPECT_EQ(map->mContextMenu->state, TDContextMenu::kOpen);

    // The whole price builds, leaving nothing.
    map->mPrototypes.findById(10000)->cost -= 0.5f;
    ASSERT_TRUE(clickEntry(10000));
    ASSERT_EQ(map->mTowers.size(), 1u);
    TDTower* tower = map->mTowers[0];
    EXPECT_EQ(tower->baseId(), 10000);
    EXPECT_EQ(map->mStats.mCoins, 0);
    EXPECT_EQ(map->mContextMenu->state, TDContextMenu::kClosing);
    ASSERT_TRUE(game.runUntil([&] { return !map->mContextMenu; }, 1.0f)) << "a closed menu is dropped";

    // The first upgrade (the second tier of the sheet, 90): one coin short, then its price.
    const i32 upgrade = 90;
    for (i32 coins : {upgrade - 1, upgrade})
    {
        map->mStats.mCoins = coins;
        menu = openOn(0);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->kind, TDContextMenu::kTowerUpgrades);
        EXPECT_EQ(menu->tower, tower);
        ASSERT_TRUE(clickEntry(1));
        EXPECT_EQ(tower->mLevel, coins == upgrade ? 1 : 0) << coins;
        EXPECT_EQ(map->mStats.mCoins, coins == upgrade ? 0 : coins);
        ASSERT_TRUE(game.runUntil([&] { return !map->mContextMenu; }, 1.0f));
    }

    map->mStats.mCoins = 1000;
    ASSERT_NE(openOn(0), nullptr);
    ASSERT_TRUE(clickEntry(0));
    EXPECT_TRUE(map->mTowers.empty());
    EXPECT_FALSE(spot(0).hasTower);
    EXPECT_EQ(map->mStats.mCoins, 1000 + (cost(10000) + upgrade) / 2);
    game.run(15); // the closing menu outlives its tower safely
    EXPECT_EQ(map->mContextMenu, nullptr);

    // A locked spot is bought once, at its prices to the coin and the gem; one short of either
    // buys nothing.
    size_t locked = 0;
    while (locked < map->mScenery->spotFrames.size() && (!spot(locked).spot || spot(locked).spot->open))
        ++locked;
    ASSERT_LT(locked, map->mScenery->spotFrames.size());
    TDBuildSpot& price = *spot(locked).spot;
    price.costGold = 40; // both prices set, whatever the demo level asks
    price.costReal = 3;
    tutorial.events.clear();
    for (auto [coins, gems] : {std::pair{39, 3}, {40, 2}, {40, 3}})
    {
        map->mStats.mCoins = coins;
        map->mStats.mGems = gems;
        TDContextMenu* menu = openOn(locked);
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->kind, TDContextMenu::kBuySpot);
        ASSERT_TRUE(clickEntry(1));
        ASSERT_TRUE(game.runUntil([&] { return !map->mContextMenu; }, 1.0f));
        const bool bought = coins == 40 && gems == 3;
        EXPECT_EQ(map->mStats.mCoins, bought ? 0 : coins) << coins << " coins, " << gems << " gems";
        EXPECT_EQ(map->mStats.mGems, bought ? 0 : gems);
        EXPECT_EQ(tutorial.count(L"buildspot_bought"), bought ? 1u : 0u);
    }
    EXPECT_EQ(map->mProgress->getGems(), 0);
    ASSERT_NE(openOn(locked), nullptr);
    EXPECT_EQ(map->mContextMenu->kind, TDContextMenu::kBuild) << "now a build spot";
}

TEST_F(InGame, AResultIsStoredOnceABetterOnePaysOnlyTheStarsItAddsAndTheWindowNamesTheLevelAndItsDifficulty)
{
    // The other two levels of the episode have a star: the first three-star window pays the
    // episode's bonus too.
    map->mMode = kDifficultyNormal; // the episode's bonus counts the normal difficulty's stars
    TDLevelResult one;
    one.stars = 1;
    map->mProgress->saveLevelResult(0, 1, kDifficultyNormal, one);
    map->mProgress->saveLevelResult(0, 2, kDifficultyNormal, one);
    struct Play
    {
        float health; // of the maximum
        i32 stars, reward, stored;
    };
    for (const Play& play : {Play{0.1f, 1, 3, 1}, Play{1.0f, 3, 13 - 3 + 100, 3}, Play{0.1f, 1, 0, 3}})
    {
        SCOPED_TRACE(play.health);
        ASSERT_TRUE(restartLevel());
        const i32 gems = map->mStats.mGems;
        map->mHealth = map->mMaxHealth * play.health;
        map->showVictory();
        map->showVictory();
        map->showDefeat();
        game.run(2);
        EXPECT_EQ(map->mScreen, kScreenWon);
        EXPECT_EQ(map->mLevelOutcome.stars, play.stars);
        EXPECT_EQ(map->mLevelOutcome.reward, play.reward);
        EXPECT_EQ(map->mStats.mGems, gems + play.reward);
        EXPECT_EQ(map->mProgress->getGems(), gems + play.reward);
        EXPECT_EQ(map->mProgress->getLevelResult(0, 0, kDifficultyNormal).stars, play.stored);
        size_t windows = 0;
        for (HUDWindow* window : game.windows())
            windows += dynamic_cast<HUDLevelResultWindow*>(window) != nullptr;
        EXPECT_EQ(windows, 1u);
        EXPECT_EQ(GameHarness::text(game.top(), L"levelResult"), GameHarness::localized(L"game_win"));
    }

    // The defeat window names the level and the normal difficulty.
    ASSERT_TRUE(restartLevel());
    map->showDefeat();
    game.run(2);
    HUDWindow* window = game.top<HUDLevelResultWindow>();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GameHarness::text(window, L"levelResult"), GameHarness::localized(L"game_lose"));
    EXPECT_EQ(GameHarness::text(window, L"gameName"), GameHarness::localized(L"diff_normal"));
    EXPECT_EQ(GameHarness::text(window, L"levelName"), GameHarness::localized(L"episode0") + L" 1 - 1");
    EXPECT_EQ(map->mResultAction, kResultActionRestart);

    // A hardcore victory names the hardcore episode; its ribbon stays blank, after a defeat too.
    for (const bool won : {true, false})
    {
        ASSERT_TRUE(restartLevel());
        map->mMode = kDifficultyHardcore;
        if (won)
            map->showVictory();
        else
            map->showDefeat();
        game.run(2);
        window = game.top<HUDLevelResultWindow>();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(GameHarness::text(window, L"levelName"), GameHarness::localized(L"episodeHardcore0") + L" 1 - 1");
        EXPECT_EQ(GameHarness::text(window, L"gameName"), L"");
        EXPECT_EQ(map->mResultAction, won ? kResultActionNextLevel : kResultActionRestart);
    }
}

TEST_F(InGame, MenusOpenOnlyOnTheTutorialSpotWhileOneIsSetAndAnotherSpotAScreenOrTheTowerTakenAwayDropsTheOpenOne)
{
    map->mTutorialSpot = 1;
    EXPECT_EQ(openOn(0), nullptr);
    map->mTutorialSpot = -1;
    ASSERT_NE(openOn(0), nullptr);
    clickSpot(6);
    ASSERT_TRUE(game.runUntil([&] { return !map->mContextMenu; }, 1.0f));
    ASSERT_NE(openOn(6), nullptr);
    EXPECT_EQ(map->mContextMenu->spot, &spot(6));
    // A tower's menu is centred on the tower.
    map->mContextMenu.reset();
    TDTower* tower = map->buildTower(4, 10000);
    ASSERT_NE(tower, nullptr);
    tutorial.events.clear();
    ASSERT_NE(openOn(4), nullptr);
    EXPECT_EQ(map->mContextMenu->tower, tower);
    EXPECT_EQ(map->mContextMenu->centreX, tower->mX);
    EXPECT_EQ(tutorial.events, std::vector<std::wstring>{L"tower_select"});
    // A tower on the third spot of the tutorial (at 896, 563) is announced as such.
    ASSERT_EQ(std::pair(spot(6).spot->x, spot(6).spot->y), std::pair(896.0f, 563.0f));
    map->mContextMenu.reset();
    ASSERT_NE(map->buildTower(6, 10000), nullptr);
    tutorial.events.clear();
    ASSERT_NE(openOn(6), nullptr);
    EXPECT_EQ(tutorial.events, (std::vector<std::wstring>{L"tower_select", L"tower_select_3"}));
    map->mContextMenu.reset();
    ASSERT_NE(openOn(4), nullptr);
    map->removeTower(tower);
    EXPECT_EQ(map->mContextMenu, nullptr) << "the tower taken away";
    // Another screen drops the menu.
    ASSERT_NE(openOn(0), nullptr);
    ASSERT_TRUE(game.click(L"options_btn"));
    ASSERT_TRUE(game.runUntil([&] { return game.top<HUDIngameMenu>() != nullptr; }, 1.0f));
    EXPECT_EQ(map->mContextMenu, nullptr);
    ASSERT_TRUE(game.click(L"resume"));
    ASSERT_TRUE(game.click(L"play_btn"));
}

TEST_F(InGame, ASpellCastOverAGemLeavesItAndTheTutorialsBlocksHoldSpellsAndSpeed)
{
    // A gem dropped by a unit: a cast over it leaves it lying, the next click picks it once.
    game.run(1);
    TDUnit stand(*map, map->mWaves.mWaves[0]->mEntries[0]);
    stand.mPos[0] = stand.mDrawPos[0] = 400.0f;
    stand.mPos[1] = stand.mDrawPos[1] = 300.0f;
    auto* gem = new TDCrystallSpecial(*map, stand);
    gem->mState = kDropLying;
    map->mDrops.push_back(gem);
    game.run(30); // landed
    const float x = gem->mX, y = gem->mY;
    const i32 gems = map->mStats.mGems;
    ASSERT_TRUE(game.click(L"spell0"));
    clickField(x, y);
    EXPECT_EQ(map->mSelectedSpell, -1);
    EXPECT_EQ(game.hud().spellButton(0)->mUsed, 1) << "cast";
    EXPECT_EQ(gem->mState, kDropLying) << "the cast leaves the gem lying";
    clickField(x, y);
    EXPECT_EQ(gem->mState, kDropCollected);
    clickField(x, y); // flying: not found again
    EXPECT_EQ(map->mStats.mGems, gems + 1);

    // A blocked interface chooses no spell; the tutorial's first block leaves only play.
    for (i32 block : {1, 2})
    {
        ASSERT_TRUE(game.click(L"pause_btn"));
        game.hud().mUIBlock = block;
        ASSERT_TRUE(game.click(L"spell1"));
        EXPECT_EQ(map->mSelectedSpell, -1);
        ASSERT_TRUE(game.click(L"speed_btn"));
        EXPECT_EQ(map->mSpeed, 0.0f);
        tutorial.events.clear();
        ASSERT_TRUE(game.click(L"play_btn"));
        EXPECT_EQ(map->mSpeed, block == 1 ? 1.0f : 0.0f);
        EXPECT_EQ(tutorial.count(L"game_play"), block == 1 ? 1u : 0u) << "the tutorial hears a play that plays";
        game.hud().mUIBlock = 0;
    }
    ASSERT_TRUE(game.click(L"play_btn"));

    // The third level has the tower spell: nothing without a tower, cast at once with one.
    map->mLevel = 2;
    ASSERT_EQ(map->loadLevel(), QL_OK);
    ASSERT_TRUE(game.closeUnlockMessages());
    ASSERT_TRUE(game.click(L"spell4"));
    EXPECT_EQ(game.hud().spellButton(4)->mUsed, 0);
    ASSERT_NE(map->buildTower(0, 10000), nullptr);
    ASSERT_TRUE(game.click(L"spell4"));
    EXPECT_EQ(game.hud().spellButton(4)->mUsed, 1);
    EXPECT_EQ(map->mSelectedSpell, -1);
}

TEST_F(InGame, TheShopFromTheResultRestartsALostLevelOrGoesOnAfterAVictory)
{
    for (bool won : {false, true})
    {
        SCOPED_TRACE(won);
        map->mStats.mCoins = 3;
        won ? map->showVictory() : map->showDefeat();
        ASSERT_TRUE(game.runUntil([&] { return game.click(L"done") && game.screen() == kScreenShop; }, 10.0f));
        auto* shop = game.top<HUDShopWindow>();
        ASSERT_NE(shop, nullptr);
        EXPECT_EQ(shop->origin, 1) << "opened after the level";
        EXPECT_EQ(map->mShopReturnTarget, kShopReturnGame);
        ASSERT_TRUE(game.click(L"return_ac"));
        ASSERT_TRUE(game.closeUnlockMessages());
        EXPECT_EQ(map->mLevel, won ? 1 : 0);
        EXPECT_EQ(map->mStats.mCoins, map->mStats.mStartCoins) << "the level starts again";
    }
}

TEST_F(InGame,
       CallingAWaveEarlyPaysForTheTimeLeftUnlessTheTutorialHoldsItPicksTheUnitPressedAndTheGlowSitsOnTheLitButton)
{
    ASSERT_FALSE(map->mNextWave.buttons.empty());
    const auto button = map->mNextWave.buttons.front();
    EXPECT_TRUE(map->isOnNextWaveButton(button.x + 1.0f, button.y + 1.0f));
    EXPECT_FALSE(map->isOnNextWaveButton(button.x, button.y + 1.0f)) << "strictly inside";
    const float x = button.x + button.width / 2.0f, y = button.y + button.height / 2.0f;
    map->mNextWave.firstSpawnTime = map->mWaves.mClock + 7.6f;
    map->mNextWave.lead = 0.0f;
    const i32 coins = map->mStats.mCoins;
    for (i32 block : {1, 2})
    {
        game.hud().mUIBlock = block;
        game.tap(x, y);
        EXPECT_EQ(map->mStats.mCoins, coins);
        EXPECT_FALSE(map->mNextWave.buttons.empty());
    }
    game.hud().mUIBlock = 3; // the wave step of the tutorial
    game.tap(x, y);
    EXPECT_EQ(map->mStats.mCoins, coins + 15);
    ASSERT_FALSE(map->mIndicators.items.empty());
    EXPECT_EQ(map->mIndicators.items.back()->mText, L"+15");
    EXPECT_TRUE(map->mNextWave.buttons.empty());
    game.hud().mUIBlock = 0;

    // A press on a unit picks it; a press beside every unit keeps the pick.
    ASSERT_TRUE(game.runUntil([&] { return !map->mWaves.mUnits.empty(); }, 10.0f));
    TDUnit* unit = map->mWaves.mUnits.front();
    game.tap(unit->mPos[0] * map->mScale + map->mOffsetX, unit->mPos[1] * map->mScale + map->mOffsetY);
    EXPECT_EQ(map->mHovered, unit);
    game.tap(600.0f, 20.0f);
    EXPECT_EQ(map->mHovered, unit);

    // The glow sits on the lit control button and hides without one.
    // Its own emitter only tells where it is put.
    struct Glow : TDEmitter
    {
        float x = 0.0f, y = 0.0f;
        void setState(TDEmitterState) override {}
        TDEmitterState state() const override { return kEmitterPlaying; }
        void setPosition(float px, float py) override
        {
            x = px;
            y = py;
        }
        void update(double) override {}
        void setLoopMode(i32) override {}
    };
    auto owned = std::make_unique<Glow>();
    Glow& glow = *owned;
    map->mActiveButtonEmitter = std::move(owned);
    ASSERT_TRUE(game.click(L"speed_btn"));
    EXPECT_TRUE(map->mActiveButtonPlaced);
    float litX = 0.0f, litY = 0.0f;
    ASSERT_TRUE(game.buttonCentre(L"speed_btn_ac", litX, litY));
    EXPECT_NEAR(glow.x, litX, 1.0f) << "on the lit speed button";
    EXPECT_NEAR(glow.y, litY, 1.0f);

    map->mSpeed = 0.5f;
    map->updateControlButtons();
    EXPECT_FALSE(map->mActiveButtonPlaced) << "no button to sit on";
    // A layout without the active button leaves the glow hidden too.
    game.hud().mButtons.remove(game.hud().findButton(L"play_btn_ac"));
    map->mSpeed = 1.0f;
    map->updateControlButtons();
    EXPECT_FALSE(map->mActiveButtonPlaced);
}

// The wave countdown as the game draws it, "<none>" without one.
std::wstring DrawnCountdown(GameHarness& game)
{
    RecordingCanvas canvas;
    game.drawBattle(canvas);
    const std::wstring countdown = LocalStrings::Instance()->get(L"game_nextwave");
    for (const Drawn& d : canvas.drawn)
        if (d.kind == Drawn::Text && d.name.rfind(countdown, 0) == 0)
            return d.name;
    return L"<none>";
}

TEST_F(InGame, TheSecondWaveCountsDownFromTheEndOfTheFirstWithItsOwnButtonTimeAndEarlyBonus)
{
    // The level's waves wait 6 and 8 s, plus the outer 4 s each; the first starts on the road's
    // first point (0, 200), the second too.
    const std::wstring nextWave = LocalStrings::Instance()->get(L"game_nextwave") + L" ";
    ASSERT_EQ(map->mWaves.mNextIndex, 0);
    ASSERT_EQ(map->mNextWave.buttons.size(), 1u);
    EXPECT_FLOAT_EQ(map->mNextWave.firstSpawnTime, 10.0f);
    EXPECT_EQ(std::pair(map->mNextWave.buttons[0].x, map->mNextWave.buttons[0].y), std::pair(0, 200));

    // The first wave called at once, then each of its units killed as it comes.
    ASSERT_TRUE(game.runUntil([&] { return !game.board().mBannerWindow; }, 10.0f));
    const TDWaveHint::Button first = map->mNextWave.buttons.front();
    game.click(static_cast<float>(first.x + first.width / 2), static_cast<float>(first.y + first.height / 2));
    ASSERT_TRUE(map->mNextWave.buttons.empty());
    bool ended = false;
    for (int i = 0; i < 30 * 60 && !ended; ++i)
    {
        for (TDUnit* unit : map->mWaves.mUnits)
            unit->mHealth = 0.0f;
        ASSERT_TRUE(game.frame());
        ended = map->mWaves.mWavesDone == 1;
    }
    ASSERT_TRUE(ended) << "the first wave ends";
    EXPECT_EQ(map->mWaves.mClock, 0.0f) << "the clock starts again where the wave ended";
    EXPECT_TRUE(map->mNextWave.buttons.empty()) << "no button until the next wave starts";

    // The next frame starts the second wave: its button and its own waiting time, counted from
    // that clock.
    const float dt = 1.0f / 30.0f;
    ASSERT_TRUE(game.frame(dt));
    ASSERT_EQ(map->mWaves.mNextIndex, 1);
    ASSERT_EQ(map->mNextWave.buttons.size(), 1u);
    const TDWaveHint::Button second = map->mNextWave.buttons.front();
    EXPECT_EQ(std::pair(second.x, second.y), std::pair(0, 200));
    EXPECT_FLOAT_EQ(map->mNextWave.firstSpawnTime, 12.0f);
    EXPECT_FLOAT_EQ(map->mWaves.mClock, dt);
    EXPECT_EQ(DrawnCountdown(game), nextWave + L"11");

    // Four seconds on the countdown shows 7 and a call pays 2 coins a second left: 15.
    ASSERT_TRUE(game.run(120, dt));
    EXPECT_NEAR(map->mWaves.mClock, 121.0f * dt, 1e-3f);
    ASSERT_FALSE(map->mNextWave.buttons.empty());
    EXPECT_EQ(DrawnCountdown(game), nextWave + L"7");
    EXPECT_TRUE(map->mWaves.mUnits.empty());
    const i32 coins = map->mStats.mCoins;
    game.tap(static_cast<float>(second.x + second.width / 2), static_cast<float>(second.y + second.height / 2));
    EXPECT_EQ(map->mStats.mCoins, coins + 15);
    ASSERT_FALSE(map->mIndicators.items.empty());
    EXPECT_EQ(map->mIndicators.items.back()->mText, L"+15");
    EXPECT_TRUE(map->mNextWave.buttons.empty());
    EXPECT_EQ(DrawnCountdown(game), L"<none>");
    EXPECT_FLOAT_EQ(map->mWaves.mClock, 12.0f) << "the clock jumps to the wave's time";
    // Its first unit (at 0 of the wave's own time) comes on the next frame.
    ASSERT_TRUE(game.frame(dt));
    EXPECT_EQ(map->mWaves.mUnits.size(), 1u);
}

struct PressedBattle
{
    i32 coins = 0, kills = 0, towers = 0, level = -1;
    float health = 0.0f;
    std::vector<float> positions;
    bool operator==(const PressedBattle&) const = default;
};

TEST_F(InGame, ABattlePlayedByTheSameClicksAfterARestartEndsTheSame)
{
    // Builds on two spots through their menus, calls the first wave at once, upgrades, and lets
    // the battle run for half a minute.
    auto play = [&]
    {
        math::SetRandomSeed(99);
        map->mStats.mCoins = 500;
        PressedBattle out;
        for (size_t i : {0, 4})
        {
            if (!openOn(i) || !clickEntry(i == 0 ? 10000 : 20000))
                return out;
            game.run(10);
        }
        if (map->mNextWave.buttons.empty())
            return out;
        const auto next = map->mNextWave.buttons.front();
        game.click(next.x + next.width / 2.0f, next.y + next.height / 2.0f);
        game.run(90);
        if (!openOn(0) || !clickEntry(1))
            return out;
        game.run(900);
        out.coins = map->mStats.mCoins;
        out.kills = map->mStats.mKillScore;
        out.towers = static_cast<i32>(map->mTowers.size());
        out.level = map->mTowers.empty() ? -1 : map->mTowers[0]->mLevel;
        out.health = map->mHealth;
        for (const TDUnit* unit : map->mWaves.mUnits)
        {
            out.positions.push_back(unit->mPos[0]);
            out.positions.push_back(unit->mPos[1]);
        }
        for (const TDTowerSpecial* drop : map->mDrops)
        {
            out.positions.push_back(drop->mX);
            out.positions.push_back(drop->mY);
        }
        return out;
    };
    const PressedBattle first = play();
    EXPECT_EQ(first.towers, 2);
    EXPECT_EQ(first.level, 1) << "upgraded by its menu";
    EXPECT_GT(first.kills, 0);
    EXPECT_FALSE(first.positions.empty());
    ASSERT_TRUE(restartLevel());
    EXPECT_TRUE(play() == first);
}

TEST_F(InGame, ARestartKeepsTheGemTotalAndEndsScreensPausesSpellsAndSpeedUpsAndALevelOpensOnItsUnlockMessageOrBanner)
{
    map->mStats.addGems(4);
    map->mStats.addKill(10, 0, 0);
    const i32 total = map->mStats.mGems;
    ASSERT_NE(map->buildTower(0, 10000), nullptr);
    ASSERT_TRUE(game.click(L"speed_btn"));
    ASSERT_TRUE(game.click(L"spell0"));
    ASSERT_TRUE(game.click(L"options_btn"));
    ASSERT_TRUE(game.runUntil([&] { return game.top<HUDIngameMenu>() != nullptr; }, 1.0f));
    ASSERT_TRUE(restartLevel());
    EXPECT_EQ(map->mStats.mGems, total);
    EXPECT_EQ(std::pair(map->mStats.mGemsWon, map->mStats.mKillScore), std::pair(0, 0));
    EXPECT_EQ(map->mStats.mCoins, map->mStats.mStartCoins);
    EXPECT_TRUE(map->mTowers.empty());
    EXPECT_EQ(map->mSpeed, 1.0f);
    EXPECT_EQ(map->mSelectedSpell, -1);
    EXPECT_EQ(game.find<HUDIngameMenu>(), nullptr);
    EXPECT_TRUE(game.hud().findButton(L"play_btn_ac")->mVisible);

    // A level opens on its unlock message, or else on its banner.
    i32 banners = 0;
    game.hud().mOnBanner = [&banners](std::unique_ptr<HUDWindow>) { ++banners; };
    map->mLevel = 1;
    tutorial.events.clear();
    ASSERT_EQ(map->loadLevel(), QL_OK);
    EXPECT_EQ(map->mScreen, kScreenUnlockMessage);
    EXPECT_EQ(banners, 0);
    ASSERT_TRUE(game.closeUnlockMessages());
    EXPECT_EQ(banners, 1) << "the banner follows the message";
    EXPECT_EQ(tutorial.count(L"unlock_window_close"), 1u);
    // Once the tutorial's gem step is done, closing the message counts as the spot bought.
    map->mProgress->setTutorialStepState(5, kStepComplete);
    tutorial.events.clear();
    ASSERT_EQ(map->loadLevel(), QL_OK);
    ASSERT_TRUE(game.closeUnlockMessages());
    EXPECT_EQ(tutorial.count(L"buildspot_bought"), 1u);
    EXPECT_EQ(tutorial.count(L"unlock_window_close"), 0u);
    EXPECT_EQ(banners, 2);
    // Nothing new at the level: the banner at once.
    map->mUnlocks = TDUnlocks();
    map->mUnlocks.readText("0;0;10000\n");
    ASSERT_EQ(map->loadLevel(), QL_OK);
    EXPECT_EQ(map->mScreen, kScreenBattle);
    EXPECT_EQ(banners, 3);
}

// Whole battles on "The Ford" at the normal difficulty, frames of 1/60 s.
TEST_F(InGame, WithoutTowersTheFordIsLostUnitByUnit)
{
    map->mMode = kDifficultyNormal;
    ASSERT_TRUE(restartLevel());
    ASSERT_TRUE(game.runUntil([&] { return map->mScreen != kScreenBattle; }, 900.0f, 1.0f / 60.0f));
    EXPECT_EQ(map->mScreen, kScreenLost);
    EXPECT_EQ(map->mHealth, 0.0f);
    // Every unit of the level has strength 1.
    EXPECT_EQ(static_cast<float>(map->mStats.mUnitsThrough), map->mMaxHealth);
    EXPECT_EQ(static_cast<float>(map->mStats.mDamageTaken), map->mMaxHealth);
    EXPECT_EQ(map->mStats.mKillScore, 0);
    EXPECT_EQ(map->mStats.mCoins, map->mStats.mStartCoins);
    EXPECT_EQ(map->mResultAction, kResultActionRestart);
    EXPECT_EQ(map->mSpeed, 0.0f);
    EXPECT_TRUE(game.runUntil([&] { return game.find<HUDLevelResultWindow>() != nullptr; }, 1.0f));
}

TEST_F(InGame, ThreeDartsHoldTheFordWithThreeStars)
{
    // Two darts beside the first bends before the first wave, a third once the coins allow; the
    // towers wait for their firing frames and units play their deaths before they go.
    map->mMode = kDifficultyNormal;
    ASSERT_TRUE(restartLevel());
    ASSERT_NE(map->buildTower(1, 10000), nullptr);
    ASSERT_NE(map->buildTower(4, 10000), nullptr);
    ASSERT_TRUE(game.runUntil([&] { return map->mTime >= 12.0f; }, 60.0f, 1.0f / 60.0f));
    // A frame of the game's own drawing on the recording device.
    ASSERT_FALSE(map->mWaves.mUnits.empty());
    // The walking kinds tinted towards one colour for the frame: the mob shader takes it.
    std::vector<std::pair<TDPrototype*, u32>> fills;
    for (const TDUnit* unit : map->mWaves.mUnits)
        if (TDPrototype* kind = map->mPrototypes.findById(unit->protoId()))
        {
            fills.emplace_back(kind, kind->fillColor);
            kind->fillColor = 0xFF336699u;
        }
    std::vector<std::string> trace;
    TDBattleDrawer& drawer = *game.board().getDrawer();
    drawer.mTrace = &trace;
    const size_t before = game.drawCalls();
    game.forgetDeviceCalls();
    ASSERT_TRUE(game.frame(1.0f / 60.0f));
    drawer.mTrace = nullptr;
    for (auto [kind, fill] : fills)
        kind->fillColor = fill;
    // The units are drawn with the mob shader's program, its "color2" set to the kinds' colour
    // (the plain tint would only change the drawing colour).
    const std::vector<std::string> calls = game.deviceCalls();
    std::string mobProgram;
    for (const std::string& call : calls)
        if (call.rfind("SetConstantVector ", 0) == 0 && call.find(" 0.2 0.4 0.6 1") != std::string::npos)
            mobProgram = "SetProgram " + call.substr(18, call.find(' ', 18) - 18);
    ASSERT_FALSE(mobProgram.empty()) << "no shader constant of the kinds' colour";
    size_t shadedDraws = 0;
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i] == mobProgram)
            for (size_t j = i + 1; j < calls.size() && calls[j].rfind("SetProgram ", 0) != 0; ++j)
                shadedDraws += calls[j].rfind("Draw", 0) == 0 ? 1 : 0;
    EXPECT_GT(shadedDraws, 0u) << "drawn through the mob shader";
    // The background's pictures come first, the ambient-effect places left out.
    const size_t layers = map->mScenery->layers.size() - map->mScenery->effectPlaces.size();
    ASSERT_GE(trace.size(), layers);
    EXPECT_EQ(static_cast<size_t>(std::count(trace.begin(), trace.begin() + static_cast<long>(layers), "background")),
              layers);
    const size_t towers = static_cast<size_t>(std::count(trace.begin(), trace.end(), "tower:10000"));
    const size_t units = static_cast<size_t>(
        std::count_if(trace.begin(), trace.end(), [](const std::string& step) { return step.rfind("unit:", 0) == 0; }));
    EXPECT_EQ(towers, 2u);
    EXPECT_GT(units, 0u);
    // Background layers, spots, towers, units and shadows all reach the device as draws.
    EXPECT_GE(game.drawCalls() - before, layers + towers + units);
    ASSERT_TRUE(game.runUntil([&] { return map->mTime >= 30.0f; }, 60.0f, 1.0f / 60.0f));
    ASSERT_NE(map->buildTower(6, 10000), nullptr);
    ASSERT_TRUE(game.runUntil([&] { return map->mScreen != kScreenBattle; }, 900.0f, 1.0f / 60.0f));
    EXPECT_EQ(map->mScreen, kScreenWon);
    EXPECT_EQ(map->mStats.mUnitsThrough, 0);
    EXPECT_EQ(map->mLevelOutcome.stars, 3);
    // 30 units worth 4 coins each.
    EXPECT_EQ(map->mStats.mKillScore, 120);
    // The budget less three darts, the bounties, the four wipe awards and the combos.
    EXPECT_GT(map->mStats.mComboBonus, 0);
    EXPECT_EQ(map->mStats.mCoins,
              map->mStats.mStartCoins - 3 * cost(10000) + 120 + (10 + 15 + 20 + 40) + map->mStats.mComboBonus);
}
} // namespace
