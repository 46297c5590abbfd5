// The battle's emitters over the engine's particle system: the game's effect library
// "td/fx/fx2.ptc", loaded with its atlases on the renderer.
#pragma once

#include "Source/TD/Seams/TDBattleServices.h"

#include <memory>

namespace render
{
class ParticleEmitter;
class Render;
} // namespace render

class TDEngineEmitter : public TDEmitter
{
public:
    explicit TDEngineEmitter(std::unique_ptr<render::ParticleEmitter> emitter);
    ~TDEngineEmitter() override;

    void setState(TDEmitterState state) override;
    TDEmitterState state() const override;
    void setPosition(float x, float y) override;
    void update(double seconds) override;
    void setLoopMode(i32 mode) override;
    void setAngle(float degrees) override;

    render::ParticleEmitter& emitter() const { return *mEmitter; }

private:
    std::unique_ptr<render::ParticleEmitter> mEmitter;
};

class TDEngineParticles : public TDParticles
{
public:
    TDEngineParticles() = default;
    // The atlases go with the service, which the game tears down while the renderer lives.
    ~TDEngineParticles() override { unload(); }
    TDEngineParticles(const TDEngineParticles&) = delete;
    TDEngineParticles& operator=(const TDEngineParticles&) = delete;

    // Loads the effect library; its atlases become images of the renderer (none when null).
    static QLResultEnum load(render::Render* render);
    // Frees the atlases: call while the renderer lives.
    static void unload();

    std::unique_ptr<TDEmitter> createEmitter(const std::wstring& name) override;
};
