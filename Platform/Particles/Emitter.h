// A running particle effect: a timeline that emits the particle types of one description,
// moves and ages the particles, and hands them out as textured quads, one list per type.
// Everything is seeded: the same calls give the same particles on every machine.
#pragma once

#include "Platform/Particles/EffectData.h"
#include "Platform/Particles/Random.h"

#include <cmath>
#include <memory>
#include <vector>

namespace particles
{
// Loop modes: what happens at the end of the timeline (descriptions with a duration).
enum LoopMode : i32
{
    LOOP_ONCE = 0,    // emission stops; the effect ends when its particles are gone
    LOOP_REPEAT = 1,  // the timeline starts again (with its bursts)
    LOOP_FOREVER = 2, // emission goes on at the rate of the end
};

// Position modes of SetPosition.
enum PositionMode : i32
{
    MOVE_EMITTER = 0,        // placed at once; live particles stay where they are
    MOVE_WITH_PARTICLES = 1, // moved: live particles move along, except trail kinds, which are
                             // born along the way instead
};

struct RenderList
{
    u32 type = 0;         // index of the particle type in the description
    u32 count = 0;        // particles
    i32 atlas = 0;        // texture number
    bool intense = false; // additive blending
};

// One particle as drawn: corners top-left, top-right, bottom-right, bottom-left before turning.
struct Quad
{
    float x[4], y[4], u[4], v[4];
    u32 color; // 0xAARRGGBB
};

class Emitter
{
public:
    Emitter(std::shared_ptr<const EmitterDesc> desc, u32 seed);

    // A new instance of the same description with its own seed and these settings, stopped.
    std::unique_ptr<Emitter> Duplicate();

    const EmitterDesc& Desc() const { return *mDesc; }

    // With interpolation the caller's time step is used; without, the description's fixed step.
    void SetInterpolation(bool on) { mInterpolation = on; }
    bool IsInterpolation() const { return mInterpolation; }
    double FixedStepMs() const { return mDesc->step; }
    // 1 and 2 are kept, anything else becomes LOOP_ONCE.
    void SetLoopMode(i32 mode);
    i32 GetLoopMode() const { return mLoopMode; }

    // An interrupted emitter emits nothing new and ends when its particles are gone.
    void SetInterrupt(bool on) { mInterrupt = on; }
    bool IsInterrupted() const { return mInterrupt; }
    // True from Restart until the effect ends or is stopped.
    bool InInterval() const { return mInInterval; }
    // Empties the effect and starts its timeline, simulating the prewarm time.
    void Restart();
    // Empties the effect; it shows nothing until restarted.
    void Stop();
    // Advances by ms milliseconds (non-finite or negative counts as 0, more than 10 s as 10 s);
    // false when the effect has ended (or was not running).
    bool Update(double ms);

    void SetPositionMode(i32 mode) { mPositionMode = mode; }
    void SetPosition(float x, float y);
    void GetPosition(float& x, float& y) const
    {
        x = mX;
        y = mY;
    }
    // Degrees added to every type's direction.
    void SetDirection(float degrees) { mDirection = std::isfinite(degrees) ? degrees : 0.0f; }
    float GetDirection() const { return mDirection; }

    // Lists of the live particles: one per type that has any, in type order.
    u32 ListCount() const;
    bool GetList(u32 index, RenderList& out) const;
    // Quads of particles [first, first + count) of the list's type.
    void WriteQuads(const RenderList& list, u32 first, u32 count, Quad* out) const;

    u32 ParticleCount() const;
    double TimelineSeconds() const { return mTime; }
    // A hash of the timeline and of every particle's state.
    u64 StateHash() const;

private:
    struct Particle
    {
        float x, y, vx, vy, age, life, size, angle, spin;
    };
    struct TypeState
    {
        std::vector<Particle> particles;
        double carry = 0.0;
        bool burstDone = false;
    };

    void Advance(double seconds);
    void Simulate(double seconds);
    void Emit(const ParticleType& type, TypeState& state, u32 count);
    bool EmissionOver() const;

    std::shared_ptr<const EmitterDesc> mDesc;
    u32 mSeed;
    u32 mCopies = 0;
    Random mRandom;
    std::vector<TypeState> mTypes;
    double mTime = 0.0;
    bool mInterpolation = true;
    i32 mLoopMode = LOOP_ONCE;
    bool mInterrupt = false;
    bool mInInterval = false;
    i32 mPositionMode = MOVE_EMITTER;
    float mX = 0.0f, mY = 0.0f;
    float mLastX = 0.0f, mLastY = 0.0f; // where the emitter stood at the last step
    float mDirection = 0.0f;
};
} // namespace particles
