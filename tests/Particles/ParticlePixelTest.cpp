// Particles drawn on real OpenGL (headless EGL) and read back: placement, colours, blending and
// the context colour; and every game effect against a reference picture.
#include "ParticleFixture.h"

#include "support/GlReadback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

using namespace ptctest;

namespace
{
template <u32 W, u32 H> class GlParticles : public ParticleFixture
{
protected:
    GlParticles() : ParticleFixture(render::HeadlessWindow::Backend::Gl, W, H) {}

    void Clear(u32 argb) { ASSERT_EQ(QL_OK, mGraphics->Clear(1, argb, 1.0f, 0)); }
    std::vector<u32> Finish()
    {
        mGraphics.reset();
        return testsupport::ReadFrame(mRender, W, H);
    }
    static u32 At(const std::vector<u32>& pixels, u32 x, u32 y) { return pixels.at(y * W + x) | 0xFF000000u; }
};

using ParticlePixels = GlParticles<64, 64>;

using testsupport::Near;
} // namespace

TEST_F(ParticlePixels, PlacementBlendingTintAndTheCommandsTransform)
{
    ASSERT_EQ(QL_OK, Load(StillEmitter("green", 1, "ff00ff00", "size=\"8\"") +
                          StillEmitter("half", 1, "80ffffff", "size=\"16\"") +
                          StillEmitter("added", 1, "ff00ff00", "size=\"16\" blend=\"add\"") +
                          StillEmitter("white", 1, "ffffffff", "size=\"16\"")));
    auto green = Play("green", 4.0f, 4.0f);
    auto half = Play("half", 16.0f, 16.0f);
    auto added = Play("added", 48.0f, 16.0f);
    auto white = Play("white", 16.0f, 48.0f);
    Clear(0xFF800000);
    mGraphics->DrawParticles(half.get());
    mGraphics->DrawParticles(added.get());
    {
        math::Transform2D transform; // the 8 x 8 square at (4, 4) becomes 16 x 16 at (48, 48)
        transform.Scale(2.0f, 2.0f);
        transform.Translate(40.0f, 40.0f);
        mGraphics->DrawParticles(green.get()).Transform(transform);
    }
    mGraphics->SetColorRGBA(0.0f, 0.0f, 1.0f, 1.0f);
    mGraphics->DrawParticles(white.get());
    const auto pixels = Finish();
    EXPECT_TRUE(Near(0xFFBF8080, At(pixels, 16, 16))); // half white over dark red
    EXPECT_TRUE(Near(0xFFBF8080, At(pixels, 9, 9)));   // its square: 8..23
    EXPECT_TRUE(Near(0xFF800000, At(pixels, 6, 16)));
    EXPECT_TRUE(Near(0xFF80FF00, At(pixels, 48, 16))); // green added to dark red
    EXPECT_TRUE(Near(0xFF0000FF, At(pixels, 16, 48))); // white tinted blue
    EXPECT_TRUE(Near(0xFF00FF00, At(pixels, 41, 41))); // moved and scaled: 40..55
    EXPECT_TRUE(Near(0xFF00FF00, At(pixels, 54, 54)));
    EXPECT_TRUE(Near(0xFF800000, At(pixels, 38, 48)));
    EXPECT_TRUE(Near(0xFF800000, At(pixels, 4, 4))) << "not drawn where the effect itself sits";
}

// --- Every game effect in one frame, against its reference picture ---

using EffectPicture = GlParticles<768, 384>;

TEST_F(EffectPicture, EveryGameEffectMatchesItsReference)
{
    System()->SetFolder(std::string(QL_SOURCE_DIR) + "/content/td/fx/");
    ASSERT_EQ(QL_OK, System()->Load("fx2.ptc", mRender));
    ASSERT_NE(nullptr, System()->GetAtlas(0));
    std::vector<std::unique_ptr<render::ParticleEmitter>> effects;
    for (const GameEffect& shot : kGameEffects)
    {
        auto e = Play(shot.name, 0.0f, 0.0f);
        ASSERT_NE(nullptr, e) << shot.name;
        const bool moving = std::string(shot.name) == "t_line";
        const bool bird = std::string(shot.name) == "bird";
        if (bird)
            e->SetPosition(50.0f, 10.0f, 1);
        const int frames = static_cast<int>(shot.seconds * 60.0);
        for (int f = 0; f < frames; ++f)
        {
            if (moving) // a bolt crossing the cell, leaving its trail
                e->SetPosition(-50.0f + 100.0f * static_cast<float>(f) / static_cast<float>(frames),
                               20.0f * std::sin(static_cast<float>(f) * 0.2f), 1);
            e->Update(1.0 / 60.0);
        }
        effects.push_back(std::move(e));
    }
    Clear(0xFF1E2430);
    for (size_t i = 0; i < effects.size(); ++i)
    {
        math::Transform2D place;
        place.Scale(kGameEffects[i].scale, kGameEffects[i].scale);
        place.Translate(64.0f + 128.0f * static_cast<float>(i % 6), 64.0f + 128.0f * static_cast<float>(i / 6));
        mGraphics->DrawParticles(effects[i].get()).Transform(place);
    }
    const auto pixels = Finish();
    // Each effect shows in its own cell, in the colours its definition gives: R red, W warm
    // (red over blue), B blue over red, V violet (blue and red over green), G green, '-' white or
    // dark (no hue to check).
    const char kHue[] = {'W', 'W', 'R', 'B', 'B', 'W', 'V', 'V', 'B', 'W', 'G', 'W', '-', '-', '-', '-', '-', '-'};
    static_assert(sizeof(kHue) == std::size(kGameEffects));
    for (size_t i = 0; i < std::size(kGameEffects); ++i)
    {
        const u32 cx = 128 * static_cast<u32>(i % 6), cy = 128 * static_cast<u32>(i / 6);
        int shown = 0;
        double excess[3] = {0, 0, 0}; // red, green, blue over the clear colour
        for (u32 y = cy; y < cy + 128; ++y)
            for (u32 x = cx; x < cx + 128; ++x)
            {
                const u32 p = At(pixels, x, y);
                const int d[3] = {int(p >> 16 & 0xFF) - 0x1E, int(p >> 8 & 0xFF) - 0x24, int(p & 0xFF) - 0x30};
                if (std::max({std::abs(d[0]), std::abs(d[1]), std::abs(d[2])}) <= 12)
                    continue;
                ++shown;
                for (int c = 0; c < 3; ++c)
                    excess[c] += d[c];
            }
        const char* name = kGameEffects[i].name;
        ASSERT_GT(shown, 10) << name << " is not in its cell";
        const double r = excess[0] / shown, g = excess[1] / shown, b = excess[2] / shown;
        switch (kHue[i])
        {
        case 'R': EXPECT_TRUE(r > g + 8 && r > b + 8) << name << ": " << r << " " << g << " " << b; break;
        case 'W': EXPECT_GT(r, b + 8) << name; break;
        case 'B': EXPECT_GT(b, r + 8) << name; break;
        case 'V': EXPECT_TRUE(b > g + 8 && r > g) << name << ": " << r << " " << g << " " << b; break;
        case 'G': EXPECT_TRUE(g > r + 8 && g > b + 8) << name << ": " << r << " " << g << " " << b; break;
        default: break;
        }
    }
    // The effects are seeded, so the frame is the same each run: compared with the picture
    // checked by eye, with slack for rasterisation.
    EXPECT_TRUE(testsupport::MatchesReference(
        pixels, 768, 384, std::string(QL_SOURCE_DIR) + "/tests/data/particles/effects.png", 4, 200));
}
