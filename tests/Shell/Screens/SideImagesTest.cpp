// The side pictures beside the core layout: drawn under the menu-like screens, never under the
// battle or the full-screen menus.
#include "support/GameHarness.h"

#include "App/Game.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"

#include <gtest/gtest.h>


using testsupport::GameHarness;

namespace
{
class SideImages : public ::testing::Test, public GameHarness
{
protected:
    SideImages() : GameHarness(bareBoard()) {}
    void SetUp() override { ASSERT_TRUE(started()) << log(); }
    // Draw calls that reach the device in one frame.
    size_t DrawsOfOneFrame()
    {
        const size_t before = drawCalls();
        frame();
        return drawCalls() - before;
    }
    // How many more draws the side pictures add on that screen.
    long SideDraws(i32 screen)
    {
        map().mScreen = screen;
        hud().setSideImages(game().mLeftSide, game().mRightSide);
        frame(); // settle
        const long with = static_cast<long>(DrawsOfOneFrame());
        hud().setSideImages(nullptr, nullptr);
        const long without = static_cast<long>(DrawsOfOneFrame());
        return with - without;
    }
};
} // namespace

TEST_F(SideImages, MenuLikeScreensShowThemAndTheBattleAndFullScreenMenusDoNot)
{
    for (i32 screen : {5, 6, 13, 14, 15, 16})
        EXPECT_EQ(2, SideDraws(screen)) << "screen " << screen;
    for (i32 screen : {0, 7, 12})
        EXPECT_EQ(0, SideDraws(screen)) << "screen " << screen;
}
