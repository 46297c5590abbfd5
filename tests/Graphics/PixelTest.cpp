// Drawing through the context on real OpenGL (headless EGL), read back: an image lands on exact
// pixels, and a whole frame of images, sprites, shapes and text matches its stored reference.
#include "GraphicsFixture.h"
#include "Image/ImageBuilders.h"

#include "Core/Base/StringConvert.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Resource/ResourceManager.h"
#include "support/GlReadback.h"

#include <algorithm>
#include <cmath>

using namespace graphicstest;

namespace
{
const std::string kContent = std::string(QL_SOURCE_DIR) + "/content/td/data/";

template <u32 W, u32 H> class GlFixture : public GraphicsFixture
{
protected:
    GlFixture() : GraphicsFixture(render::HeadlessWindow::Backend::Gl, W, H) {}

    void Clear(u32 argb) { ASSERT_EQ(QL_OK, mGraphics->Clear(1, argb, 1.0f, 0)); }
    std::vector<u32> Finish()
    {
        mGraphics.reset();
        return testsupport::ReadFrame(mRender, W, H);
    }
    base::CountedPtr<render::BMFont> Font(const char* name)
    {
        auto font = resource::ResourceManager::Instance()->Get<render::BMFont>(
            base::StringToWString(kContent + "fonts/" + name));
        font->SetRender(mRender);
        if (!font->IsLoaded())
        {
            EXPECT_EQ(QL_OK, font->Load()) << name;
        }
        return font;
    }
    render::Image* Picture(const char* name)
    {
        render::Image* image = nullptr;
        EXPECT_EQ(QL_OK, render::LoadImage(mRender, base::StringToWString(kContent + "images/" + name), nullptr, &image,
                                           nullptr))
            << name;
        mImages.emplace_back(image);
        return image;
    }
};

class ImagePixels : public GlFixture<64, 64>
{
};
class FramePicture : public GlFixture<512, 384>
{
};

const std::string kReferences = std::string(QL_SOURCE_DIR) + "/tests/data/";
} // namespace

TEST_F(ImagePixels, AnImageDrawnOneToOneLandsOnExactPixels)
{
    std::vector<u32> texels(5 * 3);
    for (u32 i = 0; i < texels.size(); ++i)
        texels[i] = 0xFF000000 | (i * 17) << 16 | (255 - i * 13) << 8 | (i * 5 + 40);
    render::Image* image = MakeImage(5, 3, texels);
    Clear(0xFF000000);
    EXPECT_EQ(QL_OK, mGraphics->SetBlendMode(render::BLEND_OFF));
    mGraphics->DrawImage(image).Translate(10.0f, 20.0f);
    const std::vector<u32> pixels = Finish();
    ASSERT_EQ(64u * 64u, pixels.size());
    int wrong = 0;
    for (u32 y = 0; y < 64; ++y)
        for (u32 x = 0; x < 64; ++x)
        {
            const bool inside = x >= 10 && x < 15 && y >= 20 && y < 23;
            const u32 expected = inside ? texels[(y - 20) * 5 + (x - 10)] : 0xFF000000;
            if (pixels[y * 64 + x] != expected)
                ++wrong;
        }
    EXPECT_EQ(0, wrong);
}

TEST_F(FramePicture, AFrameOfImagesSpritesShapesAndTextMatchesItsReference)
{
    auto small = Font("main_32_1");
    auto bold = Font("main_42_2");
    auto condensed = Font("main_42_3");
    auto title = Font("main_80");
    render::Image* badge = Picture("badge.png");
    render::Image* checker = Picture("checker.gif");
    render::Image* photo = Picture("photo.jpg");
    render::Image* dxt5 = Picture("badge_dxt5.dds");
    render::Image* tga = Picture("badge.tga");

    Clear(0xFF1E2430);
    // Shapes: a translucent panel, its rules and a fan of lines.
    mGraphics->SetColorRGBA(0.2f, 0.3f, 0.45f, 0.8f);
    mGraphics->FillRect(8.0f, 8.0f, 496.0f, 96.0f);
    mGraphics->SetColorRGBA(1.0f, 0.85f, 0.3f, 1.0f);
    mGraphics->DrawLine(8.0f, 8.0f, 504.0f, 8.0f);
    mGraphics->DrawLine(8.0f, 104.0f, 504.0f, 104.0f);
    for (int i = 0; i <= 8; ++i)
    {
        const float a = static_cast<float>(i) * 3.14159265f / 16.0f;
        mGraphics->SetColorRGBA(1.0f, static_cast<float>(i) / 8.0f, 0.2f, 1.0f);
        mGraphics->DrawLine(500.0f, 376.0f, 500.0f - 64.0f * std::cos(a), 376.0f - 64.0f * std::sin(a));
    }
    // Images from every decoder, one stretched into a rectangle and one turned.
    mGraphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    mGraphics->DrawImage(checker).Translate(16.0f, 116.0f);
    mGraphics->DrawImage(photo).Translate(88.0f, 116.0f);
    mGraphics->DrawImage(tga).Translate(160.0f, 116.0f);
    {
        math::Transform2D turn;
        turn.Translate(-32.0f, -32.0f);
        turn.Rotate(0.5f);
        turn.Translate(266.0f, 148.0f);
        mGraphics->DrawImage(badge).Transform(turn);
    }
    const float photoRect[4] = {16.0f, 196.0f, 96.0f, 48.0f};
    mGraphics->DrawImageToRect(photo, photoRect);
    const float ddsRect[4] = {120.0f, 196.0f, 48.0f, 48.0f};
    mGraphics->DrawImageToRect(dxt5, ddsRect);
    // Tinted sprites (the textured-tint shader), then additive ones overlapping.
    EXPECT_EQ(QL_OK, mGraphics->SetShaderMode(render::SHADER_TEXTURED_TINT));
    mGraphics->SetTint(0.6f);
    for (int i = 0; i < 3; ++i)
    {
        mGraphics->SetColorRGBA(i == 0 ? 1.0f : 0.2f, i == 1 ? 1.0f : 0.2f, i == 2 ? 1.0f : 0.2f, 1.0f);
        mGraphics->DrawImage(badge).Translate(176.0f + 40.0f * static_cast<float>(i), 190.0f);
    }
    mGraphics->SetTint(0.0f);
    EXPECT_EQ(QL_OK, mGraphics->SetShaderMode(render::SHADER_TEXTURED_MULT));
    EXPECT_EQ(QL_OK, mGraphics->SetBlendMode(render::BLEND_ADDITIVE));
    mGraphics->SetColorRGBA(0.6f, 0.3f, 0.1f, 1.0f);
    for (int i = 0; i < 3; ++i)
        mGraphics->DrawImage(badge).Translate(176.0f + 28.0f * static_cast<float>(i), 254.0f);
    EXPECT_EQ(QL_OK, mGraphics->SetBlendMode(render::BLEND_ALPHA));
    // Text: a title, justified wrapped text, a counter and centred lines, in four fonts.
    mGraphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
    const std::wstring heading = L"Brackenmoor";
    mGraphics->mFont = title.Get();
    mGraphics->DrawText(&heading).Translate(16.0f, 14.0f);
    const std::wstring body = L"The moor holds, tower by tower: gold for the walls, crystals for the "
                              L"upgrades, and a long night of waves before the dawn.";
    mGraphics->mFont = small.Get();
    mGraphics->SetColorRGBA(0.9f, 0.95f, 1.0f, 1.0f);
    mGraphics->DrawTextWrapped(&body, 168.0f, 12.0f, 3, true).Translate(336.0f, 114.0f);
    mGraphics->mFont = bold.Get();
    mGraphics->SetColorRGBA(1.0f, 0.8f, 0.2f, 1.0f);
    const std::wstring wave = L"Wave 7 / 12";
    mGraphics->DrawText(&wave).Translate(16.0f, 334.0f);
    mGraphics->mFont = condensed.Get();
    mGraphics->SetColorRGBA(0.5f, 1.0f, 0.6f, 1.0f);
    const std::wstring centred = L"centred\nin two lines";
    auto centredCommand = mGraphics->DrawTextWrapped(&centred, 200.0f, 0.0f, 2, true);
    centredCommand->mFormat.mWidestLine = false;
    centredCommand.Translate(200.0f, 312.0f);
    mGraphics->mFont = nullptr;

    const std::vector<u32> pixels = Finish();
    ASSERT_EQ(512u * 384u, pixels.size());
    EXPECT_EQ(0xFFF0DC3Cu, pixels[120 * 512 + 20]) << "the GIF checker lands 1:1";
    // What the frame must show, whatever the stored picture holds.
    auto at = [&](u32 x, u32 y) { return pixels[y * 512 + x] | 0xFF000000u; };
    auto channel = [](u32 argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); };
    EXPECT_TRUE(testsupport::Near(0xFF1E2430, at(5, 380))) << "the clear colour";
    EXPECT_TRUE(testsupport::Near(0xFF2F4465, at(450, 60)))
        << "the panel: (0.2, 0.3, 0.45) at 0.8 over the clear colour";
    EXPECT_TRUE(testsupport::Near(0xFFFFD94C, at(300, 8))) << "its gold rules";
    EXPECT_TRUE(testsupport::Near(0xFFFFD94C, at(300, 104)));
    EXPECT_TRUE(testsupport::Near(0xFFFF0033, at(470, 376))) << "the fan's first line, red, to the left";
    EXPECT_TRUE(testsupport::Near(0xFFFFFF33, at(499, 340)) || testsupport::Near(0xFFFFFF33, at(500, 340)))
        << "its last, yellow, straight up";
    EXPECT_TRUE(testsupport::Near(0xFFFFFFFF, at(196, 148))) << "the badge's white bar at its centre";
    EXPECT_TRUE(testsupport::Near(0xFFFFFFFF, at(266, 148))) << "and turned about it";
    // The tinted badges' rims, red, green and blue; the middle additive badge adds to both neighbours.
    for (int i = 0; i < 3; ++i)
    {
        const u32 rim = at(184 + 40 * static_cast<u32>(i), 222);
        const int own = channel(rim, 16 - 8 * i), others = channel(rim, 16) + channel(rim, 8) + channel(rim, 0) - own;
        EXPECT_GT(own * 2, others + 60) << "tint " << i;
    }
    EXPECT_GT(channel(at(236, 286), 16), channel(at(208, 286), 16) + 15) << "additive overlap";
    // The counter in its yellow where it was put; the two centred lines in their green, centred
    // on the middle of their 200-wide box at x 200.
    int yellow = 0, left = 512, right = -1;
    for (u32 y = 300; y < 384; ++y)
        for (u32 x = 0; x < 430; ++x)
        {
            const u32 p = at(x, y);
            if (channel(p, 16) > 200 && channel(p, 8) > 160 && channel(p, 0) < 100)
                yellow += x >= 16 && x < 200 && y >= 330 ? 1 : -1000;
            if (channel(p, 8) > 200 && channel(p, 16) < 180 && channel(p, 0) > 100 && channel(p, 0) < 190)
            {
                left = std::min(left, static_cast<int>(x));
                right = std::max(right, static_cast<int>(x));
            }
        }
    EXPECT_GT(yellow, 300) << "the counter, and nothing yellow elsewhere below the images";
    ASSERT_GT(right, left);
    EXPECT_NEAR((left + right) * 0.5, 300.0, 3.0) << left << ".." << right;
    // Every item against the frame checked by eye; a few pixels of slack for line and edge
    // rasterisation.
    EXPECT_TRUE(testsupport::MatchesReference(pixels, 512, 384, kReferences + "graphics/frame.png", 4, 64));
}
