// Particles are copied into vertices 64 quads at a time: counts around and past that block give
// every particle's own quad once, in order, whatever the block it falls in.
#include "ParticleFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ptctest;

namespace
{
class QuadBlocks : public ParticleFixture
{
};
} // namespace

TEST_F(QuadBlocks, EveryParticleAroundAndAcrossTheQuadBlocksDrawsItsOwnQuadOnce)
{
    // Particles spread over an area with sizes of their own, so that no two quads are alike.
    for (int count : {1, 63, 64, 65, 127, 128, 129, 200})
    {
        SCOPED_TRACE(count);
        const std::string name = "spread" + std::to_string(count);
        ASSERT_EQ(QL_OK, Load(StillEmitter(name, count, "ffffffff", "area=\"300 200\" size=\"2 30\"")));
        auto e = Play(name, 40.0f, 50.0f);
        ASSERT_NE(nullptr, e);
        const particles::Emitter& emitter = *e->GetEmitter();
        ASSERT_EQ(static_cast<u32>(count), emitter.ParticleCount());

        // What the emitter says of all its particles at once.
        std::vector<particles::Quad> expected;
        for (u32 l = 0; l < emitter.ListCount(); ++l)
        {
            particles::RenderList list;
            ASSERT_TRUE(emitter.GetList(l, list));
            std::vector<particles::Quad> quads(list.count);
            emitter.WriteQuads(list, 0, list.count, quads.data());
            expected.insert(expected.end(), quads.begin(), quads.end());
        }
        ASSERT_EQ(expected.size(), static_cast<size_t>(count));

        graphicstest::CaptureTransformer capture;
        u32 drawn = 0;
        ASSERT_EQ(QL_OK, e->Render(mGraphics.get(), &capture, nullptr, nullptr, &drawn));
        EXPECT_EQ(static_cast<u32>(count), drawn);
        ASSERT_EQ(capture.mSeen.size(), 4u * count);
        for (size_t q = 0; q < expected.size(); ++q)
            for (int k = 0; k < 4; ++k)
            {
                const render::SVertex2D& v = capture.mSeen[4 * q + static_cast<size_t>(k)];
                ASSERT_EQ(v.x, expected[q].x[k]) << "particle " << q << " corner " << k;
                ASSERT_EQ(v.y, expected[q].y[k]) << "particle " << q << " corner " << k;
            }
        // Neighbours across the block edge are different particles.
        if (count > 64)
        {
            EXPECT_FALSE(capture.mSeen[4 * 63].x == capture.mSeen[4 * 64].x &&
                         capture.mSeen[4 * 63].y == capture.mSeen[4 * 64].y);
        }
    }
}
