// The side pictures beside the core layout: drawn under the menu-like screens, never under the
// battle or the full-screen menus.
#include "Shell/ShellGame.h"

namespace
{
class SideImages : public shelltest::ShellGameTest
{
protected:
    SideImages() : ShellGameTest(bareBoard()) {}
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
