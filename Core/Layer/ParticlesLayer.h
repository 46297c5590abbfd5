// A layer that draws a particle emitter; it has no bounds and is never hit.
#pragma once

#include "Core/Layer/Layer.h"

namespace render
{
class ParticleEmitter;
}

namespace layer
{
class ParticlesLayer : public Layer
{
public:
    ParticlesLayer() = default;
    explicit ParticlesLayer(render::ParticleEmitter* emitter, bool ownsEmitter = false);
    ~ParticlesLayer() override;

    QLResultEnum DrawSelf(render::Graphics* graphics) override;
    bool HitTest(const math::Point3&) override { return false; }

    // Stores both; the previous emitter is never freed here.
    void SetEmitter(render::ParticleEmitter* emitter, bool owns);
    render::ParticleEmitter* GetEmitter() const { return mEmitter; }

    render::ParticleEmitter* mEmitter = nullptr;
    bool mOwnsEmitter = false;
};
} // namespace layer
