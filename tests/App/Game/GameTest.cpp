// The game on the demo content, headless, led through the menus to the first battle: the root
// board shown as the screen, pointer routing to the battle and the overlay dialog, and keys; the
// audio silent under the splash and following the window's activation, a lost focus pausing the
// battle.
#include "App/Game.h"
#include "Core/Media/Sound/SoundSystem.h"
#include "Platform/Audio/AudioEngine.h"
#include "Source/TD/Battle/HUDSpellButton.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDIngameMenu.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
#include "Source/TD/Shell/HUDWindow.h"
#include "support/GameHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// An overlay dialog that writes down what reaches it.
class ProbeWindow : public HUDWindow
{
public:
    explicit ProbeWindow(std::vector<std::string>& journal, int* deaths) : mJournal(journal), mDeaths(deaths) {}
    ~ProbeWindow() override { ++*mDeaths; }
    void Press(int x, int y) override { Note("press", x, y); }
    void Release(int x, int y) override { Note("release", x, y); }
    void MouseMove(int x, int y) override { Note("move", x, y); }
    void Update(float) override { mJournal.push_back("update"); }

private:
    void Note(const char* what, int x, int y)
    {
        mJournal.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    std::vector<std::string>& mJournal;
    int* mDeaths;
};

math::Point3 At(float x, float y) { return {x, y, 0.0f}; }

class GameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mHarness.started()) << mHarness.log();
        mGame = &mHarness.game();
        mBoard = &mHarness.board();
        mMap = &mHarness.map();
        ASSERT_TRUE(mHarness.startLevel(0, 0));
    }

    testsupport::GameHarness mHarness;
    Game* mGame = nullptr;
    GameWindow* mBoard = nullptr;
    TDMap* mMap = nullptr;
};
} // namespace

TEST_F(GameTest, TheOverlayDialogTakesThePointerAndGoesOnceClosedAndDeveloperKeysWorkOnlyWhenEnabled)
{
    std::vector<std::string> journal;
    int deaths = 0;
    auto* dialog = new ProbeWindow(journal, &deaths);
    mBoard->mModalWindow.reset(dialog);
    EXPECT_EQ(QL_OK, mBoard->OnPress(At(10.9f, 20.2f), 3));
    EXPECT_TRUE(journal.empty()) << "a right press does nothing";
    EXPECT_EQ(QL_OK, mBoard->OnPress(At(10.9f, -20.7f), 1));
    EXPECT_EQ(QL_OK, mBoard->OnRelease(At(11.0f, 21.0f), 3));
    EXPECT_EQ(QL_OK, mBoard->OnPointerMove(At(30.5f, 40.5f)));
    EXPECT_EQ(QL_OK, mBoard->OnPointerDrag(At(31.0f, 41.0f)));
    EXPECT_EQ((std::vector<std::string>{"press 10,-20", "move 10,-20", "release 11,21", "move 30,40", "move 31,41"}),
              journal);
    EXPECT_EQ(std::make_pair(30, 40), std::make_pair(mBoard->mPointerX, mBoard->mPointerY));

    journal.clear();
    EXPECT_EQ(QL_OK, mBoard->Update(0.01f));
    EXPECT_EQ((std::vector<std::string>{"update"}), journal);
    dialog->mOpen = false;
    const float time = mMap->mTime;
    EXPECT_EQ(QL_OK, mBoard->Update(0.01f));
    EXPECT_EQ(1, deaths);
    EXPECT_EQ(nullptr, mBoard->mModalWindow);
    EXPECT_GT(mMap->mTime, time) << "the battle still runs in the same update";

    // Developer keys work only when enabled, in the battle.
    const i32 coins = mMap->mStats.mCoins;
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('m'));
    EXPECT_EQ(coins, mMap->mStats.mCoins);
    mBoard->mDebugKeys = true;
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('m')) << "keys go straight to the board";
    EXPECT_EQ(coins + 1000, mMap->mStats.mCoins);
    mMap->mScreen = kScreenIngameMenu;
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('m'));
    EXPECT_EQ(coins + 1000, mMap->mStats.mCoins) << "not outside the battle screen";
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('2'));
    EXPECT_FALSE(mMap->mDebugDisplay[1]);
    mMap->mScreen = kScreenBattle;
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('h'));
    EXPECT_EQ(100.0f, mMap->mMaxHealth);
    EXPECT_EQ(L"100/100", *mBoard->getHud()->getText(L"text/mana"));
    // 1 to 3 toggle one display switch each.
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('2'));
    EXPECT_TRUE(!mMap->mDebugDisplay[0] && mMap->mDebugDisplay[1] && !mMap->mDebugDisplay[2]);
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('2'));
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('3'));
    EXPECT_TRUE(!mMap->mDebugDisplay[1] && mMap->mDebugDisplay[2]);
}

TEST_F(GameTest, DeveloperKeysAddCrystalsRechargeSpellsReloadTheSheetsAndRestartAndEndTheLevel)
{
    mBoard->mDebugKeys = true;
    ASSERT_TRUE(mHarness.run(30));
    ASSERT_EQ(mMap->mScreen, kScreenBattle);

    // C: 100 crystals, stored at once.
    const i32 gems = mMap->mStats.mGems;
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('c'));
    EXPECT_EQ(gems + 100, mMap->mStats.mGems);
    EXPECT_EQ(gems + 100, mMap->mProgress->getGems()) << "stored";

    // 4: every spell button recharged.
    ASSERT_GT(mBoard->getHud()->spellButtonCount(), 0);
    for (i32 i = 0; i < mBoard->getHud()->spellButtonCount(); ++i)
    {
        mBoard->getHud()->spellButton(i)->mUsed = 1;
        mBoard->getHud()->spellButton(i)->mCooldown = 5.0f;
    }
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('4'));
    for (i32 i = 0; i < mBoard->getHud()->spellButtonCount(); ++i)
    {
        EXPECT_EQ(0, mBoard->getHud()->spellButton(i)->mUsed) << i;
        EXPECT_EQ(0.0f, mBoard->getHud()->spellButton(i)->mCooldown) << i;
    }

    // R: the sheets read again and the level started over.
    const TDPrototype* tower = mMap->findPrototype(10000);
    ASSERT_NE(tower, nullptr);
    const float cost = tower->cost;
    const_cast<TDPrototype*>(tower)->cost = cost + 7.0f;
    mMap->mStats.mCoins += 321;
    mMap->mHealth = 3.0f;
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('r'));
    ASSERT_TRUE(mHarness.closeUnlockMessages());
    ASSERT_NE(mMap->findPrototype(10000), nullptr);
    EXPECT_EQ(cost, mMap->findPrototype(10000)->cost) << "the sheet's price again";
    EXPECT_EQ(mMap->mStats.mStartCoins, mMap->mStats.mCoins);
    EXPECT_EQ(mMap->mMaxHealth, mMap->mHealth);

    // L ends the level as lost; W, after a restart, as won.
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('l'));
    EXPECT_EQ(kScreenLost, mMap->mScreen);
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('w'));
    EXPECT_EQ(kScreenLost, mMap->mScreen) << "no key acts outside the battle screen";
    ASSERT_TRUE(mHarness.runUntil([&] { return mHarness.top<HUDLevelResultWindow>() != nullptr; }, 5.0f));
    ASSERT_EQ(QL_OK, mMap->restart());
    ASSERT_TRUE(mHarness.closeUnlockMessages());
    EXPECT_EQ(QL_OK, mGame->OnKeyDown('w'));
    EXPECT_EQ(kScreenWon, mMap->mScreen);
}

TEST_F(GameTest, LosingTheFocusPausesARunningBattleWithTheMenuOpenOnce)
{
    auto menus = [this]
    {
        int n = 0;
        for (HUDWindow* window : mHarness.windows())
            n += dynamic_cast<HUDIngameMenu*>(window) != nullptr;
        return n;
    };
    ASSERT_EQ(kScreenBattle, mMap->mScreen);
    mHarness.loseFocus();
    EXPECT_EQ(kScreenIngameMenu, mMap->mScreen);
    EXPECT_EQ(0.0f, mMap->mSpeed);
    ASSERT_TRUE(mHarness.frame());
    EXPECT_EQ(1, menus());
    mHarness.regainFocus();
    ASSERT_TRUE(mHarness.frame());
    EXPECT_EQ(kScreenIngameMenu, mMap->mScreen) << "the menu stays open";
    EXPECT_EQ(0.0f, mMap->mSpeed);
    // Away from the battle a second loss opens nothing more.
    mHarness.loseFocus();
    ASSERT_TRUE(mHarness.frame());
    EXPECT_EQ(1, menus());
    mHarness.regainFocus();
}

TEST_F(GameTest, TheLoadingScreenIsOneBlackFrameWithTheLoadingPicturePresentedAtOnce)
{
    // The device's calls from the clear on, buffer uploads left out.
    const auto frame = [this]
    {
        mHarness.forgetDeviceCalls();
        mGame->drawLoadingScreen();
        std::vector<std::string> calls;
        for (const std::string& call : mHarness.deviceCalls())
            if (call.rfind("UpdateBuffer", 0) != 0 && (!calls.empty() || call.rfind("Clear", 0) == 0))
                calls.push_back(call);
        return calls;
    };
    ASSERT_NE(mGame->mLoadingImage, nullptr);
    std::vector<std::string> calls = frame();
    ASSERT_EQ(7u, calls.size()) << ::testing::PrintToString(calls);
    EXPECT_EQ("Clear 1 FF000000 1 0", calls[0]) << "opaque black";
    EXPECT_EQ("BeginScene", calls[1]);
    EXPECT_EQ(0u, calls[3].rfind("SetTexture 0 ", 0));
    EXPECT_NE("SetTexture 0 0", calls[3]);
    EXPECT_EQ("DrawIndexed Triangles 0 6 0 4", calls[4]) << "one quad";
    EXPECT_EQ((std::vector<std::string>{"EndScene", "Present"}),
              std::vector<std::string>(calls.end() - 2, calls.end()));

    // Without its picture the frame is black and still presented.
    render::Image* picture = mGame->mLoadingImage;
    mGame->mLoadingImage = nullptr;
    calls = frame();
    mGame->mLoadingImage = picture;
    EXPECT_EQ((std::vector<std::string>{"Clear 1 FF000000 1 0", "BeginScene", "EndScene", "Present"}), calls);
}

TEST(GameAudio, TheGameStartsSilentAndTheOutputFollowsWindowActivation)
{
    testsupport::GameHarness game; // the splash logos first
    ASSERT_TRUE(game.started()) << game.log();
    ASSERT_TRUE(game.run(3));
    EXPECT_EQ(SoundSystem::Instance()->GetCurrentMusic(), "") << "no music under the splash logos";
    game.loseFocus();
    ASSERT_TRUE(game.frame());
    EXPECT_TRUE(SoundSystem::Instance()->GetAudio().IsPaused()) << "a deactivated window pauses the output";
    game.regainFocus();
    ASSERT_TRUE(game.frame());
    EXPECT_FALSE(SoundSystem::Instance()->GetAudio().IsPaused());
}
