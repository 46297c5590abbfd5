// The Ordeal (hardcore) as a player who bought upgrades meets it: its arrivals pages, a battle
// without the upgrades, its result, and the shop after it, which still sells what the profile
// holds.
#include "ShopClicks.h"
#include "support/GameHarness.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDLevelResult.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Shell/HUDUnlockMessage.h"

#include <gtest/gtest.h>

using playtest::buy;
using playtest::plateOf;
using playtest::showTab;
using testsupport::GameHarness;

namespace
{
// A player with three stars on every level of the first episode (its Ordeal open), 100 crystals
// and nothing bought.
GameHarness::Options threeStarPlayer()
{
    static const GameHarness::Options options =
        GameHarness::threeStarPlayer([](TDProgress& progress) { progress.setGems(100); });
    return options;
}
} // namespace

TEST(Ordeal, ItsPagesShowItsResultNamesItAndTheShopAfterItKeepsAndSellsWhatWasBought)
{
    GameHarness game(threeStarPlayer());
    ASSERT_TRUE(game.started()) << game.log();
    TDMap& map = game.map();
    TDProgress& progress = *map.mProgress;

    // Two upgrades bought in the shop the level selection opens.
    HUDShopWindow* shop = playtest::shopFromLevels(game);
    ASSERT_NE(nullptr, shop);
    ASSERT_TRUE(buy(game, *shop, 0, 1));
    ASSERT_TRUE(buy(game, *shop, 1, 2));
    ASSERT_EQ(0, progress.getUpgradeLevel(1));
    ASSERT_EQ(0, progress.getUpgradeLevel(2));
    ASSERT_EQ(100 - 15 - 10, map.mStats.mGems);
    ASSERT_TRUE(game.click(L"back_ac"));
    ASSERT_TRUE(game.runUntil([&] { return game.screen() == kScreenLevels; }, 2.0f));

    // The Ordeal's first level: each arrivals page shows its picture and its text.
    ASSERT_TRUE(game.click(L"unlocked_d"));
    ASSERT_TRUE(
        game.runUntil([&] { return game.screen() == kScreenLevels && map.mMode == kDifficultyHardcore; }, 2.0f));
    HUDLevelSelect* levels = game.top<HUDLevelSelect>();
    ASSERT_NE(nullptr, levels);
    ASSERT_FALSE(levels->mPlates.empty());
    const LevelPlate& first = levels->mPlates.front();
    game.click(static_cast<float>(first.x + first.width / 2), static_cast<float>(first.y + first.height / 2));
    auto* arrivals = game.top<HUDUnlockMessage>();
    ASSERT_NE(nullptr, arrivals) << "the Ordeal's arrivals";
    ASSERT_EQ(3u, arrivals->shownIds.size());
    for (size_t page = 0; page < 3; ++page)
    {
        ASSERT_EQ(arrivals, game.top()) << "page " << page;
        int shown = 0;
        for (const TDFrameEntry* icon : arrivals->icons)
            shown += icon->mVisible;
        EXPECT_EQ(1, shown) << "page " << page;
        const std::wstring message = GameHarness::text(arrivals, L"message");
        EXPECT_EQ(GameHarness::localized(L"unlock_" + std::to_wstring(arrivals->shownIds[page])), message);
        EXPECT_FALSE(message.empty()) << "page " << page;
        ASSERT_TRUE(game.click(L"ok"));
    }
    ASSERT_TRUE(game.closeUnlockMessages());
    EXPECT_EQ(map.mBudget, map.mStats.mStartCoins) << "the Ordeal is fought without the upgrades";

    // Won: the result names the Ordeal in the level's name; the difficulty ribbon is blank.
    map.showVictory();
    ASSERT_TRUE(game.runUntil([&] { return game.top<HUDLevelResultWindow>() != nullptr; }, 1.0f));
    EXPECT_EQ(L"", GameHarness::text(game.top(), L"gameName"));
    EXPECT_EQ(GameHarness::localized(L"episodeHardcore0") + L" 1 - 1", GameHarness::text(game.top(), L"levelName"));
    ASSERT_TRUE(game.runUntil([&] { return game.click(L"done") && game.screen() == kScreenShop; }, 10.0f));

    // The shop after it shows both bought and sells the next step at its price.
    shop = game.top<HUDShopWindow>();
    ASSERT_NE(nullptr, shop);
    ASSERT_EQ(kDifficultyHardcore, map.mMode) << "the battle's mode is still the Ordeal's";
    const ShopUpgradePlate* dart = showTab(game, *shop, 1, 2);
    ASSERT_NE(nullptr, dart);
    EXPECT_TRUE(dart->starShown(0));
    EXPECT_FALSE(dart->starShown(1));
    EXPECT_EQ(L"20", dart->priceText);
    const ShopUpgradePlate* might = showTab(game, *shop, 0, 1);
    ASSERT_NE(nullptr, might);
    EXPECT_TRUE(might->starShown(0));
    EXPECT_FALSE(might->starShown(1));
    EXPECT_EQ(L"35", might->priceText);
    const i32 gems = map.mStats.mGems;
    ASSERT_GE(gems, 35 + 20);
    ASSERT_TRUE(buy(game, *shop, 0, 1));
    EXPECT_EQ(gems - 35, map.mStats.mGems);
    EXPECT_EQ(1, progress.getUpgradeLevel(1));
    EXPECT_NE(std::string::npos, game.profilesFile().find("<upgrade id=\"1\" level=\"1\""));
    EXPECT_TRUE(plateOf(*shop, 1)->complete);
    ASSERT_TRUE(buy(game, *shop, 1, 2));
    EXPECT_EQ(1, progress.getUpgradeLevel(2)) << "the second upgrade's next step, not its first again";
    EXPECT_EQ(gems - 35 - 20, map.mStats.mGems);
}
