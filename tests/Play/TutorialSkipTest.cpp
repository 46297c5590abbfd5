// Skipping the tutorial on a page that holds the battle still: the battle goes on at once, on the
// first page and on a later one, while a pause the player chose stays.
#include "RingClicks.h"
#include "support/GameHarness.h"

#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDModalDialog.h"
#include "Source/TD/Shell/TDTutorial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using testsupport::GameHarness;

namespace
{
class TutorialSkip : public ::testing::Test
{
protected:
    TutorialSkip() : mGame(options()) {}

    static GameHarness::Options options()
    {
        GameHarness::Options o;
        o.tutorial = true;
        o.logos = false;
        return o;
    }

    TDTutorial& tutorial() { return *TDTutorial::Instance(); }
    TDMap& map() { return mGame.map(); }

    i32 activeStep()
    {
        for (const TDTutorialStep& step : tutorial().steps())
            if (step.state == kStepActive)
                return step.id;
        return -1;
    }

    // The page's skip button clicked and the question answered "ok".
    void skip()
    {
        TutorialButton* button = tutorial().skipButton();
        ASSERT_NE(nullptr, button);
        mGame.click(button->mPosition.x, button->mPosition.y);
        auto* dialog = dynamic_cast<HUDModalDialog*>(mGame.board().mModalWindow.get());
        ASSERT_NE(nullptr, dialog) << "the skip asks first";
        ASSERT_TRUE(mGame.click(*dialog, L"ok"));
        mGame.frame();
        ASSERT_FALSE(tutorial().pageShown());
    }

    // The HUD shows the named control button.
    bool shows(const std::wstring& name)
    {
        std::vector<HUDWindow::ButtonPlace> buttons;
        mGame.hud().listButtons(buttons);
        for (const HUDWindow::ButtonPlace& button : buttons)
            if (button.name == name)
                return button.visible;
        return false;
    }

    // The first spot's ring opened by a click, and its first entry with an id above 0 clicked
    // (a tower, or a tower's upgrade).
    bool buildOnFirstSpot()
    {
        mGame.click(210.0f, 370.0f);
        return playtest::ClickMenuEntry(mGame, [](i32 id) { return id > 0; });
    }

    // Two seconds of play move the wave clock on by two seconds.
    bool runs()
    {
        const float before = map().mWaves.mClock;
        mGame.run(60);
        return std::fabs(map().mWaves.mClock - before - 2.0f) < 0.05f;
    }

    GameHarness mGame;
};
} // namespace

TEST_F(TutorialSkip, TheFirstPagesPauseGoesWithTheTutorial)
{
    ASSERT_TRUE(mGame.startLevel(0, 0)) << mGame.log();
    ASSERT_EQ(0, activeStep());
    ASSERT_EQ(0.0f, map().mSpeed) << "the first page holds the battle";
    ASSERT_FALSE(runs());
    skip();
    EXPECT_EQ(1.0f, map().mSpeed);
    EXPECT_TRUE(shows(L"play_btn_ac")) << "the control buttons say so";
    EXPECT_FALSE(shows(L"pause_btn_ac"));
    EXPECT_TRUE(runs()) << "the battle goes on without the player finding Play";
}

TEST_F(TutorialSkip, ALaterPagesPauseGoesWithItToo)
{
    ASSERT_TRUE(mGame.startLevel(0, 0)) << mGame.log();
    // The first page's spot, then its first tower: the wave page holds the battle again.
    ASSERT_TRUE(buildOnFirstSpot());
    ASSERT_EQ(2, activeStep());
    ASSERT_EQ(0.0f, map().mSpeed);
    skip();
    EXPECT_EQ(1.0f, map().mSpeed);
    EXPECT_TRUE(runs());
}

TEST_F(TutorialSkip, APauseThePlayerChoseStays)
{
    ASSERT_TRUE(mGame.startLevel(0, 0)) << mGame.log();
    // The pages as asked up to the spell's, where the battle runs and the player may pause it.
    ASSERT_TRUE(buildOnFirstSpot());
    ASSERT_FALSE(map().mNextWave.buttons.empty());
    const TDWaveHint::Button flag = map().mNextWave.buttons.front();
    mGame.click(flag.x + flag.width * 0.5f, flag.y + flag.height * 0.5f);
    mGame.run(10); // the build ring has closed
    ASSERT_TRUE(buildOnFirstSpot());
    ASSERT_EQ(4, activeStep());
    ASSERT_EQ(1.0f, map().mSpeed);
    ASSERT_TRUE(mGame.click(L"pause_btn"));
    ASSERT_EQ(0.0f, map().mSpeed);
    skip();
    EXPECT_EQ(0.0f, map().mSpeed);
    EXPECT_TRUE(shows(L"pause_btn_ac"));
    EXPECT_FALSE(runs());
}
