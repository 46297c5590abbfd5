// A timed effect of the battle: a unit's ability, what a hit leaves on a unit, an area effect
// or a boost on towers. Units run their own; the battle runs the rest with no owner.
#pragma once

#include "Core/Base/Types.h"

#include <string>

class TDBattleWorld;
class TDUnit;

// What a modifier's kind field holds: the splash of an area hit is marked; the hold-and-teleport
// keeps its phase there.
enum class TDModifierKind : i32
{
    kModifierPlain = 0,
    kModifierHolding = 0,     // hold and teleport: the unit is held
    kModifierTeleporting = 1, // hold and teleport: the next tick teleports
    kModifierAreaDamage = 101,
};
using enum TDModifierKind;

class TDModifier
{
public:
    // source identifies the tower, unit or object the effect comes from; never dereferenced.
    TDModifier(TDBattleWorld& map, std::string name, float value, float duration, const void* source)
        : mName(std::move(name)), mValue(value), mDuration(duration), mSource(source), mMap(map)
    {
    }
    virtual ~TDModifier() = default;
    TDModifier(const TDModifier&) = delete;
    TDModifier& operator=(const TDModifier&) = delete;

    // Counts the tick timer and the elapsed time; ticks when the timer passes the period
    // (period -1 ticks every update); ends once the elapsed time passes a duration other than -1.
    virtual void update(TDUnit* owner, float dt);
    virtual void tick(TDUnit*, float) {}
    // The object is leaving the battle.
    virtual void forget(const void*) {}

    bool mStacking = false;
    TDModifierKind mKind = kModifierPlain;
    bool mActive = true;
    std::string mName;
    float mValue;
    float mDuration; // -1 unlimited
    float mElapsed = 0.0f;
    float mTickTimer = 0.0f;
    float mTickPeriod = -1.0f;
    float mX = 0.0f, mY = 0.0f;
    float mRadius = 0.0f;
    const void* mSource;

protected:
    TDBattleWorld& mMap;
};
