// A renderer that keeps failing at the end of the frame: the real game logs each kind of failure
// once, with its cause, and goes on running frames.
#include "App/Game.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Platform/Gpu/RecordingDevice.h"
#include "support/GameHarness.h"

#include <gtest/gtest.h>

#include <string>

using testsupport::GameHarness;

TEST(FrameEnd, EachLastingRendererFailureIsLoggedOnceWithItsCauseAndTheGameGoesOn)
{
    GameHarness game;
    ASSERT_TRUE(game.started());
    ASSERT_TRUE(game.run(3));
    auto* render = dynamic_cast<render::RenderDX9*>(game.game().mRender);
    ASSERT_NE(render, nullptr);
    auto* device = dynamic_cast<gpu::RecordingDevice*>(render->GetDevice());
    ASSERT_NE(device, nullptr);
    const std::string before = game.log();

    // Each device call fails for several frames in a row; every frame is still tried.
    const struct
    {
        const char* call;
        const char* logged;
    } failures[] = {
        {"EndScene", "ExecuteCommands failed (1): the device refused the command 'end scene'"},
        {"Present", "ExecuteCommands failed (1): the device refused the command 'present'"},
        {"UpdateBuffer", "EndScene failed (1): the frame's vertices could not be handed to the device"},
    };
    for (const auto& failure : failures)
    {
        SCOPED_TRACE(failure.call);
        const size_t scenes = game.deviceCalls("BeginScene").size();
        for (int frame = 0; frame < 4; ++frame)
        {
            device->FailNext(failure.call);
            (void)game.frame();
        }
        EXPECT_GE(game.deviceCalls("BeginScene").size(), scenes + 4) << "every frame is still played";
        const std::string log = game.log().substr(before.size());
        EXPECT_EQ(GameHarness::occurrences(log, failure.logged), 1) << log;
        EXPECT_EQ(game.frame(), true) << "a device that works again draws again";
    }
    const std::string log = game.log().substr(before.size());
    EXPECT_EQ(GameHarness::occurrences(log, "failed (1)"), 3) << log;

    // The same failure again, later, is not logged again.
    device->FailNext("EndScene");
    (void)game.frame();
    EXPECT_EQ(GameHarness::occurrences(game.log().substr(before.size()), "failed (1)"), 3);
}
