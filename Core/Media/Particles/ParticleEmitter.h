// One particle effect instance: the play state over a runtime emitter, and its draw through
// the drawing context (the render operation of particle draw commands).
#pragma once

#include "Core/Base/Types.h"
#include "Core/Media/Graphics/GraphicsFriend.h"

#include <memory>
#include <string>

namespace math
{
struct Box;
}
namespace particles
{
class Emitter;
}

namespace render
{
class DrawParam;

class ParticleEmitter : public GraphicsFriend
{
public:
    enum class State : i32
    {
        STOPPED = 0,
        PLAYING = 1,
        FINISHING = 2, // no new particles; back to STOPPED when the last one is gone
    };
    using enum State;

    ParticleEmitter(std::unique_ptr<particles::Emitter> emitter, const std::string& name);
    ~ParticleEmitter();
    ParticleEmitter(const ParticleEmitter&) = delete;
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;

    // A stopped copy with an emitter of its own.
    std::unique_ptr<ParticleEmitter> Clone() const;

    void SetState(State state);
    State GetState() const { return mState; }
    void Update(double seconds);
    // Mode 0 moves the emitter only, 1 moves its live particles along.
    void SetPosition(float x, float y, i32 mode);
    void GetPosition(float& x, float& y) const;
    // Degrees, added to the direction of every particle type.
    void SetDirection(float degrees);
    // 1 repeats the timeline, 2 keeps emitting past its end; anything else plays it once.
    void SetLoopMode(i32 mode);

    // Draws the live particles with the context's colour, one indexed list per particle type
    // (more when a list outgrows the frame caches). Bounds are emptied, then widened by every
    // vertex before and after the transformer. drawn: the particles drawn.
    QLResultEnum Render(Graphics* graphics, DrawParam* transformer, math::Box* bounds, math::Box* transformedBounds,
                        u32* drawn);

    const std::string& GetName() const { return mName; }
    particles::Emitter* GetEmitter() const { return mEmitter.get(); }

    // Hooks Render into the particle draw command (done by the particle system too).
    static void InstallRenderFunction();

private:
    std::unique_ptr<particles::Emitter> mEmitter;
    std::string mName;
    State mState = STOPPED;
};
} // namespace render
