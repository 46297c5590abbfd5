// Particle layers: the emitter drawn with the layer's transform and colour.
#include "Core/Layer/ParticlesLayer.h"

#include "Core/Layer/LayerDraw.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Particles/ParticleEmitter.h"

namespace layer
{
ParticlesLayer::ParticlesLayer(render::ParticleEmitter* emitter, bool ownsEmitter) { SetEmitter(emitter, ownsEmitter); }

ParticlesLayer::ParticlesLayer(std::unique_ptr<render::ParticleEmitter> emitter) { mEmitter.own(std::move(emitter)); }

// Out of line: the emitter's destructor is not seen by the header.
ParticlesLayer::~ParticlesLayer() = default;

void ParticlesLayer::SetEmitter(render::ParticleEmitter* emitter, bool owns) { mEmitter.reset(emitter, owns); }

QLResultEnum ParticlesLayer::DrawSelf(render::Graphics* graphics)
{
    if (!mEmitter)
        return QL_OK;
    // Particles blend by their own settings: the additive flag does not apply.
    LayerDrawScope scope(graphics, *this, render::BLEND_ALPHA);
    graphics->DrawParticles(mEmitter.get());
    return QL_OK;
}
} // namespace layer
