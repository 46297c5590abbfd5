// The splash sequence without a game: the logo list's reading, a logo's fades and the skips.
#include "Source/TD/Shell/SplashLogo.h"
#include "Source/TD/Shell/TDSplashScreens.h"

#include <gtest/gtest.h>

using Names = std::vector<std::wstring>;

TEST(Splash, LogoNamesComeInLineAndFieldOrderAndALogoFadesInHoldsAndFadesOutWithoutOvershoot)
{
    EXPECT_EQ((Names{L"first", L"second"}), TDSplashScreens::readLogoNames("a; first , second\n"));
    EXPECT_EQ((Names{L"x", L"y", L"z"}), TDSplashScreens::readLogoNames("l;x,y\n\n  \t\nm;z\r\n"));
    EXPECT_EQ((Names{L"marrowgate"}), TDSplashScreens::readLogoNames("\tlogos ; marrow gate ;ignored\r"))
        << "spaces inside a name go too; fields past the second are not read";
    EXPECT_EQ((Names{L"a", L"", L"b"}), TDSplashScreens::readLogoNames("x;a,,b")) << "empty pieces stay";
    EXPECT_EQ((Names{L"\u00e9t\u00e9"}), TDSplashScreens::readLogoNames("x;\xc3\xa9t\xc3\xa9")) << "UTF-8";
    EXPECT_TRUE(TDSplashScreens::readLogoNames("").empty());
    EXPECT_TRUE(TDSplashScreens::readLogoNames("no separator here\n").empty());

    // A logo fades in, holds and fades out with strict limits and no overshoot.
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
