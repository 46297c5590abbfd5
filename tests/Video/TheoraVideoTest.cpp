// The player's clock: which frame is shown when, the end of the stream, restarts and stops.
#include "VideoTestSupport.h"

#include "Core/Media/Video/TheoraDecoder.h"

#include <cmath>
#include <limits>

using namespace videotest;

namespace
{
using Playback = PlayerFixture;

TEST_F(Playback, ReportsThePictureSizeNotTheCodedSizeAndTheFrameRate)
{
    OpenTest("pattern_420.ogv"); // coded as 48 x 32
    EXPECT_EQ(kPatternWidth, mVideo->GetWidth());
    EXPECT_EQ(kPatternHeight, mVideo->GetHeight());
    EXPECT_FLOAT_EQ(0.1f, mVideo->GetFrameDuration());
    EXPECT_FALSE(mVideo->IsEnded());
    EXPECT_EQ(0u, mVideo->GetFrameIndex());
    // Before opening the player is ended and updates do nothing.
    video::TheoraVideo unopened(&mListener);
    EXPECT_TRUE(unopened.IsEnded());
    EXPECT_EQ(QL_OK, unopened.Update(1.0f, nullptr));
    EXPECT_FLOAT_EQ(0.0f, unopened.GetClock());
    EXPECT_EQ(0, mListener.mEnded);
}

TEST_F(Playback, EachFrameIsShownOnceItsDurationHasPassedAndTheEndIsToldOnce)
{
    OpenTest("pattern_420.ogv");
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
}

TEST_F(Playback, DueFramesAreDecodedButOnlyTheLastIsUploaded)
{
    OpenTest("pattern_420.ogv");
    ASSERT_EQ(QL_OK, mVideo->Update(0.15f, mImage.get()));
    mHarness.Recording()->ClearCalls();
    // Frames 1 to 3 fall due together.
    ASSERT_EQ(QL_OK, mVideo->Update(0.3f, mImage.get()));
    EXPECT_EQ(4u, mVideo->GetFrameIndex());
    EXPECT_EQ(1u, mHarness.Recording()->CallsStartingWith("UpdateTexture").size());
    ExpectPatternFrame(3);
    // Without an image frames still pass and the end is told.
    ASSERT_EQ(QL_OK, mVideo->Update(0.1f, nullptr));
    EXPECT_EQ(5u, mVideo->GetFrameIndex());
    ASSERT_EQ(QL_OK, mVideo->Update(1.0f, nullptr));
    EXPECT_EQ(1, mListener.mEnded);
}

TEST_F(Playback, OpeningAgainRestartsFromTheFirstFrameAndOneHugeStepRunsToTheEnd)
{
    OpenTest("pattern_420.ogv");
    ASSERT_EQ(QL_OK, mVideo->Update(0.55f, mImage.get()));
    ExpectPatternFrame(4);
    OpenTest("pattern_420.ogv");
    EXPECT_FLOAT_EQ(0.0f, mVideo->GetClock());
    EXPECT_EQ(0u, mVideo->GetFrameIndex());
    ASSERT_EQ(QL_OK, mVideo->Update(0.25f, mImage.get()));
    ExpectPatternFrame(1);
    ASSERT_EQ(QL_OK, mVideo->Update(100.0f, mImage.get()));
    EXPECT_EQ(1, mListener.mEnded);
    ExpectPatternFrame(7);
}

TEST_F(Playback, TheListenerMayDeleteThePlayerWhileBeingTold)
{
    OpenTest("pattern_420.ogv");
    mListener.mAction = [this](video::TheoraVideo* video) {
        EXPECT_EQ(mVideo.get(), video);
        mVideo.reset();
    };
    ASSERT_EQ(QL_OK, mVideo->Update(2.0f, mImage.get()));
    EXPECT_EQ(1, mListener.mEnded);
    EXPECT_EQ(nullptr, mVideo);
}

TEST_F(Playback, ClosingStopsWithoutTellingTheListener)
{
    OpenTest("pattern_420.ogv");
    ASSERT_EQ(QL_OK, mVideo->Update(0.35f, mImage.get()));
    mVideo->Close();
    EXPECT_TRUE(mVideo->IsEnded());
    EXPECT_EQ(0, mVideo->GetWidth());
    ASSERT_EQ(QL_OK, mVideo->Update(5.0f, mImage.get()));
    EXPECT_EQ(0, mListener.mEnded);
    ExpectPatternFrame(2);
}

TEST_F(Playback, ALostPageDoesNotShiftTheFramesAfterIt)
{
    // The page after the first frame holds frames 1 to 3; the next one starts with frame 4.
    const Bytes whole = ReadBytes(TestVideo("pattern_420.ogv"));
    const std::vector<Page> pages = SplitPages(whole);
    ASSERT_EQ(6u, pages.size());
    Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(pages[3].mOffset));
    cut.insert(cut.end(), whole.begin() + static_cast<std::ptrdiff_t>(pages[4].mOffset), whole.end());
    OpenBytes(cut);
    ASSERT_EQ(QL_OK, mVideo->Update(0.15f, mImage.get()));
    ExpectPatternFrame(0);
    ASSERT_EQ(QL_OK, mVideo->Update(0.4f, mImage.get())); // 0.55 s: frame 4 is due
    EXPECT_EQ(5u, mVideo->GetFrameIndex());
    ExpectPatternFrame(4);
    ASSERT_EQ(QL_OK, mVideo->Update(0.3f, mImage.get()));
    ExpectPatternFrame(7);
}

TEST_F(Playback, AfterADeviceLossTheNextFrameFillsTheRecreatedTexture)
{
    OpenTest("pattern_420.ogv");
    ASSERT_EQ(QL_OK, mVideo->Update(0.15f, mImage.get()));
    ExpectPatternFrame(0);
    ASSERT_EQ(QL_OK, mHarness.mRender->LostDevice());
    ASSERT_EQ(QL_OK, mHarness.mRender->ResetDevice());
    ASSERT_EQ(QL_OK, mVideo->Update(0.1f, mImage.get()));
    ExpectPatternFrame(1);
}

TEST_F(Playback, ATextureFailureIsPassedUpAndPlayingGoesOn)
{
    OpenTest("pattern_420.ogv");
    // A texture made from an image can neither be locked nor take frames.
    render::Texture* fixed = nullptr;
    ASSERT_EQ(QL_OK, mHarness.mRender->CreateTexture(&fixed));
    rendertest::PixelImage pixels(kPatternWidth, kPatternHeight, std::vector<u32>(kPatternWidth * kPatternHeight));
    ASSERT_EQ(QL_OK, fixed->CreateFromImage(pixels));
    render::Image still(fixed); // owns it
    EXPECT_EQ(QL_FAIL, mVideo->Update(0.15f, &still));
    ASSERT_EQ(QL_OK, mVideo->Update(0.1f, mImage.get()));
    ExpectPatternFrame(1);
}

TEST(TheoraDecoder, NumbersFramesFromTheGranulePositionsAndEndsOnce)
{
    video::TheoraDecoder decoder;
    const Bytes bytes = ReadBytes(TestVideo("pattern_422.ogv"));
    ASSERT_EQ(QL_OK, decoder.Open(new base::MemoryStream(bytes.data(), static_cast<u32>(bytes.size())), L"t"));
    EXPECT_EQ(48u, decoder.GetCodedWidth());
    EXPECT_EQ(32u, decoder.GetCodedHeight());
    EXPECT_EQ(-1, decoder.GetFrameNumber());
    for (int k = 0; k < 8; ++k)
    {
        ASSERT_EQ(video::TheoraDecoder::Result::Frame, decoder.DecodeFrame());
        EXPECT_EQ(k, decoder.GetFrameNumber());
        EXPECT_TRUE(decoder.HasPicture());
    }
    EXPECT_EQ(8u, decoder.GetDecodedCount());
    EXPECT_EQ(video::TheoraDecoder::Result::End, decoder.DecodeFrame());
    EXPECT_TRUE(decoder.HasPicture()) << "the last picture stays until closing";
    EXPECT_EQ(video::TheoraDecoder::Result::End, decoder.DecodeFrame());
    decoder.Close();
    EXPECT_FALSE(decoder.IsOpen());
    EXPECT_FALSE(decoder.HasPicture());
    decoder.Close(); // closing a closed decoder does nothing
    EXPECT_EQ(video::TheoraDecoder::Result::End, decoder.DecodeFrame());
}
} // namespace
