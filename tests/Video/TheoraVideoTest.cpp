// The player's clock: which frame is shown when, the end of the stream, restarts and stops.
#include "VideoTestSupport.h"

#include <cmath>
#include <limits>

using namespace videotest;

namespace
{
using Playback = PlayerFixture;

TEST_F(Playback, FramesShowOnTimeTheEndIsToldOnceUploadsSurviveFailuresReopeningRestartsAndLostPagesShiftNothing)
{
    // Before opening the player is ended and updates do nothing.
    EXPECT_TRUE(mVideo->IsEnded());
    EXPECT_EQ(QL_OK, mVideo->Update(1.0f, nullptr));
    EXPECT_FLOAT_EQ(0.0f, mVideo->GetClock());
    OpenTest("pattern_420.ogv"); // coded as 48 x 32: the picture's size is reported
    EXPECT_EQ(std::make_pair(kPatternWidth, kPatternHeight), std::make_pair(mVideo->GetWidth(), mVideo->GetHeight()));
    EXPECT_FLOAT_EQ(0.1f, mVideo->GetFrameDuration());
    EXPECT_FALSE(mVideo->IsEnded());
    ASSERT_EQ(QL_OK, mVideo->Update(0.05f, mImage.get()));
    EXPECT_EQ(0u, mVideo->GetFrameIndex()); // nothing due yet
    ASSERT_EQ(QL_OK, mVideo->Update(0.1f, mImage.get()));
    EXPECT_EQ(1u, mVideo->GetFrameIndex());
    ExpectPatternFrame(0);
    // Zero times, times that run back and times that are not numbers decode nothing and leave
    // the clock as it was.
    for (float bad : {0.0f, -1.0f, std::nanf(""), std::numeric_limits<float>::infinity()})
        ASSERT_EQ(QL_OK, mVideo->Update(bad, mImage.get()));
    EXPECT_FLOAT_EQ(0.15f, mVideo->GetClock());
    EXPECT_EQ(1u, mVideo->GetFrameIndex());
    for (int k = 1; k < 8; ++k)
    {
        ASSERT_EQ(QL_OK, mVideo->Update(0.1f, mImage.get()));
        EXPECT_EQ(static_cast<u32>(k + 1), mVideo->GetFrameIndex());
        ExpectPatternFrame(k);
    }
    EXPECT_FALSE(mVideo->IsEnded());
    EXPECT_EQ(0, mListener.mEnded);
    // At the end the listener is told once and the image keeps the last frame.
    ASSERT_EQ(QL_OK, mVideo->Update(0.1f, mImage.get()));
    EXPECT_EQ(1, mListener.mEnded);
    EXPECT_EQ(mVideo.get(), mListener.mLast);
    EXPECT_TRUE(mVideo->IsEnded());
    ExpectPatternFrame(7);
    ASSERT_EQ(QL_OK, mVideo->Update(5.0f, mImage.get()));
    EXPECT_EQ(1, mListener.mEnded);

    // Uploads survive device loss and failures, only the last due frame is uploaded, reopening restarts.
    mListener.mEnded = 0;
    OpenTest("pattern_420.ogv");
    ASSERT_EQ(QL_OK, mVideo->Update(0.15f, mImage.get()));
    ExpectPatternFrame(0);
    // After a device loss the next frame fills the recreated texture.
    ASSERT_EQ(QL_OK, mHarness.mRender->LostDevice());
    ASSERT_EQ(QL_OK, mHarness.mRender->ResetDevice());
    ASSERT_EQ(QL_OK, mVideo->Update(0.1f, mImage.get()));
    ExpectPatternFrame(1);
    // A texture made from an image can neither be locked nor take frames: the failure is passed
    // up and playing goes on.
    render::Texture* fixed = nullptr;
    ASSERT_EQ(QL_OK, mHarness.mRender->CreateTexture(&fixed));
    rendertest::PixelImage pixels(kPatternWidth, kPatternHeight, std::vector<u32>(kPatternWidth * kPatternHeight));
    ASSERT_EQ(QL_OK, fixed->CreateFromImage(pixels));
    render::Image still(fixed); // owns it
    EXPECT_EQ(QL_FAIL, mVideo->Update(0.1f, &still));
    ASSERT_EQ(QL_OK, mVideo->Update(0.1f, mImage.get()));
    ExpectPatternFrame(3);
    // Frames 4 to 6 fall due together: all decoded, one upload.
    mHarness.Recording()->ClearCalls();
    ASSERT_EQ(QL_OK, mVideo->Update(0.3f, mImage.get()));
    EXPECT_EQ(7u, mVideo->GetFrameIndex());
    EXPECT_EQ(1u, mHarness.Recording()->CallsStartingWith("UpdateTexture").size());
    ExpectPatternFrame(6);
    // Closing stops without telling the listener; the image keeps its frame.
    mVideo->Close();
    EXPECT_TRUE(mVideo->IsEnded());
    EXPECT_EQ(0, mVideo->GetWidth());
    ASSERT_EQ(QL_OK, mVideo->Update(5.0f, mImage.get()));
    EXPECT_EQ(0, mListener.mEnded);
    ExpectPatternFrame(6);
    // Opening again restarts from the first frame; without an image frames still pass, and one
    // huge step runs to the end.
    OpenTest("pattern_420.ogv");
    EXPECT_FLOAT_EQ(0.0f, mVideo->GetClock());
    EXPECT_EQ(0u, mVideo->GetFrameIndex());
    ASSERT_EQ(QL_OK, mVideo->Update(0.25f, mImage.get()));
    ExpectPatternFrame(1);
    ASSERT_EQ(QL_OK, mVideo->Update(0.1f, nullptr));
    EXPECT_EQ(3u, mVideo->GetFrameIndex());
    ASSERT_EQ(QL_OK, mVideo->Update(100.0f, nullptr));
    EXPECT_EQ(1, mListener.mEnded);

    // A lost page does not shift the frames after it. The page after the first frame holds frames 1 to 3; the next one
    // starts with frame 4.
    const Bytes whole = ReadBytes(TestVideo("pattern_420.ogv"));
    const std::vector<Page> pages = SplitPages(whole);
    ASSERT_EQ(6u, pages.size());
    Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(pages[3].mOffset));
    cut.insert(cut.end(), whole.begin() + static_cast<std::ptrdiff_t>(pages[4].mOffset), whole.end());
    mListener.mEnded = 0;
    OpenBytes(cut);
    ASSERT_EQ(QL_OK, mVideo->Update(0.15f, mImage.get()));
    ExpectPatternFrame(0);
    ASSERT_EQ(QL_OK, mVideo->Update(0.4f, mImage.get())); // 0.55 s: frame 4 is due
    EXPECT_EQ(5u, mVideo->GetFrameIndex());
    ExpectPatternFrame(4);
    ASSERT_EQ(QL_OK, mVideo->Update(0.3f, mImage.get()));
    ExpectPatternFrame(7);
    // The listener may delete the player while being told of the end.
    mListener.mAction = [this](video::TheoraVideo* video)
    {
        EXPECT_EQ(mVideo.get(), video);
        mVideo.reset();
    };
    ASSERT_EQ(QL_OK, mVideo->Update(2.0f, mImage.get()));
    EXPECT_EQ(1, mListener.mEnded);
    EXPECT_EQ(nullptr, mVideo);
}

} // namespace
