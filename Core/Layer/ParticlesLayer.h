// A layer that draws a particle emitter; it has no bounds and is never hit.
#pragma once

#include "Core/Base/OwnedOrBorrowed.h"
#include "Core/Layer/Layer.h"

#include <memory>

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
    explicit ParticlesLayer(std::unique_ptr<render::ParticleEmitter> emitter);
    ~ParticlesLayer() override;

    QLResultEnum DrawSelf(render::Graphics* graphics) override;
    bool HitTest(const math::Point3&) override { return false; }

    // Stores both; an owned previous emitter other than this one is freed.
    void SetEmitter(render::ParticleEmitter* emitter, bool owns);
    render::ParticleEmitter* GetEmitter() const { return mEmitter.get(); }

    base::OwnedOrBorrowed<render::ParticleEmitter> mEmitter;
};
} // namespace layer
