// A tower's projectile: straight, homing, or (ammunition 2003) rising then curving onto its
// target; it hits, explodes over an area or turns into a blast.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Data/TDProtoRef.h"
#include "Source/TD/Seams/TDBattleServices.h"

#include <memory>
#include <vector>

class TDBattleWorld;
class TDTower;
class TDUnit;

class TDBullet
{
public:
    // Without a target only the map is set (spells start this way).
    TDBullet(TDBattleWorld& map, TDTower* tower, TDUnit* target);
    virtual ~TDBullet() = default;
    TDBullet(const TDBullet&) = delete;
    TDBullet& operator=(const TDBullet&) = delete;

    virtual void update(float dt);
    // The firing tower's tier at the moment of the shot.
    const TDPrototype* proto() const;
    // Its ammunition prototype ("ammoid" of proto).
    const TDPrototype* ammo() const;
    // Sound and "onHit" effect at the point of impact, while the tower exists.
    void playHitEffect(float x, float y) const;
    void setAngleFromStep(float sx, float sy);

    // A curving shell's flight: up, along the curve, landed.
    enum class Phase : i32
    {
        kRising = 0,
        kCurving = 1,
        kLanded = 4,
    };
    using enum Phase;
    Phase mPhase = kRising;
    float mPhaseTime = 0.0f;
    float mCurveStart[2] = {0, 0}, mCurveControl[2] = {0, 0}, mCurveEnd[2] = {0, 0};
    float mAimX = 0.0f, mAimY = 0.0f;
    bool mHasAnimation = false; // the "fire" flame of ammunition 2003
    float mAnimationTime = 0.0f;
    std::unique_ptr<TDEmitter> mEmitter;
    i32 mAlive = 0;
    TDTower* mTower = nullptr; // not owned
    TDUnit* mTarget = nullptr; // not owned; cleared when the unit leaves
    float mAnimTime = 0.0f;
    float mAngle = 0.0f;
    std::vector<TDUnit*> mHitUnits;
    float mDirX = 0.0f, mDirY = 0.0f;
    float mX = 0.0f, mY = 0.0f;
    float mSpeed = 0.0f;

protected:
    TDBattleWorld& mMap;
    TDProtoRef mProto;
    bool mHasProto = false;

private:
    void flyCurve(float dt, const TDPrototype& ammo, bool& stop);
    void explode();
};

class TDSpell : public TDBullet
{
public:
    TDSpell(TDBattleWorld& map, i32 ammoId);
    void update(float dt) override;
    // The area effects of a cast at (mX, mY): fire, splash, hold, damage over time, boost.
    void cast();

    i32 mAmmoId;
};
