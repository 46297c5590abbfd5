// YUV to ARGB: the tables, the chroma layouts and the picture region, on built planes and on the
// test videos in each layout; on real OpenGL (headless EGL), decoded frames drawn texel for texel.
#include "VideoTestSupport.h"

#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Video/YuvPicture.h"
#include "support/CiSkip.h"

#include <cmath>

using namespace videotest;

namespace
{
// The tables' own definition: round((i - 128) x k / 65536), halves rounded up.
int Term(int i, int k) { return static_cast<int>(std::floor((i - 128) * static_cast<double>(k) / 65536.0 + 0.5)); }

u32 Expected(int y, int u, int v)
{
    auto clamp = [](int c) { return static_cast<u32>(c < 0 ? 0 : c > 255 ? 255 : c); };
    return 0xFF000000u | clamp(y + Term(v, 113443)) << 16 | clamp(y - Term(u, 22020) - Term(v, 45744)) << 8 |
           clamp(y + Term(u, 113508));
}

// Every chroma pair, so the clamps at 0 and 255 are reached too.
TEST(YuvToArgb, MatchesTheRoundedCoefficientsOverEverySample)
{
    for (int y : {0, 1, 16, 100, 128, 200, 235, 255})
        for (int u = 0; u < 256; ++u)
            for (int v = 0; v < 256; v += 3)
                ASSERT_EQ(Expected(y, u, v),
                          video::YuvToArgb(static_cast<u8>(y), static_cast<u8>(u), static_cast<u8>(v)))
                    << y << " " << u << " " << v;
}

// Planes of a small coded frame, every sample distinct, so a wrong index shows.
struct Planes
{
    Planes(int width, int height, int chromaWidth, int chromaHeight)
        : mW(width), mH(height), mCw(chromaWidth), mCh(chromaHeight), mY(static_cast<size_t>(width * height)),
          mU(static_cast<size_t>(chromaWidth * chromaHeight)), mV(mU.size())
    {
        for (size_t i = 0; i < mY.size(); ++i)
            mY[i] = static_cast<u8>(40 + i * 7 % 170);
        for (size_t i = 0; i < mU.size(); ++i)
        {
            mU[i] = static_cast<u8>(60 + i * 13 % 140);
            mV[i] = static_cast<u8>(200 - i * 11 % 150);
        }
    }
    // Top row first with positive strides, or from the last stored row up with negative strides
    // (the decoder's way): then the picture's row y is stored row height - 1 - y.
    video::YuvPicture Picture(bool bottomUp)
    {
        mBottomUp = bottomUp;
        video::YuvPicture p;
        p.mY = mY.data() + (bottomUp ? (mH - 1) * mW : 0);
        p.mU = mU.data() + (bottomUp ? (mCh - 1) * mCw : 0);
        p.mV = mV.data() + (bottomUp ? (mCh - 1) * mCw : 0);
        p.mYStride = bottomUp ? -mW : mW;
        p.mUvStride = bottomUp ? -mCw : mCw;
        p.mWidth = static_cast<u32>(mW);
        p.mHeight = static_cast<u32>(mH);
        p.mChromaShiftX = mCw < mW ? 1 : 0;
        p.mChromaShiftY = mCh < mH ? 1 : 0;
        return p;
    }
    // The colour the picture's pixel (x, y) must have.
    u32 At(int x, int y) const
    {
        const int row = mBottomUp ? mH - 1 - y : y;
        const int cx = mCw < mW ? x / 2 : x, cy = mCh < mH ? row / 2 : row;
        const size_t c = static_cast<size_t>(cy * mCw + cx);
        return video::YuvToArgb(mY[static_cast<size_t>(row * mW + x)], mU[c], mV[c]);
    }
    int mW, mH, mCw, mCh;
    std::vector<u8> mY, mU, mV;
    bool mBottomUp = false;
};

struct Layout
{
    const char* mName;
    int mChromaWidth, mChromaHeight;
};

class ChromaLayout : public ::testing::TestWithParam<Layout>
{
};

TEST_P(ChromaLayout, EveryPixelTakesItsOwnLumaAndTheChromaCoveringIt)
{
    const Layout layout = GetParam();
    for (bool bottomUp : {false, true})
    {
        Planes planes(8, 6, layout.mChromaWidth, layout.mChromaHeight);
        const video::YuvPicture picture = planes.Picture(bottomUp);
        std::vector<u32> out(8 * 6, 0);
        video::ConvertToArgb(picture, out.data(), 8 * 4, 8, 6);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(Hex(planes.At(x, y)), Hex(out[static_cast<size_t>(y * 8 + x)]))
                    << layout.mName << (bottomUp ? " bottom-up" : "") << " at " << x << ", " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ChromaLayout,
                         ::testing::Values(Layout{"420", 4, 3}, Layout{"422", 4, 6}, Layout{"444", 8, 6}),
                         [](const auto& info) { return std::string("yuv") + info.param.mName; });

TEST(ConvertToArgb, StaysInsideTheDestinationHonoursItsPitchAndTakesTheVisibleRegionWithItsOddOffset)
{
    Planes planes(8, 6, 4, 3);
    const video::YuvPicture picture = planes.Picture(false);
    // A 5 x 3 destination with a pitch of 27 bytes (taken as 24: 6 pixels) and a guard after it.
    std::vector<u32> out(6 * 3 + 4, 0x12345678u);
    video::ConvertToArgb(picture, out.data(), 27, 5, 3);
    for (int y = 0; y < 3; ++y)
    {
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(Hex(planes.At(x, y)), Hex(out[static_cast<size_t>(y * 6 + x)]));
        EXPECT_EQ(0x12345678u, out[static_cast<size_t>(y * 6 + 5)]) << "row " << y << " padding";
    }
    for (size_t i = 18; i < out.size(); ++i)
        EXPECT_EQ(0x12345678u, out[i]);
    // A pitch narrower than the width limits the columns.
    std::vector<u32> narrow(2 * 2 + 1, 0x12345678u);
    video::ConvertToArgb(picture, narrow.data(), 8, 8, 2);
    EXPECT_EQ(0x12345678u, narrow[4]);
    // The visible region is taken with its odd offset.
    video::YuvPicture region = planes.Picture(true);
    region.mX = 3;
    region.mY0 = 1;
    region.mWidth = 4;
    region.mHeight = 4;
    std::vector<u32> cropped(16, 0);
    video::ConvertToArgb(region, cropped.data(), 16, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(Hex(planes.At(x + 3, y + 1)), Hex(cropped[static_cast<size_t>(y * 4 + x)])) << x << ", " << y;
}

// The generated videos, in each layout: colours within the codec's loss, in their places.
class VideoLayout : public PlayerFixture, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(VideoLayout, EveryFrameShowsItsColoursInTheRightQuadrants)
{
    OpenTest(std::string("pattern_") + GetParam() + ".ogv");
    EXPECT_EQ(std::make_pair(kPatternWidth, kPatternHeight), std::make_pair(mVideo->GetWidth(), mVideo->GetHeight()));
    for (int k = 0; k < 8; ++k)
    {
        ASSERT_EQ(QL_OK, mVideo->Update(k == 0 ? 0.15f : 0.1f, mImage.get()));
        ExpectPatternFrame(k, 8);
    }
    // The edges of the picture belong to the picture, not to the coded frame's padding.
    EXPECT_LE(ColourDistance(Pixel(0, 0), kSequence[7]), 16) << Hex(Pixel(0, 0));
    EXPECT_LE(ColourDistance(Pixel(kPatternWidth - 1, kPatternHeight - 1), kBottomRight), 16)
        << Hex(Pixel(kPatternWidth - 1, kPatternHeight - 1));
}

// "with_sound" holds a Vorbis stream before the Theora one.
INSTANTIATE_TEST_SUITE_P(Files, VideoLayout, ::testing::Values("420", "422", "444", "with_sound"),
                         [](const auto& info) { return std::string("yuv") + info.param; });

// A decoded frame uploaded into the image's dynamic texture shows its colours on screen, frame after frame.
TEST(VideoOnGl, DecodedFramesReachTheScreenThroughTheDynamicTexture)
{
    rendertest::Harness harness(render::HeadlessWindow::Backend::Gl, 64, 64);
    if (!harness.mWindow.IsAvailable())
        QL_SKIP_OR_FAIL_IN_CI("headless OpenGL unavailable: " + harness.mWindow.WhyUnavailable());
    ASSERT_EQ(QL_OK, harness.mInitResult);
    render::RenderDX9& r = *harness.mRender;
    RecordingListener listener;
    video::TheoraVideo player(&listener);
    const Bytes bytes = ReadBytes(TestVideo("pattern_420.ogv"));
    ASSERT_EQ(QL_OK, player.Open(new base::MemoryStream(bytes.data(), static_cast<u32>(bytes.size())), L"gl"));
    render::Image* made = nullptr;
    ASSERT_EQ(QL_OK, render::CreateImage(&r, static_cast<u32>(player.GetWidth()), static_cast<u32>(player.GetHeight()),
                                         &made));
    std::unique_ptr<render::Image> image(made);
    rendertest::QuadDrawer draw(r);
    const float black[4] = {0, 0, 0, 1};
    for (int k = 0; k < 8; ++k)
    {
        ASSERT_EQ(QL_OK, player.Update(k == 0 ? 0.15f : 0.1f, image.get()));
        ASSERT_TRUE(r.IsReady());
        ASSERT_EQ(QL_OK, r.BeginScene());
        ASSERT_EQ(QL_OK, r.Clear(1, black, 1.0f, 0));
        ASSERT_EQ(QL_OK, draw.Image(4, 6, kPatternWidth, kPatternHeight, image->GetTexture()));
        ASSERT_EQ(QL_OK, r.EndScene());
        ASSERT_EQ(QL_OK, r.Present());
        ASSERT_EQ(QL_OK, r.ExecuteCommands());
        std::vector<u32> pixels;
        ASSERT_EQ(QL_OK, r.GetDevice()->ReadPixels(0, 0, 0, 64, 64, &pixels));
        ExpectPattern([&](int x, int y) { return pixels[static_cast<size_t>((6 + y) * 64 + 4 + x)]; }, k);
        EXPECT_EQ(0xFF000000u, pixels[static_cast<size_t>(5 * 64 + 3)]) << "outside the picture";
    }
}
} // namespace
