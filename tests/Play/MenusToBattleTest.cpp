// A new player's way in: logos, intro, main menu, a name, the first episode and level, and the
// battle running under the pointer.
#include "support/GameHarness.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Shell/HUD.h"

#include <gtest/gtest.h>

using testsupport::GameHarness;

TEST(MenusToBattle, ANewPlayerReachesTheFirstBattleItRunsAndTheGameEndsUnderAMessage)
{
    GameHarness game;
    ASSERT_TRUE(game.started()) << game.log();
    ASSERT_TRUE(game.reachMainMenu());
    EXPECT_EQ(kScreenMainMenu, game.screen());
    ASSERT_TRUE(game.startLevel(0, 0));
    EXPECT_FALSE(game.map().mProgress->currentName().empty()) << "the offered name was taken";
    EXPECT_NE(std::string::npos, game.profilesFile().find(std::string("name=\"")));
    EXPECT_EQ(kScreenBattle, game.screen());
    EXPECT_TRUE(game.map().isLevelLoaded());
    EXPECT_GT(game.map().mSpeed, 0.0f) << "the battle runs once the level's messages are gone";
    const float time = game.map().mTime;
    ASSERT_TRUE(game.run(30));
    EXPECT_GT(game.map().mTime, time);

    // The game ends while a message stands over the battle: the message hands the screen back to
    // the battle as it goes, so it must go first (ASan sees the order).
    game.hud().showMessage(L"title", L"text", kScreenLevels);
    ASSERT_TRUE(game.frame());
    EXPECT_EQ(kScreenMessage, game.screen());
}
