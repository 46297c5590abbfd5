// The side pictures beside the core layout: drawn under the menu-like screens, never under the
// battle or the full-screen menus.
#include "Shell/ShellGame.h"

namespace
{
class SideImages : public shelltest::ShellGameTest
{
protected:
    SideImages() : ShellGameTest(bareBoard()) {}
    // How many more draws reach the device in one frame with the side pictures on that screen.
    long SideDraws(TDScreen screen)
    {
        map().mScreen = screen;
        hud().setSideImages(game().mLeftSide, game().mRightSide);
        frame(); // settle
        const long before = static_cast<long>(drawCalls());
        frame();
        const long middle = static_cast<long>(drawCalls());
        hud().setSideImages(nullptr, nullptr);
        frame();
        // The frame with the pictures less the frame without them.
        return (middle - before) - (static_cast<long>(drawCalls()) - middle);
    }
};
} // namespace

TEST_F(SideImages, MenuLikeScreensShowThemAndTheBattleAndFullScreenMenusDoNot)
{
    for (TDScreen screen :
         {kScreenEpisodes, kScreenLevels, kScreenProfiles, kScreenProfileCreate, kScreenProfileRename, kScreenMessage})
        EXPECT_EQ(2, SideDraws(screen)) << "screen " << static_cast<i32>(screen);
    for (TDScreen screen : {kScreenBattle, kScreenMainMenu, kScreenSplash})
        EXPECT_EQ(0, SideDraws(screen)) << "screen " << static_cast<i32>(screen);
}
