// The front end's first screens in the running game: the logos from "logo/logo.ini" with their
// timing and skips, then the intro video with its sound track, each opening the next screen
// exactly once.
#include "Shell/ShellGame.h"

#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/SplashLogo.h"
#include "Source/TD/Shell/TDSplashScreens.h"
#include "Source/TD/Shell/TDVideoIntro.h"

namespace frontendtest
{
namespace
{
class SplashAndIntro : public shelltest::ShellGameTest
{
protected:
    // Frames of no time until the HUD holds a screen (the board joins the frame manager first).
    void Settle()
    {
        for (int i = 0; i < 5 && hud().windows().empty(); ++i)
            ASSERT_TRUE(frame(0.0f));
        ASSERT_FALSE(hud().windows().empty());
    }
};

// Screens of the type on the stack and waiting to join it.
template <class T> int Count(const HUD& hud)
{
    int n = 0;
    for (HUDWindow* w : hud.windows())
        n += dynamic_cast<T*>(w) ? 1 : 0;
    for (HUDWindow* w : hud.mPendingWindows)
        n += dynamic_cast<T*>(w) ? 1 : 0;
    return n;
}
} // namespace

TEST_F(SplashAndIntro, TheGameOpensOnTheLogosWhichRunTheirFadesAndThenOpenTheIntroOnce)
{
    EXPECT_EQ(kScreenSplash, map().mScreen);
    ASSERT_EQ(1u, hud().mPendingWindows.size()) << "queued by the board's start";
    Settle();
    auto* splash = top<TDSplashScreens>();
    ASSERT_NE(nullptr, splash);
    ASSERT_EQ(2u, splash->mLogos.size()) << "logo/logo.ini lists two logos";
    for (SplashLogo* logo : splash->mLogos)
        EXPECT_NE(nullptr, logo->image) << "each logo's picture loads";

    // Each logo runs its fades (timed in the logo's own test), then the next.
    ASSERT_TRUE(runUntil([&] { return splash->mCurrent == 1; }, 2.5f, 0.05f));
    EXPECT_EQ(kScreenSplash, map().mScreen);
    EXPECT_EQ(0, Count<TDVideoIntro>(hud()));

    ASSERT_TRUE(runUntil([&] { return map().mScreen == kScreenVideoIntro; }, 3.0f, 0.05f));
    EXPECT_EQ(1, Count<TDVideoIntro>(hud())) << "the intro opens exactly once";
    ASSERT_TRUE(frame(0.01f));
    EXPECT_NE(nullptr, top<TDVideoIntro>());
    EXPECT_EQ(1u, hud().windows().size()) << "the splash is gone";
}

TEST_F(SplashAndIntro, PressesSkipTheLogosTheIntroPlaysToItsEndAndEachScreenReachesTheDevice)
{
    Settle();
    size_t before = drawCalls();
    ASSERT_TRUE(frame(0.3f));
    EXPECT_GT(drawCalls(), before) << "the splash";
    auto* splash = top<TDSplashScreens>();
    ASSERT_NE(nullptr, splash);
    tap(10.0f, 10.0f);
    EXPECT_EQ(1, splash->mCurrent) << "the second logo at once";
    EXPECT_EQ(SplashLogo::FadingIn, splash->mLogos[1]->state);
    EXPECT_EQ(0.0f, splash->mLogos[1]->time) << "from its own start";
    EXPECT_EQ(kScreenSplash, map().mScreen);
    tap(900.0f, 700.0f);
    EXPECT_EQ(kScreenVideoIntro, map().mScreen);
    EXPECT_TRUE(hud().windows().empty()) << "closed at once by the press";

    // The intro joins the stack; its first draw opens the video.
    ASSERT_TRUE(frame(0.0f));
    auto* intro = top<TDVideoIntro>();
    ASSERT_NE(nullptr, intro);
    ASSERT_TRUE(intro->mStarted);
    ASSERT_NE(nullptr, intro->mVideo);
    ASSERT_NE(nullptr, intro->mFrame);
    EXPECT_EQ(640, intro->mFrame->GetWidth());
    EXPECT_EQ(360, intro->mFrame->GetHeight());
    before = drawCalls();
    ASSERT_TRUE(frame(0.02f));
    EXPECT_GT(drawCalls(), before) << "the intro's frame";
    EXPECT_EQ(1, Count<TDVideoIntro>(hud())) << "not a second time through the closing hook";

    // The demo video lasts 5 s: the menu opens at its end, once.
    ASSERT_TRUE(runUntil([&] { return map().mScreen == kScreenMainMenu; }, 7.0f, 0.04f));
    EXPECT_EQ(1, Count<HUDMainMenu>(hud()));
    ASSERT_TRUE(runUntil([&] { return top<HUDMainMenu>() != nullptr; }, 0.2f));
    before = drawCalls();
    ASSERT_TRUE(run(5, 0.04f));
    EXPECT_GT(drawCalls(), before) << "the menu";
    EXPECT_EQ(1, Count<HUDMainMenu>(hud())) << "the end is told once";
    EXPECT_EQ(1u, hud().windows().size());
}

TEST_F(SplashAndIntro, APressBeforeTheIntroIsDrawnStillOpensTheMenuAndPlaysNothing)
{
    Settle();
    tap(1.0f, 1.0f);
    tap(1.0f, 1.0f);
    ASSERT_EQ(kScreenVideoIntro, map().mScreen);
    hud().Update(0.0f); // on the stack, never drawn
    auto* intro = top<TDVideoIntro>();
    ASSERT_NE(nullptr, intro);
    ASSERT_FALSE(intro->mStarted);
    EXPECT_EQ(nullptr, intro->mVideo);
    tap(300.0f, 300.0f);

    EXPECT_EQ(kScreenMainMenu, map().mScreen);
    ASSERT_TRUE(frame(0.04f));
    EXPECT_NE(nullptr, top<HUDMainMenu>());
    EXPECT_EQ(1, Count<HUDMainMenu>(hud()));
}
} // namespace frontendtest
