// What the recording device keeps of its calls: a frame by default, everything when asked.
#include "Platform/Gpu/RecordingDevice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Calls = std::vector<std::string>;

// One frame of `draws` draws, presented.
void Frame(gpu::RecordingDevice& device, u32 draws, bool present = true)
{
    ASSERT_EQ(QL_OK, device.BeginScene());
    for (u32 i = 0; i < draws; ++i)
        ASSERT_EQ(QL_OK, device.Draw(gpu::Primitive::Triangles, i, 3));
    ASSERT_EQ(QL_OK, device.EndScene());
    if (present)
    {
        ASSERT_EQ(QL_OK, device.Present());
    }
}

TEST(RecordingDevice, KeepsTheFramePresentedLastAndTheOneBeingRecorded)
{
    gpu::RecordingDevice device;
    EXPECT_EQ(gpu::RecordingDevice::Keep::LastFrame, device.GetKeep()) << "bounded unless asked";
    ASSERT_EQ(QL_OK, device.Init(64, 64));
    Frame(device, 1);
    EXPECT_EQ((Calls{"Init 64 64", "BeginScene", "Draw Triangles 0 3", "EndScene", "Present"}), device.Calls())
        << "the first frame, with what came before it";
    Frame(device, 2);
    const Calls second{"BeginScene", "Draw Triangles 0 3", "Draw Triangles 1 3", "EndScene", "Present"};
    EXPECT_EQ(second, device.Calls());
    // Half a frame: the last whole one stays readable before it.
    ASSERT_EQ(QL_OK, device.BeginScene());
    ASSERT_EQ(QL_OK, device.Draw(gpu::Primitive::Lines, 0, 2));
    Calls growing = second;
    growing.insert(growing.end(), {"BeginScene", "Draw Lines 0 2"});
    EXPECT_EQ(growing, device.Calls());
    EXPECT_EQ(1u, device.CallsStartingWith("Present").size());

    // After a clear, the next cycle keeps its frames the same way.
    device.ClearCalls();
    EXPECT_TRUE(device.Calls().empty());
    Frame(device, 0);
    EXPECT_EQ((Calls{"BeginScene", "EndScene", "Present"}), device.Calls()) << "nothing from before the clear";
    Frame(device, 3);
    Frame(device, 1);
    EXPECT_EQ((Calls{"BeginScene", "Draw Triangles 0 3", "EndScene", "Present"}), device.Calls());
}

TEST(RecordingDevice, StaysBoundedOverManyFramesAndWithinOneThatNeverPresents)
{
    gpu::RecordingDevice device;
    ASSERT_EQ(QL_OK, device.Init(64, 64));
    for (int cycle = 0; cycle < 2; ++cycle)
    {
        // Frames of changing size: what is kept follows the last one, not the largest or the sum.
        for (u32 frame = 0; frame < 3000; ++frame)
            Frame(device, frame % 50);
        EXPECT_EQ(2999u % 50 + 3, device.Calls().size()) << "cycle " << cycle;
        EXPECT_EQ("Present", device.Calls().back());
        EXPECT_LE(device.Calls().capacity(), 4 * (50u + 3)) << "the storage too";
        device.ClearCalls();
    }

    // A load of many calls before any frame is shown: the newest calls stay, at most the bound.
    const size_t bound = gpu::RecordingDevice::kMaxKeptCalls;
    Frame(device, static_cast<u32>(bound * 2 + 123), false);
    EXPECT_LE(device.Calls().size(), bound);
    EXPECT_GE(device.Calls().size(), bound / 2);
    EXPECT_EQ("EndScene", device.Calls().back());
    EXPECT_EQ("Draw Triangles " + std::to_string(bound * 2 + 122) + " 3", device.Calls().end()[-2]);
    // The frame presented after it is kept whole, then goes with the next.
    ASSERT_EQ(QL_OK, device.Present());
    Frame(device, 1);
    EXPECT_EQ((Calls{"BeginScene", "Draw Triangles 0 3", "EndScene", "Present"}), device.Calls());
}

TEST(RecordingDevice, KeepsEveryCallUntilClearedWhenAsked)
{
    gpu::RecordingDevice device(gpu::RecordingDevice::Keep::All);
    for (int cycle = 0; cycle < 2; ++cycle)
    {
        for (u32 frame = 0; frame < 100; ++frame)
            Frame(device, 2);
        EXPECT_EQ(500u, device.Calls().size()) << "cycle " << cycle;
        EXPECT_EQ(100u, device.CallsStartingWith("Present").size());
        EXPECT_EQ(200u, device.CallsStartingWith("Draw ").size());
        device.ClearCalls();
        EXPECT_TRUE(device.Calls().empty());
    }
    // Switched back, the device forgets from the next frame on.
    device.SetKeep(gpu::RecordingDevice::Keep::LastFrame);
    Frame(device, 4);
    Frame(device, 1);
    EXPECT_EQ(4u, device.Calls().size());
}
} // namespace
