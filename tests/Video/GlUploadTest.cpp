// On real OpenGL (headless EGL): a decoded frame uploaded into the image's dynamic texture and
// drawn texel for texel shows the video's colours in their places, frame after frame.
#include "VideoTestSupport.h"

#include "Core/Media/Image/ImageFactory.h"

using namespace videotest;

namespace
{
TEST(VideoOnGl, DecodedFramesReachTheScreenThroughTheDynamicTexture)
{
    rendertest::Harness harness(render::HeadlessWindow::Backend::Gl, 64, 64);
    if (!harness.mWindow.IsAvailable())
        GTEST_SKIP() << "headless OpenGL unavailable: " << harness.mWindow.WhyUnavailable();
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
        auto at = [&](int x, int y) { return pixels[static_cast<size_t>((6 + y) * 64 + 4 + x)]; };
        EXPECT_LE(ColourDistance(at(10, 6), kSequence[k]), 12) << k << ": " << Hex(at(10, 6));
        EXPECT_LE(ColourDistance(at(30, 6), kTopRight), 12) << k;
        EXPECT_LE(ColourDistance(at(10, 18), kBottomLeft), 12) << k;
        EXPECT_LE(ColourDistance(at(30, 18), kBottomRight), 12) << k;
        EXPECT_EQ(0xFF000000u, pixels[static_cast<size_t>(5 * 64 + 3)]) << "outside the picture";
    }
    image.reset();
}
} // namespace
