// The upgrade shop and the unlock message in the running game on the demo content: opened by
// the battle's commands, drawn every frame, driven by clicks through the frame manager, and
// closed by the battle; tabs, scrolling and the shop block over a longer upgrade list.
#include "Shell/ShellGame.h"

#include "Source/TD/Shell/HUDModalDialog.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Shell/HUDUnlockMessage.h"

#include <string>
#include <utility>

namespace
{
class ShopScreen : public shelltest::ShellGameTest
{
protected:
    ShopScreen() : ShellGameTest(bareBoard()) {}
    HUDShopWindow* OpenShop()
    {
        map().mShopReturnTarget = kShopReturnMainMenu;
        hud().showShop(false);
        frame();
        return top<HUDShopWindow>();
    }
    void SetGems(i32 gems)
    {
        map().mStats.mGems = gems;
        map().mProgress->setGems(gems);
    }
    // Section 0 keeps the demo's two-step might upgrade; section 1 holds five open upgrades
    // (the list scrolls); section 2 only one for a tower never unlocked (its tab is disabled).
    void UseLongList()
    {
        std::string text = "<upgrades>" + Upgrade(1, 0, -1, "15\"/><step cost_r=\"35");
        for (int id = 11; id <= 15; ++id)
            text += Upgrade(id, 1, -1, std::to_string(id - 10));
        map().mUpgrades.readText(text + Upgrade(21, 2, 90000, "9") + "</upgrades>");
    }
    static std::string Upgrade(int id, int section, int target, const std::string& cost)
    {
        return "<upgrade id=\"" + std::to_string(id) + "\" section=\"" + std::to_string(section) +
               "\" icon=\"ui/might_01\"><targets><target id=\"" + std::to_string(target) +
               "\"/></targets><steps><step cost_r=\"" + cost + "\"/></steps></upgrade>";
    }
    // The demo layout: the first plate's buy button, the reset and back buttons; tabs stand on
    // y 172, 290 apart from x 216.
    static constexpr float kBuyX = 748, kBuyY = 210;
    static constexpr float kTabY = 150;
    static constexpr float kResetX = 839, kResetY = 692;
    static constexpr float kBackX = 170, kBackY = 692;
};
} // namespace

TEST_F(ShopScreen, BuyingTakesTheGemsStepByStepAndAResetRefundsThem)
{
    SetGems(14);
    HUDShopWindow* shop = OpenShop();
    ASSERT_NE(nullptr, shop);
    EXPECT_EQ(kScreenShop, map().mScreen);
    ASSERT_GT(shop->plateCount(), 0);
    EXPECT_EQ(1, shop->plates[0]->upgradeId) << "the demo's might upgrade opens the first section";
    click(kBuyX, kBuyY);
    EXPECT_EQ(-1, map().mProgress->getUpgradeLevel(1)) << "one gem short of 15";
    EXPECT_EQ(14, map().mStats.mGems);
    SetGems(40);
    click(kBuyX, kBuyY);
    EXPECT_EQ(0, map().mProgress->getUpgradeLevel(1));
    EXPECT_EQ(25, map().mStats.mGems);
    EXPECT_NE(std::string::npos, profilesFile().find("amount=\"25\""));
    EXPECT_NE(std::string::npos, profilesFile().find("<upgrade id=\"1\" level=\"0\""));
    frame();
    EXPECT_EQ(L"25", text(shop, L"gems"));
    // The second step costs 35: a click does nothing, until the gems reach it exactly.
    click(kBuyX, kBuyY);
    EXPECT_EQ(0, map().mProgress->getUpgradeLevel(1));
    EXPECT_EQ(25, map().mStats.mGems);
    SetGems(35);
    click(kBuyX, kBuyY);
    EXPECT_EQ(1, map().mProgress->getUpgradeLevel(1));
    EXPECT_EQ(0, map().mStats.mGems);

    // Reset asks through the HUD's dialog opener, which keeps its value (none) as the pending one;
    // a "cancel" keeps every step, and the second asking's "ok" refunds every crystal spent.
    for (const wchar_t* answer : {L"cancel", L"ok"})
    {
        map().mMessageReturnScreen = kScreenLevels;
        click(kResetX, kResetY);
        EXPECT_EQ(kScreenResetUpgrades, map().mScreen);
        EXPECT_EQ(kScreenNone, map().mMessageReturnScreen);
        auto* dialog = top<HUDModalDialog>();
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(localized(L"reset_upgrades_title"), text(dialog, L"caption"));
        EXPECT_EQ(localized(L"reset_upgrades_message"), text(dialog, L"message"));
        ASSERT_TRUE(click(*dialog, answer));
        frame();
        EXPECT_EQ(kScreenShop, map().mScreen);
        EXPECT_EQ(shop, top());
        if (std::wstring(answer) == L"cancel")
        {
            EXPECT_EQ(0, map().mStats.mGems);
            EXPECT_EQ(1, map().mProgress->getUpgradeLevel(1));
        }
    }
    EXPECT_EQ(kScreenShop, map().mScreen);
    EXPECT_EQ(shop, top());
    EXPECT_EQ(15 + 35, map().mStats.mGems);
    EXPECT_EQ(-1, map().mProgress->getUpgradeLevel(1));
    EXPECT_FALSE(shop->plates[0]->complete);
    EXPECT_EQ(L"15", shop->plates[0]->priceText);

    // The buy button lights and grows under the pointer, up to 1.1, and shrinks back once it leaves.
    ShopUpgradePlate& hovered = *shop->plates[0];
    shop->MouseMove(10, 10);
    shop->Update(5.0f);
    EXPECT_FALSE(hovered.buyActive);
    EXPECT_FLOAT_EQ(1.0f, hovered.buttonScale);
    shop->MouseMove(kBuyX, kBuyY);
    EXPECT_TRUE(hovered.buyActive);
    shop->Update(0.1f);
    EXPECT_FLOAT_EQ(1.05f, hovered.buttonScale);
    shop->Update(5.0f);
    EXPECT_FLOAT_EQ(1.1f, hovered.buttonScale);
    shop->MouseMove(10, 10);
    EXPECT_FALSE(hovered.buyActive);
    shop->Update(5.0f);
    EXPECT_FLOAT_EQ(1.0f, hovered.buttonScale);

    // The stored total is short (red price) but the battle's count covers the price.
    map().mProgress->setGems(0);
    map().mStats.mGems = 100;
    shop->buildList(0);
    ShopUpgradePlate& plate = *shop->plates[0];
    EXPECT_TRUE(plate.priceRed);
    click(kBuyX, kBuyY);
    click(kBuyX, kBuyY);
    EXPECT_EQ(1, map().mProgress->getUpgradeLevel(1));
    EXPECT_EQ(50, map().mStats.mGems);
    EXPECT_TRUE(plate.complete);
    EXPECT_FALSE(plate.buyActive || plate.buyInactive || plate.priceShown || plate.gemShown);
    EXPECT_EQ(localized(L"upgrade_1_complete"), plate.descriptionText);
    click(kBuyX, kBuyY);
    EXPECT_EQ(50, map().mStats.mGems) << "nothing past the last step";
    EXPECT_FALSE(shop->buyHit(plate, kBuyX - 40, kBuyY)) << "beside the button nothing is bought";

    click(kBackX, kBackY);
    EXPECT_EQ(kScreenMainMenu, map().mScreen);
    EXPECT_EQ(nullptr, top<HUDShopWindow>());
}

TEST_F(ShopScreen, TheUnlockMessageStepsThroughItsUnlocksAndTheBattleGoesOn)
{
    map().mScreen = kScreenBattle;
    hud().showUnlockMessage({777, 10000, 888, 20000});
    frame();
    auto* message = top<HUDUnlockMessage>();
    ASSERT_NE(nullptr, message);
    EXPECT_EQ((std::vector<i32>{10000, 20000}), message->shownIds) << "ids without an icon are skipped";
    EXPECT_EQ(kScreenUnlockMessage, map().mScreen);
    ASSERT_TRUE(click(*message, L"ok"));
    EXPECT_EQ(message, top());
    EXPECT_EQ(1, message->current);
    ASSERT_TRUE(click(*message, L"ok"));
    EXPECT_EQ(nullptr, top<HUDUnlockMessage>());
    EXPECT_NE(kScreenUnlockMessage, map().mScreen) << "the battle goes on";
}

TEST_F(ShopScreen, ALongerListHasTabsAndScrollsAndTheShopBlockStopsAllButBuying)
{
    SetGems(20);
    UseLongList();
    HUDShopWindow* shop = OpenShop();
    ASSERT_NE(nullptr, shop);
    ASSERT_EQ(3u, shop->tabBar->tabs.size());
    EXPECT_FALSE(shop->tabBar->tabs[2]->enabled) << "a section of locked upgrades";
    ASSERT_EQ(1, shop->plateCount());
    EXPECT_FALSE(shop->scrollBar->visible);
    EXPECT_EQ(0, shop->findButton(L"down_in")->mVisible);

    // The shop block stops tabs and the back button, not buying.
    hud().mShopBlock = 1;
    click(506, kTabY);
    EXPECT_EQ(0, shop->currentTab);
    EXPECT_EQ(L"", shop->ButtonNameAt(120, 690)); // "back_ac"
    click(kBuyX, kBuyY);
    EXPECT_EQ(0, map().mProgress->getUpgradeLevel(1));
    hud().mShopBlock = 0;
    EXPECT_EQ(L"back_ac", shop->ButtonNameAt(120, 690));

    click(796, kTabY); // the disabled third tab
    EXPECT_EQ(0, shop->currentTab);
    // The second tab's picture, 260 x 56 standing on (506, 172), answers strictly inside.
    for (const auto& [x, y] : {std::pair{376, 150}, {636, 150}, {506, 116}, {506, 172}})
    {
        click(static_cast<float>(x), static_cast<float>(y));
        EXPECT_EQ(0, shop->currentTab) << x << "," << y;
    }
    click(377, 171);
    EXPECT_EQ(1, shop->currentTab);
    EXPECT_TRUE(shop->tabBar->tabs[1]->selected);
    EXPECT_FALSE(shop->tabBar->tabs[0]->selected);
    EXPECT_EQ(shop->tabBar->tabs[1].get(), shop->tabBar->drawOrder.back());
    EXPECT_EQ(L"td/data/fonts/main_42_3", shop->tabBar->tabs[1]->labelFont) << "the selected tab's larger label";
    EXPECT_EQ(L"td/data/fonts/main_32_2", shop->tabBar->tabs[0]->labelFont);
    ASSERT_EQ(5, shop->plateCount());
    EXPECT_FLOAT_EQ(176.0f + 4 * 99.0f, shop->plates[4]->y);
    EXPECT_TRUE(shop->scrollBar->visible);
    EXPECT_EQ(1, shop->findButton(L"down_in")->mVisible);

    // Arrows, wheel and slider scroll the list.
    EXPECT_EQ(L"", shop->ButtonNameAt(886, 588)); // "down_in"
    EXPECT_FLOAT_EQ(0.25f, shop->scrollBar->position);
    EXPECT_FLOAT_EQ(-2 * 0.25f * 105.0f, shop->listOffset());
    EXPECT_FLOAT_EQ(0.25f * 234.0f + 262.0f, shop->scrollBar->sliderY());
    EXPECT_EQ(L"", shop->ButtonNameAt(886, 224)); // "up_in"
    EXPECT_FLOAT_EQ(0.0f, shop->scrollBar->position);
    shop->Wheel(-512);
    EXPECT_FLOAT_EQ(0.5f, shop->scrollBar->position);
    shop->Wheel(-4096);
    EXPECT_FLOAT_EQ(1.0f, shop->scrollBar->position);
    shop->Wheel(4096);
    shop->scrollBar->press(868, 290);
    EXPECT_EQ(-1, shop->scrollBar->held) << "the slider's exact edge does not take hold";
    shop->Press(886, 290);
    EXPECT_EQ(0, shop->scrollBar->held);
    // Within the track the slider's top stays 30 above the pointer, wherever it was taken, and the
    // list follows.
    shop->MouseMove(886, 292 + 117);
    EXPECT_FLOAT_EQ(0.5f, shop->scrollBar->position);
    EXPECT_FLOAT_EQ(292.0f + 117.0f - 30.0f, shop->scrollBar->sliderY());
    EXPECT_FLOAT_EQ(-105.0f, shop->listOffset());
    shop->MouseMove(886, 700);
    EXPECT_FLOAT_EQ(1.0f, shop->scrollBar->position);
    EXPECT_FLOAT_EQ(-210.0f, shop->listOffset());
    EXPECT_EQ(HUDShopWindow::DragState::kMoved, shop->dragState);
    shop->Release(886, 700);
    EXPECT_EQ(-1, shop->scrollBar->held);
    EXPECT_EQ(HUDShopWindow::DragState::kIdle, shop->dragState);

    // A press in the scroll column then a move onto a buy button buys nothing.
    shop->Wheel(4096);
    shop->Press(880, 400);
    EXPECT_EQ(HUDShopWindow::DragState::kPressed, shop->dragState);
    shop->MouseMove(kBuyX, kBuyY);
    shop->Release(kBuyX, kBuyY);
    EXPECT_EQ(-1, map().mProgress->getUpgradeLevel(11));
    EXPECT_EQ(5, map().mStats.mGems) << "only the might upgrade bought under the block";

    // A tab not selected grows under the pointer; the selected one keeps its zoom.
    ShopTab& first = *shop->tabBar->tabs[0];
    shop->tabBar->hover(10, 10);
    shop->tabBar->update(5.0f);
    EXPECT_FLOAT_EQ(1.0f, first.scale);
    shop->tabBar->hover(216, kTabY);
    shop->tabBar->update(0.1f);
    EXPECT_TRUE(first.hover);
    EXPECT_FLOAT_EQ(1.05f, first.scale);
    shop->tabBar->update(1.0f);
    EXPECT_FLOAT_EQ(1.1f, first.scale);
    EXPECT_FLOAT_EQ(1.1f, shop->tabBar->tabs[1]->scale);

    // Cancelling the reset over a buy button buys nothing: on the second tab the fourth plate's
    // buy button lies under the dialog's "cancel".
    SetGems(100);
    click(kResetX, kResetY);
    ASSERT_EQ(kScreenResetUpgrades, map().mScreen);
    const int x = 720, y = kBuyY + 3 * 99 + 5;
    ASSERT_TRUE(shop->buyHit(*shop->plates[3], x, y));
    ASSERT_EQ(L"cancel", hud().buttonNameAt(x, y));
    click(x, y);
    EXPECT_EQ(kScreenShop, map().mScreen);
    EXPECT_EQ(shop, top());
    EXPECT_EQ(100, map().mStats.mGems) << "the click answered the dialog only";
    EXPECT_EQ(-1, map().mProgress->getUpgradeLevel(14));

    shop->buildList(2);
    EXPECT_EQ(0, shop->plateCount()) << "a section of locked upgrades lists nothing";
}
