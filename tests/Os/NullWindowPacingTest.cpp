// The headless window paces its frames as the real one does without vertical sync, unless its
// driver is asked for free-running frames.
#include "Platform/Gpu/RecordingDevice.h"
#include "Platform/Os/NullVideo.h"

#include <gtest/gtest.h>

#include <chrono>

namespace
{
using Clock = std::chrono::steady_clock;

// How long `frames` paced passes take; only ever compared as a lower bound, which a loaded
// machine cannot break (a sleep never ends early).
Clock::duration Passes(os::Window& window, int frames, bool calm)
{
    const auto start = Clock::now();
    for (int i = 0; i < frames; ++i)
        window.PaceFrame(calm);
    return Clock::now() - start;
}

TEST(NullVideo, PacesFramesAtSixtyHertzHalfThatWhenCalmAndNotAtAllWhenFreeRunning)
{
    os::NullVideoDriver driver;
    auto window = driver.CreateWindow();
    bool vsync = true;
    EXPECT_EQ(0.0, window->PacedRate(&vsync)) << "nothing to pace before the window exists";
    ASSERT_EQ(QL_OK, window->Create({0, 0, 1366, 768, true, L"c"}));
    EXPECT_EQ(60.0, window->PacedRate(&vsync));
    EXPECT_FALSE(vsync) << "a sleeping limiter, no vertical sync";
    EXPECT_GE(Passes(*window, 6, false), std::chrono::milliseconds(99)) << "six frames at 60 Hz";
    EXPECT_GE(Passes(*window, 3, true), std::chrono::milliseconds(99)) << "three calm frames at 30 Hz";
    EXPECT_EQ(60.0, window->PacedRate(nullptr)) << "reported at the display's rate, as the real window does";
    EXPECT_GE(Passes(*window, 6, false), std::chrono::milliseconds(99)) << "back to 60 Hz";

    // Made again (the screen mode's switch), the window is paced again.
    window->Destroy();
    EXPECT_EQ(0.0, window->PacedRate(nullptr));
    ASSERT_EQ(QL_OK, window->Create({0, 0, 800, 600, true, L"c"}));
    EXPECT_EQ(60.0, window->PacedRate(nullptr));
    EXPECT_GE(Passes(*window, 3, false), std::chrono::milliseconds(49));

    driver.mFreeRunning = true;
    auto free = driver.CreateWindow();
    ASSERT_EQ(QL_OK, free->Create({0, 0, 1366, 768, true, L"c"}));
    EXPECT_EQ(0.0, free->PacedRate(&vsync)) << "free-running: the main loop reports its frames unpaced";
    free->PaceFrame(true);
    EXPECT_EQ(0.0, free->PacedRate(nullptr)) << "a calm screen does not pace it either";
}

TEST(NullVideo, DevicesKeepAFrameUnlessTheDriverIsAskedToKeepEveryCall)
{
    os::NullVideoDriver driver;
    for (bool keepAll : {false, true})
    {
        driver.mKeepAllCalls = keepAll;
        auto window = driver.CreateWindow();
        ASSERT_EQ(QL_OK, window->Create({0, 0, 64, 64, true, L"c"}));
        auto device = window->CreateDevice();
        ASSERT_NE(device, nullptr);
        for (int frame = 0; frame < 3; ++frame)
        {
            ASSERT_EQ(QL_OK, device->BeginScene());
            ASSERT_EQ(QL_OK, device->EndScene());
            ASSERT_EQ(QL_OK, device->Present());
        }
        const auto& calls = static_cast<gpu::RecordingDevice&>(*device).Calls();
        EXPECT_EQ(keepAll ? 9u : 3u, calls.size()) << (keepAll ? "every call" : "the last frame");
    }
}
} // namespace
