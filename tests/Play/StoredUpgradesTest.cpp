// Upgrade levels as a hand-edited or older profile stores them, through the whole game: one
// without a number (its first step bought) and one past its last step (complete). The shop shows
// and sells from what is stored, a purchase only ever raises a level, the battle applies the
// steps in force, and the reset gives back every step up to the last, once.
#include "ShopClicks.h"
#include "support/GameHarness.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Data/TDPrototype.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Shell/HUDModalDialog.h"
#include "Source/TD/Shell/HUDShopWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using playtest::buy;
using playtest::plateOf;
using playtest::showTab;
using testsupport::GameHarness;

namespace
{
constexpr i32 kMight = 1, kDarts = 2; // the demo's: steps of 15 and 35, and of 10, 20 and 30 crystals

GameHarness::Options storedLevels(int width, int height)
{
    GameHarness::Options options;
    options.logos = false;
    options.displayWidth = width;
    options.displayHeight = height;
    // The file's first profile is the store's hidden default one.
    options.profiles = R"(<Profiles currentProfile="Ann"><Profile name="Player01234567890123456789"/>)"
                       R"(<Profile name="Ann"><fs v="1"/><mode v="0"/><tutorial avail="0"/><gems amount="40"/>)"
                       R"(<upgrades><upgrade id="1"/><upgrade id="2" level="5"/></upgrades></Profile></Profiles>)";
    return options;
}

std::string upgradeEntry(i32 id, i32 level)
{
    return "<upgrade id=\"" + std::to_string(id) + "\" level=\"" + std::to_string(level) + "\"/>";
}

// The reset asked for and confirmed; true once the shop is back on top.
bool confirmReset(GameHarness& game, HUDShopWindow* shop)
{
    if (!game.click(L"reset_premium_points") ||
        !game.runUntil([&] { return game.screen() == kScreenResetUpgrades; }, 2.0f))
        return false;
    auto* dialog = game.top<HUDModalDialog>();
    return dialog && game.click(*dialog, L"ok") &&
           game.runUntil([&] { return game.screen() == kScreenShop && game.top() == shop; }, 2.0f);
}
} // namespace

// From the main menu: the plate of the level without a number offers its second step (one star
// lit), the one past its last step shows complete. Buying raises the first to 1 (35 crystals) and
// nothing buys the complete one; the reset gives back 15 + 35 and 10 + 20 + 30 and stores both as
// -1, and a second reset gives nothing. At two display sizes.
TEST(StoredUpgrades, TheShopSellsOnFromTheStoredLevelsAndTheResetRefundsEveryStepUpToTheLastOnce)
{
    for (const auto& [width, height] : {std::pair(1920, 1080), std::pair(1366, 768)})
    {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        GameHarness game(storedLevels(width, height));
        ASSERT_TRUE(game.reachMainMenu()) << game.log();
        TDMap& map = game.map();
        TDProgress& progress = *map.mProgress;
        ASSERT_EQ(L"Ann", progress.currentName());
        ASSERT_TRUE(game.click(L"shop"));
        HUDShopWindow* shop = nullptr;
        ASSERT_TRUE(game.runUntil([&] { return (shop = game.top<HUDShopWindow>()) != nullptr; }, 2.0f));
        EXPECT_EQ(L"40", GameHarness::text(shop, L"gems"));

        ShopUpgradePlate* might = plateOf(*shop, kMight);
        ASSERT_NE(nullptr, might);
        EXPECT_FALSE(might->complete);
        EXPECT_EQ(1u, might->starMask);
        EXPECT_EQ(L"35", might->priceText);
        EXPECT_EQ(GameHarness::localized(L"upgrade_1_step1"), might->descriptionText);
        ShopUpgradePlate* darts = showTab(game, *shop, 1, kDarts);
        ASSERT_NE(nullptr, darts);
        EXPECT_TRUE(darts->complete);
        EXPECT_EQ(7u, darts->starMask);
        EXPECT_EQ(GameHarness::localized(L"upgrade_2_complete"), darts->descriptionText);
        EXPECT_FALSE(darts->buyInactive || darts->priceShown);
        EXPECT_EQ(5, progress.getUpgradeLevel(kDarts));

        ASSERT_TRUE(buy(game, *shop, 0, kMight));
        EXPECT_EQ(1, progress.getUpgradeLevel(kMight));
        EXPECT_EQ(5, map.mStats.mGems);
        might = plateOf(*shop, kMight);
        ASSERT_NE(nullptr, might);
        EXPECT_TRUE(might->complete);
        buy(game, *shop, 0, kMight); // complete: buys nothing
        EXPECT_EQ(1, progress.getUpgradeLevel(kMight));
        EXPECT_EQ(5, map.mStats.mGems);
        progress.flush();
        std::string saved = game.profilesFile();
        EXPECT_NE(std::string::npos, saved.find(upgradeEntry(kMight, 1))) << saved;
        EXPECT_NE(std::string::npos, saved.find(upgradeEntry(kDarts, 5))) << saved;

        const i32 refunded = 5 + (15 + 35) + (10 + 20 + 30);
        for (int reset = 1; reset <= 2; ++reset)
        {
            SCOPED_TRACE("reset " + std::to_string(reset));
            ASSERT_TRUE(confirmReset(game, shop)) << game.log();
            ASSERT_TRUE(game.run(2));
            EXPECT_EQ(refunded, map.mStats.mGems);
            EXPECT_EQ(refunded, progress.getGems());
            EXPECT_EQ(std::to_wstring(refunded), GameHarness::text(shop, L"gems"));
            EXPECT_EQ(-1, progress.getUpgradeLevel(kMight));
            EXPECT_EQ(-1, progress.getUpgradeLevel(kDarts));
            progress.flush();
            saved = game.profilesFile();
            EXPECT_NE(std::string::npos, saved.find(upgradeEntry(kMight, -1))) << saved;
            EXPECT_NE(std::string::npos, saved.find(upgradeEntry(kDarts, -1))) << saved;
            EXPECT_NE(std::string::npos, saved.find("<gems amount=\"" + std::to_string(refunded) + "\"/>")) << saved;
        }
        might = plateOf(*shop, kMight);
        ASSERT_NE(nullptr, might);
        EXPECT_EQ(L"15", might->priceText);
        darts = showTab(game, *shop, 1, kDarts);
        ASSERT_NE(nullptr, darts);
        EXPECT_FALSE(darts->complete);
        EXPECT_EQ(L"10", darts->priceText);
    }
}

// Through the level selection's shop into a battle: the purchase on the level without a number
// stores 1, the battle applies that step and none of the complete upgrade's, and the start of the
// battle stores no level below the one bought.
TEST(StoredUpgrades, ABattleAfterTheShopAppliesTheStoredStepsAndLowersNoLevel)
{
    GameHarness game(storedLevels(1366, 768));
    ASSERT_TRUE(game.started()) << game.log();
    TDMap& map = game.map();
    HUDShopWindow* shop = playtest::shopFromLevels(game);
    ASSERT_NE(nullptr, shop);
    ASSERT_TRUE(buy(game, *shop, 0, kMight));
    ASSERT_EQ(1, map.mProgress->getUpgradeLevel(kMight));
    ASSERT_TRUE(game.click(L"back_ac"));
    HUDLevelSelect* levels = nullptr;
    ASSERT_TRUE(game.runUntil([&] { return (levels = game.top<HUDLevelSelect>()) != nullptr; }, 2.0f));
    ASSERT_FALSE(levels->mPlates.empty());
    const LevelPlate& first = levels->mPlates.front();
    game.click(static_cast<float>(first.x + first.width / 2), static_cast<float>(first.y + first.height / 2));
    ASSERT_TRUE(game.closeUnlockMessages()) << game.log();
    ASSERT_EQ(kScreenBattle, game.screen());
    ASSERT_TRUE(game.run(10));
    EXPECT_EQ(10, map.mHealthBonus) << "the second step's +10 health";
    TDPrototype dart = *map.findPrototype(10000);
    const i32 price = dart.cost;
    map.mUpgrades.applyToPrototype(map.upgradeContext(), dart);
    EXPECT_EQ(price, dart.cost) << "no step of the complete upgrade applies";
    EXPECT_EQ(1, map.mProgress->getUpgradeLevel(kMight));
    EXPECT_EQ(5, map.mProgress->getUpgradeLevel(kDarts));
    map.mProgress->flush();
    const std::string saved = game.profilesFile();
    EXPECT_NE(std::string::npos, saved.find(upgradeEntry(kMight, 1))) << saved;
    EXPECT_NE(std::string::npos, saved.find(upgradeEntry(kDarts, 5))) << saved;
}
