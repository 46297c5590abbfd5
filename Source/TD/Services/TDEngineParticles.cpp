// Emitters of the effect library, one engine emitter each.
#include "Source/TD/Services/TDEngineParticles.h"

#include "Core/Media/Particles/ParticleEmitter.h"
#include "Core/Media/Particles/ParticleSystem.h"

// The battle's emitter states are passed through unchanged.
static_assert(static_cast<i32>(kEmitterStopped) == static_cast<i32>(render::ParticleEmitter::STOPPED) &&
              static_cast<i32>(kEmitterPlaying) == static_cast<i32>(render::ParticleEmitter::PLAYING) &&
              static_cast<i32>(kEmitterFinishing) == static_cast<i32>(render::ParticleEmitter::FINISHING));

TDEngineEmitter::TDEngineEmitter(std::unique_ptr<render::ParticleEmitter> emitter) : mEmitter(std::move(emitter)) {}

TDEngineEmitter::~TDEngineEmitter() = default;

void TDEngineEmitter::setState(TDEmitterState state)
{
    mEmitter->SetState(static_cast<render::ParticleEmitter::State>(state));
}

TDEmitterState TDEngineEmitter::state() const { return static_cast<TDEmitterState>(mEmitter->GetState()); }

void TDEngineEmitter::setPosition(float x, float y) { mEmitter->SetPosition(x, y, 1); }

void TDEngineEmitter::update(double seconds) { mEmitter->Update(seconds); }

void TDEngineEmitter::setLoopMode(i32 mode) { mEmitter->SetLoopMode(mode); }

void TDEngineEmitter::setAngle(float degrees) { mEmitter->SetDirection(degrees); }

QLResultEnum TDEngineParticles::load(render::Render* render)
{
    render::ParticleSystem* system = render::ParticleSystem::Instance();
    system->SetFolder("td/fx/");
    return system->Load("fx2.ptc", render);
}

void TDEngineParticles::unload()
{
    if (render::ParticleSystem::Exists())
        render::ParticleSystem::Instance()->UnloadAtlases();
}

std::unique_ptr<TDEmitter> TDEngineParticles::createEmitter(const std::wstring& name)
{
    render::ParticleEmitter* emitter = render::ParticleSystem::Instance()->CreateEmitter(name);
    if (!emitter)
        return nullptr;
    return std::make_unique<TDEngineEmitter>(std::unique_ptr<render::ParticleEmitter>(emitter));
}
