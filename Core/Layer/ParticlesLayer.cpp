// Particle layers: the emitter drawn with the layer's transform and colour.
#include "Core/Layer/ParticlesLayer.h"

#include "Core/Layer/LayerDraw.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Particles/ParticleEmitter.h"

namespace layer
{
ParticlesLayer::ParticlesLayer(render::ParticleEmitter* emitter, bool ownsEmitter)
    : mEmitter(emitter), mOwnsEmitter(ownsEmitter)
{
}

ParticlesLayer::~ParticlesLayer()
{
    if (mOwnsEmitter)
        delete mEmitter;
}

void ParticlesLayer::SetEmitter(render::ParticleEmitter* emitter, bool owns)
{
    mEmitter = emitter;
    mOwnsEmitter = owns;
}

QLResultEnum ParticlesLayer::DrawSelf(render::Graphics* graphics)
{
    if (!mEmitter)
        return QL_OK;
    // Particles blend by their own settings: the additive flag does not apply.
    LayerDrawScope scope(graphics, *this, 1);
    graphics->DrawParticles(mEmitter);
    return QL_OK;
}
} // namespace layer
