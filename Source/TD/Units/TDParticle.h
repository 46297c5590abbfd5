// Particle effects bound to battle objects: a looping effect, and the beam of a teleporting
// tower (a chain of emitters from a fixed start to a moving unit).
#pragma once

#include "Core/Base/Transform2D.h"
#include "Core/Base/Types.h"
#include "Source/TD/Seams/TDBattleServices.h"

#include <memory>
#include <string>
#include <vector>

class TDBattleCanvas;
class TDUnit;

class TDParticle
{
public:
    // With a name, one looping, playing emitter of that effect (when the effect exists).
    TDParticle(TDParticles& system, const std::wstring& name);
    virtual ~TDParticle() = default;
    TDParticle(const TDParticle&) = delete;
    TDParticle& operator=(const TDParticle&) = delete;

    virtual void update(float dt);
    // Every emitter through the transform, in the canvas's current (battle) transform.
    virtual void draw(TDBattleCanvas& canvas);
    // False without emitters, or when any emitter stopped playing.
    bool isAlive() const;
    // Sets every emitter finishing.
    void finish();

    std::vector<std::unique_ptr<TDEmitter>> mEmitters;
    // Moves, turns or scales the whole effect; identity at construction.
    math::Transform2D mTransform;

protected:
    TDParticles& mSystem;
};

class TDBeamParticle : public TDParticle
{
public:
    TDBeamParticle(TDParticles& system, float x, float y, TDUnit* target, const std::wstring& name);

    void update(float dt) override;
    // Each link at its distance from the start towards the end, turned along the beam.
    void draw(TDBattleCanvas& canvas) override;
    // The unit is gone: the beam keeps its last end point.
    void dropTarget() { mTarget = nullptr; }
    // Links needed to reach (x, y).
    i32 linksFor(float x, float y) const;
    // Distance of link i from the start along the beam, as drawn.
    float linkDistance(size_t i) const;

    std::wstring mName;
    float mSpacing = 30.0f;
    float mGrow = 0.0f;
    float mStartX, mStartY;
    float mEndX, mEndY;
    float mAngle = 0.0f; // degrees, as the transform is turned
    TDUnit* mTarget;     // not owned; cleared when the unit leaves the battle

private:
    void addLink(bool preAdvance);
    void aim();
};

// Degrees wrapped into [0, 360).
float tdNormalizeAngle(float degrees);
// A 0xAARRGGBB colour as red, green, blue, alpha in [0, 1].
void tdColorFromARGB(u32 argb, float out[4]);
