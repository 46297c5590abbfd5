// Modifiers on units: effects of hits (damage over time, hold, stun, teleport, burning) and
// the units' own abilities (haste, healing, invisibility, regeneration, summoning).
#include "Source/TD/Units/TDBattleWorld.h"
#include "Source/TD/Units/TDModifiers.h"
#include "Source/TD/Units/TDParticle.h"
#include "Source/TD/Units/TDSpriteEffect.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <algorithm>

namespace
{
float kindSpeed(const TDUnit& unit)
{
    const TDPrototype* p = unit.proto();
    return p ? p->speed : 0.0f;
}

float kindRadius(const TDUnit& unit)
{
    const TDPrototype* p = unit.proto();
    return p ? p->radius : 0.0f;
}

bool inRange(const TDUnit& owner, const TDUnit& other)
{
    return tdDistance(owner.mPos[0], owner.mPos[1], other.mPos[0], other.mPos[1]) < kindRadius(owner);
}

void placeSprite(TDBattleWorld& map, const wchar_t* name, const TDUnit& unit)
{
    map.mAnimations.push_back(std::make_unique<TDSpriteEffect>(name, unit.mDrawPos[0], unit.mDrawPos[1],
                                                               map.mSprites->spriteFrameCount(name)));
}

void finishIfPresent(TDBattleWorld& map, TDEffectHolder* effect)
{
    // The holder may already be gone (a missing effect is removed on the next pass).
    if (effect && map.hasEffect(map.mEffects2, effect) && effect->mEmitter)
        effect->mEmitter->setState(kEmitterFinishing);
}
} // namespace

DotModifier::DotModifier(TDBattleWorld& map, std::string name, float value, float duration, const void* source,
                         float period)
    : TDModifier(map, std::move(name), value, duration, source)
{
    mTickPeriod = period;
}

void DotModifier::tick(TDUnit* owner, float)
{
    if (!owner)
        return;
    owner->damage(mValue);
    placeSprite(mMap, L"td/mob_dot", *owner);
}

HoldModifier::HoldModifier(TDBattleWorld& map, std::string name, float value, float duration, const void* source)
    : TDModifier(map, std::move(name), value, duration, source)
{
}

void HoldModifier::tick(TDUnit* owner, float)
{
    if (owner)
        owner->mSpeedPenalty = kindSpeed(*owner);
}

StunModifier::StunModifier(TDBattleWorld& map, std::string name, float value, float duration, const void* source)
    : TDModifier(map, std::move(name), value, duration, source)
{
}

void StunModifier::tick(TDUnit* owner, float)
{
    if (owner)
        owner->mSpeedPenalty = kindSpeed(*owner) * 0.5f;
}

HoldAndTeleport::HoldAndTeleport(TDBattleWorld& map, TDTower* tower)
    : TDModifier(map, "", 0.0f, 3.0f, tower), mTower(tower)
{
}

HoldAndTeleport::~HoldAndTeleport()
{
    // A unit that dies while held must not leave its portals looping.
    finishIfPresent(mMap, mStartPortal);
    finishIfPresent(mMap, mUnitPortal);
}

void HoldAndTeleport::update(TDUnit* owner, float dt)
{
    TDModifier::update(owner, dt);
    if (!mActive && mKind == kModifierHolding)
    {
        // The next update ticks once more, for the teleport.
        mKind = kModifierTeleporting;
        mActive = true;
    }
}

void HoldAndTeleport::tick(TDUnit* owner, float)
{
    if (!owner)
        return;
    if (mKind == kModifierHolding)
    {
        owner->mSpeedPenalty = kindSpeed(*owner);
        float left = mDuration - mElapsed;
        if (left < 1.0f && !mStartPortal && !owner->mWaypoints.empty())
            if (const TDPoint* first = mMap.findPoint(owner->mWaypoints.front()))
                mStartPortal = mMap.startEffect(mMap.mEffects2, L"portal_1", first->x, first->y, true);
        if (left < 2.0f && !mUnitPortal)
            mUnitPortal =
                mMap.startEffect(mMap.mEffects2, L"portal_1", owner->mDrawPos[0], owner->mDrawPos[1] - 15.0f, true);
        return;
    }
    // The teleport itself; afterwards the modifier ends and the unit walks again (it was held in
    // its beamed state, which would otherwise freeze its picture and keep it from being beamed).
    mActive = false;
    if (owner->mState == kUnitBeamed)
        owner->mState = kUnitWalking;
    owner->mSegment = 0;
    owner->mStep = 0.0f;
    owner->mProgress = 0.0f;
    mMap.playSound(L"teleportEnemy");
    if (mTower)
    {
        if (mTower->mState == kTowerFiring || mTower->mState == kTowerBeaming)
            mTower->mState = kTowerIdle;
        mTower->mTarget = nullptr;
        // The beam ends with the teleport instead of following the unit back to the start.
        if (mTower->mBeam)
        {
            mTower->mBeam->finish();
            mTower->mBeam->dropTarget();
        }
    }
    if (!owner->mWaypoints.empty())
        if (const TDPoint* first = mMap.findPoint(owner->mWaypoints.front()))
            owner->mPath = first;
    mMap.startEffect(mMap.mEffects2, L"blow_bub", owner->mDrawPos[0], owner->mDrawPos[1]);
    finishIfPresent(mMap, mUnitPortal);
    mUnitPortal = nullptr;
    const TDPrototype* p = owner->proto();
    if (p && !p->straight)
    {
        owner->enterSegment();
        const TDPoint* a = owner->mWaypoints.size() > 0 ? mMap.findPoint(owner->mWaypoints[0]) : nullptr;
        const TDPoint* b = owner->mWaypoints.size() > 1 ? mMap.findPoint(owner->mWaypoints[1]) : nullptr;
        owner->mSegmentLength = mMap.getLinkCurveLength(TDBattleWorld::findLink(mMap.mLinks, a, b));
    }
}

void HoldAndTeleport::forget(const void* object)
{
    if (object == mTower)
        mTower = nullptr;
}

FireSplashModifier::FireSplashModifier(TDBattleWorld& map, float value, float duration, const void* source, float x,
                                       float y, float radius)
    : TDModifier(map, "", value, duration, source)
{
    mTickPeriod = 1.0f;
    mX = x;
    mY = y;
    mRadius = radius;
}

FireSplashModifier::~FireSplashModifier() { mActive = false; }

void FireSplashModifier::tick(TDUnit*, float)
{
    std::vector<TDUnit*> units;
    mMap.mWaves.unitsInRadius(mX, mY, mRadius, units);
    for (TDUnit* unit : units)
        unit->damage(mValue);
}

HasteAreaModifier::HasteAreaModifier(TDBattleWorld& map) : TDModifier(map, "", 0.0f, -1.0f, nullptr)
{
    mStacking = true;
}

void HasteAreaModifier::tick(TDUnit* owner, float)
{
    if (!owner || owner->mState == kUnitDying)
        return;
    for (TDUnit* other : mMap.mWaves.mUnits)
        if (other != owner && inRange(*owner, *other))
        {
            other->mSpeedFactorTarget = 2.0f;
            other->mSpeedFactorTime = 5.0f;
        }
}

HealerModifier::HealerModifier(TDBattleWorld& map) : TDModifier(map, "", 0.0f, -1.0f, nullptr) { mStacking = true; }

void HealerModifier::tick(TDUnit* owner, float)
{
    if (!owner || owner->mSpeedPenalty != 0.0f || owner->mState == kUnitDying)
        return;
    bool healed = false;
    for (TDUnit* other : mMap.mWaves.mUnits)
    {
        if (other == owner || !other->mAlive || other->mState == kUnitDying || !inRange(*owner, *other))
            continue;
        float full = other->maxHealth();
        if (!(other->mHealth < full))
            continue;
        other->damage(-full / 10.0f);
        other->mHealth = std::min(other->mHealth, full);
        placeSprite(mMap, L"td/mob_heal", *other);
        healed = true;
    }
    if (healed)
    {
        owner->mState = kUnitSpecial;
        owner->mAnimTime = 0.0f;
    }
}

InvisibleAreaModifier::InvisibleAreaModifier(TDBattleWorld& map) : TDModifier(map, "", 0.0f, -1.0f, nullptr)
{
    mStacking = true;
}

void InvisibleAreaModifier::tick(TDUnit* owner, float)
{
    if (!owner || owner->mState == kUnitDying)
        return;
    for (TDUnit* other : mMap.mWaves.mUnits)
        if (other != owner && inRange(*owner, *other))
        {
            other->mHiddenTime = 2.0f;
            other->mAlphaTarget = 0.4f;
        }
}

InvisibleModifier::InvisibleModifier(TDBattleWorld& map) : TDModifier(map, "", 0.0f, -1.0f, nullptr)
{
    mStacking = true;
    mTickTimer = 100.0f;
}

void InvisibleModifier::tick(TDUnit* owner, float)
{
    if (!owner || owner->mState == kUnitDying)
        return;
    owner->mHiddenTime = 2.0f;
    owner->mAlphaTarget = 0.4f;
}

RegenModifier::RegenModifier(TDBattleWorld& map) : TDModifier(map, "", 0.0f, -1.0f, nullptr) { mStacking = true; }

void RegenModifier::tick(TDUnit* owner, float)
{
    if (!owner || owner->mSpeedPenalty != 0.0f || owner->mState == kUnitDying)
        return;
    float full = owner->maxHealth();
    if (owner->mHealth < full)
        owner->mHealth = std::min(full, owner->mHealth + full / 10.0f);
}

ShamanModifier::ShamanModifier(TDBattleWorld& map) : TDModifier(map, "", 0.0f, -1.0f, nullptr) { mStacking = true; }

void ShamanModifier::tick(TDUnit* owner, float)
{
    if (!owner || owner->mSpeedPenalty != 0.0f)
        return;
    const TDPrototype* kind = owner->proto();
    const TDPrototype* ammo = kind ? mMap.findPrototype(kind->ammoId) : nullptr;
    // No portal when the summoned kind's data is missing.
    if (!ammo || !mMap.findPrototype(0))
        return;
    owner->mState = kUnitSpecial;
    owner->mAnimTime = 0.0f;
    mMap.mModifiers.push_back(std::make_unique<ShamanPortal>(mMap, *owner, kind->cooldown, ammo->speed));
}
