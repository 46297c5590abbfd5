// The splash sequence without a game: the logo list's reading, a logo's fades and the skips.
#include "Source/TD/Shell/SplashLogo.h"
#include "Source/TD/Shell/TDSplashScreens.h"

#include <gtest/gtest.h>

using Names = std::vector<std::wstring>;

TEST(LogoList, NamesComeInLineAndFieldOrderWithSpacesAndCarriageReturnsDropped)
{
    EXPECT_EQ((Names{L"first", L"second"}), TDSplashScreens::readLogoNames("a; first , second\n"));
    EXPECT_EQ((Names{L"x", L"y", L"z"}), TDSplashScreens::readLogoNames("l;x,y\n\n  \t\nm;z\r\n"));
    EXPECT_EQ((Names{L"marrowgate"}), TDSplashScreens::readLogoNames("\tlogos ; marrow gate ;ignored\r"))
        << "spaces inside a name go too; fields past the second are not read";
    EXPECT_EQ((Names{L"a", L"", L"b"}), TDSplashScreens::readLogoNames("x;a,,b")) << "empty pieces stay";
    EXPECT_EQ((Names{L"\u00e9t\u00e9"}), TDSplashScreens::readLogoNames("x;\xc3\xa9t\xc3\xa9")) << "UTF-8";
    EXPECT_TRUE(TDSplashScreens::readLogoNames("").empty());
    EXPECT_TRUE(TDSplashScreens::readLogoNames("no separator here\n").empty());
}

TEST(SplashLogo, FadesInHoldsAndFadesOutWithStrictLimitsAndNoOvershoot)
{
    SplashLogo logo(nullptr);
    logo.update(0.5f);
    EXPECT_EQ(SplashLogo::FadingIn, logo.state) << "0.5 s is not past the limit";
    logo.update(0.25f);
    EXPECT_EQ(SplashLogo::Shown, logo.state);
    EXPECT_EQ(0.0f, logo.time) << "the overshoot is dropped";
    logo.update(1.5f);
    EXPECT_EQ(SplashLogo::Shown, logo.state);
    logo.update(0.001f);
    EXPECT_EQ(SplashLogo::FadingOut, logo.state);
    logo.update(0.3f);
    EXPECT_FLOAT_EQ(0.3f, logo.time);
    logo.update(0.3f);
    EXPECT_EQ(SplashLogo::Finished, logo.state);
    logo.update(100.0f);
    EXPECT_EQ(SplashLogo::Finished, logo.state);
}

TEST(SplashScreens, EachSkipShowsTheNextLogoAndThePastTheLastAnswersDone)
{
    TDSplashScreens splash(nullptr);
    ASSERT_TRUE(splash.mLogos.empty()) << "no logo list without a data folder";
    splash.mLogos = {new SplashLogo(nullptr), new SplashLogo(nullptr)};
    splash.Update(0.7f);
    EXPECT_EQ(SplashLogo::Shown, splash.mLogos[0]->state);
    EXPECT_EQ(L"", splash.ButtonNameAt(5, 5));
    EXPECT_EQ(1, splash.mCurrent);
    splash.Update(0.2f);
    EXPECT_EQ(SplashLogo::FadingIn, splash.mLogos[1]->state) << "the next one starts from its own fade";
    EXPECT_EQ(L"done", splash.ButtonNameAt(-300, 9000));
    EXPECT_TRUE(splash.mOpen) << "the press handler closes it, not the skip";
}

TEST(SplashScreens, RunsOutAfterTheLastLogoAndAtOnceWithoutLogos)
{
    TDSplashScreens empty(nullptr);
    empty.Update(0.0f);
    EXPECT_FALSE(empty.mOpen) << "no logos: closed by the first update";
    empty.OnClosing(); // without a HUD, nothing to open

    TDSplashScreens splash(nullptr);
    splash.mLogos = {new SplashLogo(nullptr), new SplashLogo(nullptr)};
    int frames = 0;
    while (splash.mOpen && frames < 1000)
    {
        splash.Update(0.125f);
        ++frames;
    }
    EXPECT_FALSE(splash.mOpen);
    // 0.625 + 1.625 + 0.625 s per logo: each limit is passed by part of a frame of 0.125 s.
    EXPECT_EQ(2 * (5 + 13 + 5), frames);
    EXPECT_EQ(2, splash.mCurrent);
    splash.Update(1.0f); // closed: nothing moves any more
    EXPECT_EQ(2, splash.mCurrent);
}
