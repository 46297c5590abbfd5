// A tower's tiers, targeting, turning and state machine.
#include "Source/TD/Units/TDTower.h"

#include "Core/Base/Math.h"
#include "Core/Base/Random.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Level/TDBuildSpot.h"
#include "Source/TD/Level/TDMapScene.h"
#include "Source/TD/Units/TDBattleWorld.h"
#include "Source/TD/Units/TDBullet.h"
#include "Source/TD/Units/TDBulletList.h"
#include "Source/TD/Units/TDModifier.h"
#include "Source/TD/Units/TDParticle.h"
#include "Source/TD/Units/TDSpriteEffect.h"
#include "Source/TD/Units/TDUnit.h"

#include <algorithm>
#include <cmath>

namespace
{
const float kSector = 11.25f;

i32 sectorOf(float angle) { return tdtext::truncToInt(angle / kSector + 0.5f); }
} // namespace

float tdAimAngle(float dx, float dy)
{
    float v = math::Atan2(dx, dy) * math::kRadToDeg - 90.0f;
    return v >= 90.0f ? v - 90.0f : v + 270.0f;
}

TDTower::TDTower(TDBattleWorld& map) : mMap(map) {}

TDTower::~TDTower() = default;

void TDTower::init(i32 protoId)
{
    mLevel = 0;
    mBaseId = protoId;
    mBaseRef = TDProtoRef(protoId);
    mTierRef = TDProtoRef(protoId);
    mBonus = TDPrototype();
    resetBonus();
    mMap.mSprites->size(protoId, mWidth, mHeight);
    setupModifiers();
}

const TDPrototype* TDTower::currentProto(i32 tier) const
{
    if (tier == -1)
        return mTierRef.get(mMap.mPrototypes, true);
    const TDPrototype* base = mBaseRef.get(mMap.mPrototypes);
    return base ? base->findTier(tier) : nullptr;
}

void TDTower::resetBonus()
{
    mBonus.strength = mTierStrength;
    mBonus.cooldown = 0.0f;
    mBonus.radius = mTierRadius;
}

void TDTower::addUpgrades(const TDUpgradeContext& context, const TDPrototype& tier, TDPrototype& bonus) const
{
    mMap.mUpgrades.applyToTower(context, tier, {mTierStrength, mTierRadius}, bonus);
}

TDPrototype TDTower::ownStats(const TDPrototype& tier) const
{
    TDPrototype bonus;
    bonus.strength = mTierStrength;
    bonus.radius = mTierRadius;
    addUpgrades(mMap.upgradeContext(), tier, bonus);
    TDPrototype own = tier;
    // Summed as the frame sums the bonus, so that the two agree to the last bit without boosts.
    own.strength = bonus.strength + tier.strength;
    own.radius = bonus.radius + tier.radius;
    return own;
}

float TDTower::spotProperty(const char* name) const
{
    return mSpot && mSpot->spot ? mSpot->spot->properties.peekFloat(name) : 0.0f;
}

float TDTower::range() const
{
    const TDPrototype* p = currentProto();
    float m = spotProperty("radius_mult");
    if (m == 0.0f)
        m = 1.0f;
    return (mBonus.radius + (p ? p->radius : 0.0f)) * m;
}

float TDTower::radius() const { return range() * 0.5f; }

void TDTower::collectTargets(std::vector<TDUnit*>& out, i32 margin) const
{
    out.clear();
    const TDPrototype* p = currentProto();
    bool hitsAir = p && p->air;
    float limit = range() * 0.5f + static_cast<float>(margin);
    const base::OwnedList<TDUnit>& units = mMap.mWaves.mUnits;
    auto consider = [&](TDUnit* unit)
    {
        if (!unit->mAlive || unit->mHiddenTime > 0.0f || unit->isGone())
            return;
        if (!(limit > tdDistance(mX, mY, unit->mPos[0], unit->mPos[1])))
            return;
        const TDPrototype* kind = unit->proto();
        if (kind && kind->air && !hitsAir)
            return;
        out.push_back(unit);
    };
    // The grid gives the nearby units in list order; the margin covers rounding at cell edges.
    thread_local std::vector<i32> near;
    if (mMap.mUnitGrid.query(mX, mY, limit + 1.0f, near))
    {
        for (i32 index : near)
            consider(units[static_cast<size_t>(index)]);
        return;
    }
    for (TDUnit* unit : units)
        consider(unit);
}

TDUnit* TDTower::chooseTarget(std::vector<TDUnit*>& candidates, TDUnit* current, bool preferPicked) const
{
    auto contains = [&](const TDUnit* u)
    { return u && std::find(candidates.begin(), candidates.end(), u) != candidates.end(); };
    bool stays = contains(current);
    if (preferPicked && contains(mMap.mHovered))
        return mMap.mHovered;
    if (stays)
        return current;
    auto nearest = [&](const std::vector<TDUnit*>& pool)
    {
        TDUnit* best = nullptr;
        float bestD = 1.0e9f;
        for (TDUnit* u : pool)
        {
            float dx = u->mDrawPos[0] - mX, dy = u->mDrawPos[1] - mY;
            float d = dx * dx + dy * dy;
            if (d < bestD)
            {
                bestD = d;
                best = u;
            }
        }
        return best;
    };
    if (!preferPicked)
        return nearest(candidates);
    std::vector<TDUnit*> pool;
    for (TDUnit* u : candidates)
    {
        const TDPrototype* k = u->proto();
        if (k && k->air)
            pool.push_back(u);
    }
    if (pool.empty())
        pool = candidates;
    // Stable, so equal health keeps list order and runs repeat exactly.
    std::stable_sort(pool.begin(), pool.end(),
                     [](const TDUnit* a, const TDUnit* b) { return a->mHealth < b->mHealth; });
    while (pool.size() > 1 && pool.back()->mHealth != pool.front()->mHealth)
        pool.pop_back();
    return nearest(pool);
}

void TDTower::setTargetAngle(float angle)
{
    float v = angle >= 90.0f ? angle - 90.0f : angle + 270.0f;
    if (std::floor(v / kSector) != std::floor(mTargetAngle / kSector))
        mTargetAngle = v;
}

void TDTower::aimAt(const TDUnit& target)
{
    float a = math::Atan2(target.mDrawPos[0] - mX, target.mDrawPos[1] - mY) * math::kRadToDeg;
    setTargetAngle(a + 90.0f);
    mTargetAngle = std::floor(mTargetAngle);
}

void TDTower::clearTarget()
{
    mTarget = nullptr;
    mState = kTowerIdle;
    if (mBeam)
    {
        if (mBeam->isAlive())
            mBeam->finish();
        // The particle list deletes the finished beam next frame: never look at it again.
        mBeam = nullptr;
    }
}

bool TDTower::sectorsDiffer() const { return sectorOf(mAngle) != sectorOf(mTargetAngle); }

void TDTower::turn(float dt)
{
    if (!sectorsDiffer())
        return;
    float c = mAngle, t = mTargetAngle;
    bool up = c <= t ? (360.0f - t) + c >= 180.0f : (360.0f - c) + t < 180.0f;
    float step = 360.0f * dt;
    if (up)
        mAngle = c < t && c + step > t ? t : c + step;
    else
        mAngle = c > t && c - step < t ? t : c - step;
    if (mAngle < 0.0f)
        mAngle += 360.0f;
    if (mAngle > 360.0f)
        mAngle -= 360.0f;
}

float TDTower::framesOver(const TDPrototype& p, const char* list) const
{
    if (!(p.fps > 0.0f))
        return 0.0f;
    return static_cast<float>(mMap.mSprites->frameCount(p.id, list)) / p.fps;
}

void TDTower::update(float dt)
{
    if (mFadeRate != 0.0f)
    {
        mFade += mMap.mLastFrameTime * mFadeRate;
        if (mFade > 1.0f)
        {
            mFade = 1.0f;
            mFadeRate = 0.0f;
        }
        else if (mFade < 0.0f)
            mFade = mFadeRate = 0.0f;
    }
    if (mMap.isTowerBlocked(this))
    {
        mDisabled = true;
        showSign(mDisabledSprite, true, L"td/disabletower", 20.0f);
        return;
    }
    showSign(mDisabledSprite, false, L"td/disabletower", 20.0f);
    mDisabled = false;
    mDebuffed = mMap.isTowerDebuffed(this);
    showSign(mDebuffSprite, mDebuffed, L"td/tower_debuff", 10.0f);

    mPauseTimer = std::max(0.0f, mPauseTimer - dt);
    mCooldown = std::max(0.0f, mCooldown - dt);

    const TDPrototype* p = currentProto();
    if (!p)
        return;
    std::vector<TDUnit*> near;
    collectTargets(near, 0);
    if (p->strength == -1.0f)
    {
        // No attack; with nobody about it still looks around.
        mTarget = nullptr;
        std::vector<TDUnit*> far;
        if (near.empty())
            collectTargets(far, 100);
        if (near.empty() && far.empty() && mState == kTowerIdle)
        {
            mState = kTowerLooking;
            mTargetAngle = math::Random() * 360.0f;
        }
    }
    else if (near.empty())
    {
        std::vector<TDUnit*> far;
        collectTargets(far, 100);
        if (far.empty())
        {
            if (mTarget)
                clearTarget();
            if (mState == kTowerIdle)
            {
                mState = kTowerLooking;
                mTargetAngle = math::Random() * 360.0f;
            }
        }
        else
        {
            if (mTarget && std::find(far.begin(), far.end(), mTarget) == far.end())
                mTarget = nullptr;
            mTarget = chooseTarget(far, mTarget, false);
            mState = kTowerAiming;
        }
    }
    else
    {
        mTarget = chooseTarget(near, mTarget, true);
        if (mState == kTowerIdle)
            mState = kTowerAiming;
    }

    if (mTarget && mState != kTowerBeaming && mState != kTowerAwaitingBullet)
        aimAt(*mTarget);

    bool aligned = !sectorsDiffer();
    turn(dt);
    aligned = aligned || !sectorsDiffer();
    if (aligned && !near.empty() && mState == kTowerAiming)
    {
        mAngle = mTargetAngle;
        if (mCooldown <= 0.0f)
        {
            mState = kTowerFiring;
            mAnimTime = 0.0f;
        }
    }
    stateStep(dt, *p);
    if (mAngle < 0.0f)
        mAngle += 360.0f;
    if (mAngle > 360.0f)
        mAngle -= 360.0f;

    for (size_t i = 0; i < mModifiers.size();)
    {
        if (!mModifiers[i]->mActive)
        {
            mModifiers.eraseAt(i);
            continue;
        }
        mModifiers[i]->update(nullptr, dt);
        ++i;
    }
    if (mBeam && !mBeam->isAlive())
        mBeam = nullptr;
}

void TDTower::showSign(TDSpriteEffect*& sign, bool shown, const wchar_t* sprite, float rate)
{
    if (shown && !sign)
    {
        sign = new TDSpriteEffect(sprite, mX, mY, mMap.mSprites->spriteFrameCount(sprite), rate);
        sign->mLoop = true;
        mMap.addSprite(sign);
    }
    else if (!shown && sign)
    {
        mMap.removeSprite(sign);
        sign = nullptr;
    }
}

void TDTower::stateStep(float dt, const TDPrototype& p)
{
    switch (mState)
    {
    case kTowerPausing:
        mPauseTimer -= dt;
        if (mPauseTimer <= 0.0f)
        {
            mState = kTowerIdle;
            mPauseTimer = 0.0f;
        }
        break;
    case kTowerIdle:
        if (!p.rotating)
        {
            mAnimTime += dt;
            if (mAnimTime > framesOver(p, "idle"))
                mAnimTime = 0.0f;
        }
        break;
    case kTowerLooking:
        if (!sectorsDiffer())
        {
            mState = kTowerPausing;
            mPauseTimer = 3.0f;
        }
        break;
    case kTowerAiming:
        if (!p.rotating)
        {
            const TDPrototype* base = mBaseRef.get(mMap.mPrototypes);
            mAnimTime += dt;
            float length = base ? framesOver(*base, "idle") : 0.0f;
            if (length > 0.0f && mAnimTime > length)
                mAnimTime = 0.0f;
        }
        break;
    case kTowerFiring:
    {
        mAnimTime += dt;
        float cooldown = (p.cooldown - mBonus.cooldown) * (mDebuffed ? 1.5f : 1.0f);
        if (!p.rotating)
        {
            float length = framesOver(p, "blast");
            if (mAnimTime > length)
            {
                fire();
                mCooldown = cooldown;
                if (p.ammoId != 2003)
                {
                    mAnimTime = 0.0f;
                    mState = p.teleportEnemy ? kTowerBeaming : kTowerIdle;
                }
                else
                {
                    mState = kTowerAwaitingBullet;
                    mTarget = nullptr;
                    mAnimTime = length;
                }
            }
        }
        else
        {
            float length = p.fps > 0.0f ? 4.0f / p.fps : 0.0f;
            if (mAnimTime > length)
            {
                mState = kTowerIdle;
                mAnimTime = 0.0f;
                fire();
                mCooldown = cooldown;
            }
        }
        break;
    }
    case kTowerBeaming:
        mAnimTime += dt;
        if (mAnimTime > 0.2f && mBeam)
        {
            mBeam->finish();
            mBeam = nullptr;
        }
        break;
    case kTowerAwaitingBullet:
        // A shot that found no target leaves no bullet to wait for.
        if (!mMap.mBullets->hasBulletOf(this))
        {
            mState = kTowerIdle;
            mAnimTime = 0.0f;
        }
        break;
    default: break;
    }
}

void TDTower::fire()
{
    if (!mTarget)
        return;
    const TDPrototype* p = currentProto();
    if (!p)
        return;
    mMap.playSound(L"tower" + std::to_wstring(p->id) + L"shot");
    if (p->speed == -1.0f && p->teleportEnemy)
    {
        if (mBeam || mTarget->mState == kUnitBeamed)
            return;
        float w = mWidth, h = mHeight;
        float sx = w * 0.5f, sy = h * 0.5f, bx = w * 0.5f, by = h * 0.5f;
        mMap.mSprites->point(p->id, "s_point", 0, sx, sy);
        mMap.mSprites->point(p->id, "base_point", 0, bx, by);
        float x = mX - (w * 0.5f - bx) - (w * 0.5f - sx);
        float y = mY - ((h * 0.5f - sy) - (h * 0.5f - by));
        auto beam = std::make_unique<TDBeamParticle>(*mMap.mParticleSystem, x, y, mTarget, L"t_line");
        mBeam = beam.get();
        mMap.mParticles.push_back(std::move(beam));
        mTarget->mState = kUnitBeamed;
        mTarget->mAnimTime = 0.0f;
        TDBullet hit(mMap, this, mTarget);
        mTarget->onHit(hit, true);
        return;
    }
    mMap.mBullets->add(std::make_unique<TDBullet>(mMap, this, mTarget));
}

void TDTower::currentFrame(const char*& list, i32& index)
{
    const TDPrototype* p = currentProto();
    list = "";
    index = -1;
    if (!p)
        return;
    i32 d = 31 - tdtext::truncToInt(std::floor(mAngle / kSector));
    if (d < 0 || d > 31)
        d = 31;
    float f = p->fps > 0.0f ? std::floor(mAnimTime * p->fps) : 0.0f;
    i32 frame = std::isfinite(f) ? static_cast<i32>(std::clamp(f, -1.0f, 1.0e6f)) : 0;
    auto clampTo = [&](const char* name, i32 i)
    {
        i32 n = mMap.mSprites->frameCount(p->id, name);
        list = name;
        index = n == 0 ? -1 : std::clamp(i, 0, n - 1);
    };
    if (p->rotating)
    {
        mDirection = d;
        clampTo("", mState == kTowerFiring ? std::min(frame, 3) + 4 * d : 4 * d);
    }
    else if (mState == kTowerFiring)
        clampTo("blast", frame);
    else if (mState == kTowerAwaitingBullet)
        clampTo("blast", frame - 1);
    else
    {
        i32 n = mMap.mSprites->frameCount(p->id, "idle");
        list = "idle";
        index = n == 0 ? -1 : frame < n ? frame : 0;
    }
}

bool TDTower::isBoostFirst(const TDTower* a, const TDTower* b)
{
    const TDPrototype* pa = a->currentProto();
    const TDPrototype* pb = b->currentProto();
    return pa && pa->boostTower && !(pb && pb->boostTower);
}
