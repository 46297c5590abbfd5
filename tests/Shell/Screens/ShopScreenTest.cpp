// The upgrade shop and the unlock message in the running game on the demo content: opened by
// the battle's commands, drawn every frame, driven by clicks through the frame manager, and
// closed by the battle.
#include "ScreenFixture.h"

#include "Source/TD/Shell/HUDModalDialog.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Shell/HUDUnlockMessage.h"

namespace
{
class ShopScreen : public ScreenFixture
{
protected:
    HUDShopWindow* OpenShop()
    {
        mMap->mShopReturnTarget = L"mmenu";
        mHud->showShop(false);
        Frame();
        return TopAs<HUDShopWindow>();
    }
    void SetGems(i32 gems)
    {
        mMap->mStats.mGems = gems;
        mMap->mProgress->setGems(gems);
    }
    // The demo layout: the first plate's buy button, the reset and back buttons.
    static constexpr float kBuyX = 748, kBuyY = 210;
    static constexpr float kResetX = 839, kResetY = 692;
    static constexpr float kBackX = 170, kBackY = 692;
};
} // namespace

TEST_F(ShopScreen, ABuyClickChargesOnceStoresTheLevelOnDiskAndBackReturnsToTheMenu)
{
    SetGems(40);
    HUDShopWindow* shop = OpenShop();
    ASSERT_NE(nullptr, shop);
    EXPECT_EQ(8, mMap->mScreen);
    ASSERT_GT(shop->plateCount(), 0);
    const i32 id = shop->plates[0]->upgradeId;
    EXPECT_EQ(1, id) << "the demo's might upgrade opens the first section";
    Click(kBuyX, kBuyY);
    EXPECT_EQ(0, mMap->mProgress->getUpgradeLevel(id));
    EXPECT_EQ(25, mMap->mStats.mGems);
    EXPECT_NE(std::string::npos, ProfilesFile().find("amount=\"25\""));
    EXPECT_NE(std::string::npos, ProfilesFile().find("<upgrade id=\"1\" level=\"0\""));
    Frame();
    EXPECT_EQ(L"25", Text(shop, L"gems"));
    // The second step costs 35: a click does nothing.
    Click(kBuyX, kBuyY);
    EXPECT_EQ(0, mMap->mProgress->getUpgradeLevel(id));
    EXPECT_EQ(25, mMap->mStats.mGems);
    Click(kBackX, kBackY);
    EXPECT_EQ(7, mMap->mScreen);
    EXPECT_EQ(nullptr, TopAs<HUDShopWindow>());
}

TEST_F(ShopScreen, ResetAsksAndRefundsEveryCrystalSpent)
{
    SetGems(20);
    HUDShopWindow* shop = OpenShop();
    ASSERT_NE(nullptr, shop);
    Click(kBuyX, kBuyY);
    ASSERT_EQ(5, mMap->mStats.mGems);
    Click(kResetX, kResetY);
    EXPECT_EQ(26, mMap->mScreen);
    auto* dialog = TopAs<HUDModalDialog>();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(L10n(L"reset_upgrades_title"), Text(dialog, L"caption"));
    ClickButton(dialog->mOwnButtons, L"ok");
    EXPECT_EQ(8, mMap->mScreen);
    EXPECT_EQ(shop, Top());
    EXPECT_EQ(20, mMap->mStats.mGems);
    EXPECT_EQ(-1, mMap->mProgress->getUpgradeLevel(1));
    EXPECT_FALSE(shop->plates[0]->complete);
    EXPECT_EQ(L"15", shop->plates[0]->priceText);
}

TEST_F(ShopScreen, TheUnlockMessageStepsThroughItsUnlocksAndTheBattleClosesIt)
{
    mMap->mScreen = 0;
    mHud->showUnlockMessage({10000, 20000});
    Frame();
    auto* message = TopAs<HUDUnlockMessage>();
    ASSERT_NE(nullptr, message);
    EXPECT_EQ(11, mMap->mScreen);
    const TDButtonFrame* ok = message->findButton(L"ok");
    ASSERT_NE(nullptr, ok);
    const float x = ok->mX + ok->mWidth * 0.5f, y = ok->mY + ok->mHeight * 0.5f;
    Click(x, y);
    EXPECT_EQ(message, Top());
    EXPECT_EQ(1, message->current);
    Click(x, y);
    EXPECT_EQ(nullptr, TopAs<HUDUnlockMessage>());
    EXPECT_NE(11, mMap->mScreen) << "the battle goes on";
}
