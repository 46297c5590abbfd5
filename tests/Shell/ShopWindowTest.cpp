// The upgrade shop over the demo layout "td/shop": tabs by available sections, plates, buying
// with crystals saved once, complete plates, scrolling by arrows, wheel and slider, the shop
// block and the reset confirmation; the shop and unlock openers.
#include "ShopFixture.h"

#include "Source/TD/Shell/HUDModalDialog.h"
#include "Source/TD/Shell/HUDShopOpeners.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Shell/HUDUnlockMessage.h"
#include "Source/TD/Sprites/TDFrameEntry.h"

#include <fstream>
#include <sstream>

using shoptest::ShopFixture;

namespace
{
// The demo layout: plates from (140, 176), 99 apart; the buy button's centre 608 right of and
// 34 below a plate's corner; tabs stand on y 172, 260 wide and 56 high.
constexpr int kBuyX = 748, kBuyY = 210;
constexpr int kTabY = 150;
} // namespace

TEST_F(ShopFixture, OpensOnItsLayoutWithTheTabsOfAvailableSections)
{
    HUDShopWindow shop(*map, hud.get(), 0);
    EXPECT_EQ(8, map->mScreen);
    ASSERT_NE(nullptr, shop.mLayout);
    ASSERT_NE(nullptr, shop.findButton(L"return_ac"));
    EXPECT_EQ(0, shop.findButton(L"return_ac")->mVisible);
    EXPECT_EQ(1, shop.findButton(L"back_ac")->mVisible);
    ASSERT_NE(nullptr, shop.getText(L"caption"));
    EXPECT_EQ(L"Upgrades", *shop.getText(L"caption"));
    // Section 2 holds only a locked upgrade: its tab is disabled and takes no room.
    ASSERT_EQ(3u, shop.tabBar->tabs.size());
    EXPECT_TRUE(shop.tabBar->tabs[0]->enabled);
    EXPECT_TRUE(shop.tabBar->tabs[1]->enabled);
    EXPECT_FALSE(shop.tabBar->tabs[2]->enabled);
    EXPECT_FLOAT_EQ(216.0f, shop.tabBar->tabs[0]->x);
    EXPECT_FLOAT_EQ(506.0f, shop.tabBar->tabs[1]->x);
    EXPECT_FLOAT_EQ(796.0f, shop.tabBar->tabs[2]->x);
    EXPECT_TRUE(shop.tabBar->tabs[0]->selected);
    // Upgrade 2 of section 0 targets a tower not yet unlocked: no plate for it.
    ASSERT_EQ(1, shop.plateCount());
    EXPECT_EQ(1, shop.plates[0]->upgradeId);
    EXPECT_FALSE(shop.scrollBar->visible);
    EXPECT_EQ(0, shop.findButton(L"down_in")->mVisible);

    HUDShopWindow after(*map, hud.get(), 1);
    EXPECT_EQ(1, after.findButton(L"return_ac")->mVisible);
    EXPECT_EQ(0, after.findButton(L"back_ac")->mVisible);
}

TEST_F(ShopFixture, TheBattleCrystalsDecideAPurchaseAndTheLastStepCompletesThePlate)
{
    // The stored total is short (red price) but the battle's count covers the price.
    map->mProgress->setGems(0);
    map->mStats.mGems = 100;
    HUDShopWindow shop(*map, hud.get(), 0);
    ShopUpgradePlate& plate = *shop.plates[0];
    EXPECT_TRUE(plate.priceRed);
    shop.Release(kBuyX, kBuyY);
    shop.Release(kBuyX, kBuyY);
    EXPECT_EQ(1, map->mProgress->getUpgradeLevel(1));
    EXPECT_EQ(50, map->mStats.mGems);
    EXPECT_TRUE(plate.complete);
    EXPECT_FALSE(plate.buyActive || plate.buyInactive || plate.priceShown || plate.gemShown);
    EXPECT_EQ(L"done", plate.descriptionText);
    shop.Release(kBuyX, kBuyY);
    EXPECT_EQ(50, map->mStats.mGems) << "nothing past the last step";
    // Outside the list's band or beside the button nothing is bought.
    EXPECT_FALSE(shop.buyHit(plate, kBuyX - 40, kBuyY));
}

TEST_F(ShopFixture, TabsRebuildTheListAndTheDisabledTabIgnoresPresses)
{
    HUDShopWindow shop(*map, hud.get(), 0);
    shop.Press(796, kTabY); // the disabled third tab stands there, but the enabled second is at 506
    EXPECT_EQ(0, shop.currentTab);
    shop.Press(506, kTabY);
    EXPECT_EQ(1, shop.currentTab);
    EXPECT_TRUE(shop.tabBar->tabs[1]->selected);
    EXPECT_FALSE(shop.tabBar->tabs[0]->selected);
    EXPECT_EQ(shop.tabBar->tabs[1].get(), shop.tabBar->drawOrder.back());
    ASSERT_EQ(5, shop.plateCount());
    EXPECT_FLOAT_EQ(176.0f + 4 * 99.0f, shop.plates[4]->y);
    EXPECT_TRUE(shop.scrollBar->visible);
    EXPECT_EQ(1, shop.findButton(L"down_in")->mVisible);
    shop.buildList(2);
    EXPECT_EQ(0, shop.plateCount()) << "a section of locked upgrades lists nothing";
}

TEST_F(ShopFixture, ArrowsWheelAndSliderScrollTheList)
{
    HUDShopWindow shop(*map, hud.get(), 0);
    shop.Press(506, kTabY);
    ASSERT_EQ(5, shop.plateCount());
    EXPECT_EQ(L"", shop.ButtonNameAt(886, 588)); // "down_in"
    EXPECT_FLOAT_EQ(0.25f, shop.scrollBar->position);
    EXPECT_FLOAT_EQ(-2 * 0.25f * 105.0f, shop.listOffset());
    EXPECT_FLOAT_EQ(0.25f * 234.0f + 262.0f, shop.scrollBar->sliderY());
    EXPECT_EQ(L"", shop.ButtonNameAt(886, 224)); // "up_in"
    shop.ButtonNameAt(886, 224);
    EXPECT_FLOAT_EQ(0.0f, shop.scrollBar->position);
    shop.Wheel(-512);
    EXPECT_FLOAT_EQ(0.5f, shop.scrollBar->position);
    shop.Wheel(-4096);
    EXPECT_FLOAT_EQ(1.0f, shop.scrollBar->position);
    // Dragging the slider: pressed inside it, moved past the bottom, pinned at 1.
    shop.Wheel(4096);
    shop.Press(886, 290);
    EXPECT_EQ(0, shop.scrollBar->held);
    shop.MouseMove(886, 700);
    EXPECT_FLOAT_EQ(1.0f, shop.scrollBar->position);
    EXPECT_FLOAT_EQ(-210.0f, shop.listOffset());
    EXPECT_EQ(2, shop.dragState);
    shop.Release(886, 700);
    EXPECT_EQ(-1, shop.scrollBar->held);
    EXPECT_EQ(0, shop.dragState);
}

TEST_F(ShopFixture, FourPlatesNeitherScrollNorDrag)
{
    files.put(L"td/upgrades.xml", R"(<upgrades>
        <upgrade id="1" section="0" icon="a"><targets><target id="-1"/></targets><steps><step cost_r="1"/></steps></upgrade>
        <upgrade id="2" section="0" icon="a"><targets><target id="-1"/></targets><steps><step cost_r="1"/></steps></upgrade>
        <upgrade id="3" section="0" icon="a"><targets><target id="-1"/></targets><steps><step cost_r="1"/></steps></upgrade>
        <upgrade id="4" section="0" icon="a"><targets><target id="-1"/></targets><steps><step cost_r="1"/></steps></upgrade>
        </upgrades>)");
    for (TDUpgrade* u : map->mUpgrades.upgrades) // the tree owns its upgrades
        delete u;
    map->mUpgrades.upgrades.clear();
    map->mUpgrades.load();
    HUDShopWindow shop(*map, hud.get(), 0);
    ASSERT_EQ(4, shop.plateCount());
    EXPECT_FALSE(shop.scrollBar->visible);
    shop.Wheel(-512);
    EXPECT_FLOAT_EQ(0.0f, shop.scrollBar->position);
    shop.Press(886, 290);
    shop.MouseMove(886, 500);
    EXPECT_FLOAT_EQ(0.0f, shop.listOffset());
}

TEST_F(ShopFixture, APressInTheScrollColumnThenAMoveBuysNothing)
{
    setGems(20);
    HUDShopWindow shop(*map, hud.get(), 0);
    shop.Press(506, kTabY);
    shop.Press(880, 400);
    EXPECT_EQ(1, shop.dragState);
    shop.MouseMove(kBuyX, kBuyY);
    shop.Release(kBuyX, kBuyY);
    EXPECT_EQ(-1, map->mProgress->getUpgradeLevel(11));
    EXPECT_EQ(20, map->mStats.mGems);
}

TEST_F(ShopFixture, TheShopBlockStopsArrowsTabsAndSliderButNotBuying)
{
    setGems(20);
    HUDShopWindow shop(*map, hud.get(), 0);
    hud->mShopBlock = 1;
    shop.Press(506, kTabY);
    EXPECT_EQ(0, shop.currentTab);
    EXPECT_EQ(L"", shop.ButtonNameAt(120, 690)); // "back_ac"
    shop.Release(kBuyX, kBuyY);
    EXPECT_EQ(0, map->mProgress->getUpgradeLevel(1));
    hud->mShopBlock = 0;
    EXPECT_EQ(L"back_ac", shop.ButtonNameAt(120, 690));
}

TEST_F(ShopFixture, CancellingTheResetOverABuyButtonBuysNothing)
{
    setGems(100);
    auto* shop = new HUDShopWindow(*map, hud.get(), 0);
    hud->pushWindow(shop);
    map->mScreen = 8;
    hud->Update(0.0f);
    shop->Press(506, kTabY); // five plates: the fourth's buy button lies under the dialog's "cancel"
    map->onPointerUp(839, 692);
    hud->Update(0.0f);
    ASSERT_EQ(26, map->mScreen);
    const int x = 720, y = kBuyY + 3 * 99 + 5;
    ASSERT_TRUE(shop->buyHit(*shop->plates[3], x, y));
    ASSERT_EQ(L"cancel", hud->buttonNameAt(x, y));
    map->onPointerUp(x, y);
    EXPECT_EQ(8, map->mScreen);
    EXPECT_EQ(shop, hud->windows().back());
    EXPECT_EQ(100, map->mStats.mGems) << "the release answered the dialog only";
    EXPECT_EQ(-1, map->mProgress->getUpgradeLevel(14));
}
