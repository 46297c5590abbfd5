// Shop upgrades on the towers a player meets, bought by clicking in the shop at two display
// sizes: a level's own tower under Dart Craft's price cut costs the level nothing, on its start
// and its replay; Arcane Reach gives a mage its 15% on every tier step bought and on the next
// rank, in the battle and in the ring's range picture alike.
#include "RingClicks.h"
#include "ShopClicks.h"
#include "support/GameHarness.h"

#include "Core/Widget/Controls/TMessageBox.h"
#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/HUDIngameMenu.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Units/TDIndicator.h"
#include "Source/TD/Units/TDTower.h"
#include "TD/DrawRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

using testsupport::GameHarness;

namespace
{
constexpr i32 kDart = 10000, kMage = 30000;
constexpr i32 kDartCraft = 2, kArcaneReach = 5;

struct Display
{
    int width, height;
};

// A player with three stars on the first episode and crystals for the whole shop, on a display.
GameHarness::Options shopper(const Display& display)
{
    static const GameHarness::Options options =
        GameHarness::threeStarPlayer([](TDProgress& progress) { progress.setGems(1000); });
    GameHarness::Options sized = options;
    sized.displayWidth = display.width;
    sized.displayHeight = display.height;
    return sized;
}

// From the main menu to the level selection, each (tab, upgrade) bought in the shop it opens, in
// order (a second buy of an upgrade buys its next step), then the level's plate clicked, past its
// unlock messages, to the running battle.
bool buyThenStart(GameHarness& game, const std::vector<std::pair<int, i32>>& purchases, i32 level)
{
    HUDShopWindow* shop = game.started() ? playtest::shopFromLevels(game) : nullptr;
    if (!shop)
        return false;
    for (const auto& [tab, upgrade] : purchases)
        if (!playtest::buy(game, *shop, tab, upgrade))
            return false;
    if (!game.click(L"back_ac") || !game.runUntil([&] { return game.screen() == kScreenLevels; }, 2.0f))
        return false;
    HUDLevelSelect* levels = game.top<HUDLevelSelect>();
    if (!levels)
        return false;
    // The click closes the level selection and its plates with it.
    auto plate = std::find_if(levels->mPlates.begin(), levels->mPlates.end(),
                              [&](const LevelPlate& p) { return p.level == level; });
    if (plate == levels->mPlates.end())
        return false;
    game.click(static_cast<float>(plate->x + plate->width / 2), static_cast<float>(plate->y + plate->height / 2));
    return game.closeUnlockMessages() && game.map().mLevel == level && game.screen() == kScreenBattle;
}

// The level started again from the in-game menu, confirmed.
bool restartFromMenu(GameHarness& game)
{
    if (!game.click(L"options_btn") || !game.runUntil([&] { return game.top<HUDIngameMenu>() != nullptr; }, 1.0f) ||
        !game.click(L"restart"))
        return false;
    game.run(10); // the confirmation shows
    if (!game.dialog<TMessageBox>())
        return false;
    game.click(390.0f, 535.0f);
    game.run(3);
    return game.closeUnlockMessages() && game.screen() == kScreenBattle;
}

struct UpgradedTowers : ::testing::TestWithParam<Display>
{
};
} // namespace

TEST_P(UpgradedTowers, ALevelsOwnTowerCostsTheLevelNothingUnderDartCraftsPriceCutOnItsStartAndReplay)
{
    GameHarness game(shopper(GetParam()));
    // Dart Craft's three steps: the last cuts a dart's price by 10%.
    ASSERT_TRUE(buyThenStart(game, {{1, kDartCraft}, {1, kDartCraft}, {1, kDartCraft}}, 1)) << game.log();
    TDMap& map = game.map();
    ASSERT_EQ(2, map.mProgress->getUpgradeLevel(kDartCraft)) << "the third step bought";
    const TDPrototype* dart = map.findPrototype(kDart);
    ASSERT_NE(nullptr, dart);
    const i32 cut = static_cast<i32>(dart->cost * 0.9f);
    ASSERT_LT(cut, static_cast<i32>(dart->cost));
    for (int start = 0; start < 2; ++start)
    {
        SCOPED_TRACE(start == 0 ? "the level's start" : "its replay");
        if (start == 1)
        {
            map.mStats.addCoins(100);
            ASSERT_TRUE(restartFromMenu(game));
        }
        ASSERT_EQ(1u, map.mTowers.size());
        EXPECT_EQ(kDart, map.mTowers[0]->baseId());
        EXPECT_EQ(map.mBudget, map.mStats.mStartCoins) << "no start-budget upgrade bought";
        EXPECT_EQ(map.mBudget, map.mStats.mCoins) << "the level's own tower gives no coins";
        EXPECT_EQ(cut, map.mStats.mCoinsSpent) << "built at the cut price, as a dart the player builds";
        game.run(40);
        EXPECT_EQ(map.mBudget, map.mStats.mShownCoins) << "the counter shows the budget";
    }
}

TEST_P(UpgradedTowers, ArcaneReachGivesAMageItsFifteenPercentOnEveryTierStepInTheBattleAndInTheRing)
{
    GameHarness game(shopper(GetParam()));
    ASSERT_TRUE(buyThenStart(game, {{2, kArcaneReach}}, 1)) << game.log();
    TDMap& map = game.map();
    const TDPrototype* mage = map.findPrototype(kMage);
    ASSERT_NE(nullptr, mage);
    ASSERT_EQ(2, mage->tierUpdates);
    map.mStats.mCoins = 10000;
    auto clickAt = [&](float bx, float by)
    { game.click(map.mOffsetX + bx * map.mScale, map.mOffsetY + by * map.mScale); };
    // The ring's solid range picture as drawn now, in reach units; -1 without one.
    auto pictured = [&]
    {
        tdtest::RecordingUiPainter painter;
        if (map.mContextMenu)
            map.mContextMenu->drawRange(painter);
        const std::vector<tdtest::UiCall> range = painter.of(L"image");
        return range.size() == 1 ? range[0].scale * 336.0f : -1.0f;
    };

    // The build ring of the first free open spot pictures the mage's reach under the pointer.
    TDSpotFrame* spot = nullptr;
    for (TDSpotFrame& s : map.mScenery->spotFrames)
        if (!spot && !s.hasTower && s.spot && s.spot->open)
            spot = &s;
    ASSERT_NE(nullptr, spot);
    const float x = spot->x + spot->width * 0.5f, y = spot->y + spot->height * 0.5f;
    const float mult = spot->spot->properties.peekFloat("radius_mult") == 0.0f
                           ? 1.0f
                           : spot->spot->properties.peekFloat("radius_mult");
    clickAt(x, y);
    ASSERT_TRUE(map.mContextMenu && map.mContextMenu->kind == TDContextMenu::kBuild);
    ASSERT_TRUE(playtest::HoverMenuEntry(game, [](i32 id) { return id == kMage; }));
    EXPECT_NEAR(mage->radius * 1.15f * mult, pictured(), 1e-3f) << "no step: the build ring";
    ASSERT_TRUE(playtest::ClickMenuEntry(game, [](i32 id) { return id == kMage; }));
    game.run(10);
    TDTower* tower = map.findTowerAt(x, y);
    ASSERT_NE(nullptr, tower);

    // Each step through the tower's ring: the reach a mage so stepped has without the upgrade,
    // 15% farther; the ring pictures it once the steps are bought and the ranks are offered.
    auto buySteps = [&](const TDPrototype& rank, float before)
    {
        for (int n = 1; n <= mage->tierUpdates; ++n)
        {
            SCOPED_TRACE(std::to_string(n) + " steps on " + std::to_string(rank.id));
            const float had = tower->range();
            map.mContextMenu.reset();
            clickAt(tower->mX, tower->mY);
            ASSERT_TRUE(map.mContextMenu && map.mContextMenu->kind == TDContextMenu::kTowerTier);
            ASSERT_TRUE(playtest::ClickMenuEntry(game, [](i32 id) { return id == 1; }));
            ASSERT_EQ(n, tower->mTierCount);
            std::wstring said;
            for (const TDIndicator* indicator : map.mIndicators.items)
                if (indicator->mKind == kIndicatorText)
                    said = indicator->mText;
            game.run(2);
            const float stepped = rank.radius + before + static_cast<float>(n) * mage->tierK * mage->radius;
            EXPECT_NEAR(stepped * 1.15f * mult, tower->range(), 1e-3f);
            // The step's text over the tower tells the reach it gave, the upgrade's share in.
            const i32 gain = static_cast<i32>(std::lround(100.0f * (tower->range() - had) / had));
            EXPECT_EQ(tdFormatInt(GameHarness::localized(L"towerUpgradeInfoRange"), gain),
                      said.substr(0, said.find(L'\n')));
        }
        map.mContextMenu.reset();
        clickAt(tower->mX, tower->mY);
        ASSERT_TRUE(map.mContextMenu && map.mContextMenu->kind == TDContextMenu::kTowerUpgrades);
        game.run(10);
        map.mContextMenu->hoveredItem = nullptr; // the pointer rests on the tower
        EXPECT_NEAR(tower->range(), pictured(), 1e-3f) << "the ring shows the battle's reach";
    };
    game.run(2);
    EXPECT_NEAR(mage->radius * 1.15f * mult, tower->range(), 1e-3f) << "no step";
    buySteps(*mage, 0.0f);

    // The next rank, pictured on its entry under the pointer, then bought there, keeps the steps
    // and their 15%; its own steps add theirs.
    const TDPrototype* rank = tower->currentProto(1);
    ASSERT_NE(nullptr, rank);
    const float steps = static_cast<float>(mage->tierUpdates) * mage->tierK * mage->radius;
    const float ranked = (rank->radius + steps) * 1.15f * mult;
    ASSERT_TRUE(playtest::HoverMenuEntry(game, [](i32 id) { return id == 1; }));
    EXPECT_NEAR(ranked, pictured(), 1e-3f) << "the rank's entry";
    ASSERT_TRUE(playtest::ClickMenuEntry(game, [](i32 id) { return id == 1; }));
    ASSERT_EQ(1, tower->mLevel);
    game.run(2);
    EXPECT_NEAR(ranked, tower->range(), 1e-3f);
    buySteps(*rank, steps);
}

INSTANTIATE_TEST_SUITE_P(Displays, UpgradedTowers, ::testing::Values(Display{1920, 1080}, Display{1366, 768}),
                         [](const ::testing::TestParamInfo<Display>& info)
                         { return std::to_string(info.param.width) + "x" + std::to_string(info.param.height); });
