// A particle layer drawing a real effect instance on the recording device.
#include "Particles/ParticleFixture.h"

#include "Core/Layer/ParticlesLayer.h"
#include "Core/Render/RenderState.h"

#include <gtest/gtest.h>

using namespace ptctest;

using ParticleLayerDraw = ParticleFixture;

TEST_F(ParticleLayerDraw, TheEffectDrawsWhereTheLayerSitsWithItsAlphaAndAlphaBlending)
{
    ASSERT_EQ(QL_OK, Load(StillEmitter("still", 5, "ffffffff")));
    auto emitter = Play("still", 20.0f, 30.0f);
    ASSERT_NE(nullptr, emitter);
    layer::Layer root;
    layer::ParticlesLayer particles(emitter.release(), true);
    layer::ParticlesLayer none; // no emitter: draws nothing
    root.AddChild(&none);
    root.AddChild(&particles);
    root.SetPosition(100.0f, 50.0f);
    particles.mAlpha = 0.5f;
    particles.mAdditive = true;
    ASSERT_EQ(QL_OK, root.Render(mGraphics.get()));
    EXPECT_EQ(render::BLEND_ALPHA, mGraphics->GetState().mBlendMode);
    const render::SVertex2D* cache = CacheVertices<render::SVertex2D>();
    ASSERT_NE(nullptr, cache);
    const auto draws = rendertest::Only(EndAndDecode(), render::CMD_DRAW_INDEXED);
    ASSERT_EQ(1u, draws.size());
    EXPECT_EQ(10u, draws[0].args[3]) << "five particles, two triangles each";
    const render::SVertex2D* v = cache + draws[0].args[4];
    // The first particle's corner (15, 25), moved by the layer and half a pixel up and left.
    EXPECT_FLOAT_EQ(114.5f, v[0].x);
    EXPECT_FLOAT_EQ(74.5f, v[0].y);
    EXPECT_EQ(0x7Fu, v[0].diffuse >> 24);
    // Particles are never hit.
    EXPECT_FALSE(particles.HitTest({20.0f, 30.0f, 0.0f}));
    EXPECT_FALSE(particles.HitTest({0.0f, 0.0f, 0.0f}));
}
