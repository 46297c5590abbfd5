// The whole game run headless as the shipped program runs it: frames paced by the window's
// limiter and a recording device that keeps one frame, however long the session.
#include "support/GameHarness.h"

#include <gtest/gtest.h>

#include <algorithm>

using testsupport::GameHarness;

namespace
{
// The calls kept hold exactly one whole frame: the one presented last.
void ExpectOneFrame(const GameHarness& game, const char* when)
{
    const std::vector<std::string> calls = game.deviceCalls();
    ASSERT_FALSE(calls.empty()) << when;
    EXPECT_EQ("Present", calls.back()) << when;
    EXPECT_EQ(1, std::count(calls.begin(), calls.end(), "Present")) << when;
}

TEST(HeadlessRun, ThePacingFollowsWhatTheHarnessAsksFor)
{
    for (bool free : {true, false})
    {
        GameHarness::Options options;
        options.freeRunning = free;
        GameHarness game(options);
        ASSERT_TRUE(game.started()) << game.log();
        const std::string log = game.log();
        EXPECT_EQ(free ? 1 : 0, GameHarness::occurrences(log, "Frames not paced (no display)"));
        EXPECT_EQ(free ? 0 : 1, GameHarness::occurrences(log, "Frames paced to 60 Hz by a sleeping limiter"));
    }
}

TEST(HeadlessRun, TheDeviceKeepsOneFrameFromTheMenuThroughABattleAtEachDisplaySize)
{
    for (const auto& [width, height] : {std::pair{1920, 1080}, std::pair{1366, 768}})
    {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        GameHarness::Options options;
        options.keepAllDeviceCalls = false;
        options.displayWidth = width;
        options.displayHeight = height;
        GameHarness game(options);
        ASSERT_TRUE(game.started()) << game.log();
        ASSERT_TRUE(game.reachMainMenu());
        ASSERT_TRUE(game.run(60));
        ExpectOneFrame(game, "at the main menu");
        const size_t menuFrame = game.deviceCalls().size();

        ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
        ASSERT_TRUE(game.run(300));
        ExpectOneFrame(game, "in battle");
        EXPECT_GT(game.drawCalls(), 0u) << "the battle's frame is drawn";
        EXPECT_LT(game.deviceCalls().size(), 20 * std::max<size_t>(menuFrame, 100)) << "a frame, not a history";

        // Forgotten by the test, the next frames are kept the same way.
        game.forgetDeviceCalls();
        EXPECT_TRUE(game.deviceCalls().empty());
        ASSERT_TRUE(game.run(2));
        ExpectOneFrame(game, "after the calls were forgotten");
    }
}
} // namespace
