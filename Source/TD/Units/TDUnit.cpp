// One enemy: health, death and bounty, animations, walking and hits.
#include "Source/TD/Units/TDUnit.h"

#include "Core/Base/Log.h"
#include "Core/Base/Math.h"
#include "Core/Base/OwnedList.h"
#include "Core/Base/Random.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Level/TDPathCurve.h"
#include "Source/TD/Units/TDBattleWorld.h"
#include "Source/TD/Units/TDBullet.h"
#include "Source/TD/Units/TDModifiers.h"
#include "Source/TD/Units/TDTower.h"

#include <algorithm>
#include <cmath>

TDUnit::TDUnit(TDBattleWorld& map, TDWaveEntry* entry)
    : mEntry(entry), mMap(map), mStore(&map.mPrototypes), mProto(entry ? entry->mId : 0)
{
    mLevel = entry ? entry->mUpgrade - 1 : -1;
    mFlag = entry ? entry->mFlag : 0;
    mHealth = maxHealth();
    const TDPrototype* p = proto();
    if (p)
    {
        map.mSprites->size(p->id, mSize[0], mSize[1]);
        mShadow = tdUnitShadow(p->id, p->air);
    }
    // A random phase so that units do not walk in step.
    mAnimTime = math::Random() * animationLength("walk");
}

std::wstring tdUnitShadow(i32 id, bool air)
{
    const wchar_t* wyvern = L"td/data/ui_parts/shadows/wywern_shadow";
    const wchar_t* dragon = L"td/data/ui_parts/shadows/dragon_shadow";
    if (!air)
        return dragon;
    if (id == 3 || id == 30 || id == 31 || id == 38)
        return wyvern;
    if (id == 10 || id == 32 || id == 33)
        return dragon;
    return L"";
}

TDUnit::~TDUnit() = default;

float TDUnit::maxHealth() const
{
    const TDPrototype* p = proto();
    float health = p ? p->health : 0.0f;
    float extra = mEntry ? static_cast<float>(mEntry->mExtraHealth) * 0.5f : 0.0f;
    return (1.0f + mMap.getHealthFactor()) * health + extra;
}

float TDUnit::currentSpeed() const
{
    const TDPrototype* p = proto();
    return (p ? p->speed : 0.0f) - mSpeedPenalty;
}

bool TDUnit::isHeldStill() const
{
    const TDPrototype* p = proto();
    return p && mSpeedPenalty == p->speed;
}

float TDUnit::animationLength(const char* list) const
{
    const TDPrototype* p = proto();
    if (!p || !(p->fps > 0.0f))
        return 0.0f;
    return static_cast<float>(mMap.mSprites->frameCount(p->id, list)) / p->fps;
}

void TDUnit::getRect(float& x, float& y, float& w, float& h) const
{
    w = mSize[0];
    h = mSize[1];
    x = mDrawPos[0] - w * 0.5f;
    y = mDrawPos[1] - h * 0.5f + mDeathDrift[1];
}

void TDUnit::update(float dt)
{
    mHiddenTime -= dt;
    mAlphaTarget = mHiddenTime > 0.0f ? 0.4f : 1.0f;
    math::MoveToward(mAlpha, dt, mAlphaTarget);

    mSpeedFactorTime -= dt;
    if (mSpeedFactorTime <= 0.0f)
    {
        mSpeedFactorTime = 0.0f;
        mSpeedFactorTarget = 1.0f;
    }
    math::MoveToward(mSpeedFactor, dt, mSpeedFactorTarget);

    mHealthBarTime = std::max(0.0f, mHealthBarTime - dt);

    if (mFadeRate != 0.0f)
    {
        mFade += mFadeRate * dt;
        if (mFade > 1.0f)
        {
            mFade = 1.0f;
            mFadeRate = 0.0f;
        }
        else if (mFade < 0.0f)
        {
            mFade = 0.0f;
            mFadeRate = 0.0f;
        }
    }

    if (mHealth <= 0.0f && !isGone())
    {
        die();
        return;
    }
    updateState(dt);
}

void TDUnit::die()
{
    const TDPrototype* p = proto();
    i32 id = p ? p->id : mProto.id();
    if (p && p->carrier)
        mMap.spawnCarriedUnits(this, 3);
    mState = kUnitDying;
    mMap.playSound(L"enemy" + std::to_wstring(id) + L"die");

    float cost = p ? p->cost : 0.0f;
    float m = mMap.mEnemyCostBonus;
    float b = mMap.killBonusFactor(this);
    // ceil(m x cost) in single precision: 0.1f x 10 must give 1, not 2.
    float costShare = std::ceil(m * cost);
    float income = static_cast<float>(tdtext::truncToInt(cost * b + 0.5f));
    i32 gold = tdtext::truncToInt(costShare + income + cost);
    mMap.mStats.addKill(gold, mDrawPos[0], mDrawPos[1] - 50.0f);
    mMap.addIndicator(mDrawPos[0], mDrawPos[1], kIndicatorGold, L"+" + std::to_wstring(gold));
    mAnimTime = 0.0f;

    if (p && p->explodeStrength > 0.0f)
    {
        mMap.startEffect(mMap.mEffects, L"mg_00", mPos[0], mPos[1]);
        for (size_t i = 0; i < mMap.mWaves.mUnits.size(); ++i)
        {
            TDUnit* other = mMap.mWaves.mUnits[i];
            if (other == this || !other->mAlive || other->mState == kUnitDying)
                continue;
            if (tdDistance(mPos[0], mPos[1], other->mPos[0], other->mPos[1]) <= p->explodeRadius)
                other->damage(p->explodeStrength);
        }
    }
}

void TDUnit::updateState(float dt)
{
    const TDPrototype* p = proto();
    if (currentSpeed() > 0.0f || isGone())
        mAnimTime += dt;

    if (mState == kUnitDying)
    {
        if (p && p->air)
        {
            mDeathDrift[0] += 50.0f * dt;
            mDeathDrift[1] += 80.0f * dt;
        }
        if (!p || mMap.mSprites->frameCount(p->id, "death") == 0)
        {
            mAlive = 0;
            raiseDeadNear();
            return;
        }
        if (mAnimTime >= animationLength("death"))
        {
            mState = kUnitFading;
            mFadeRate = -1.5f;
        }
        return;
    }
    if (mState == kUnitFading)
    {
        if (mFade <= 0.0f && mAlive)
        {
            mAlive = 0;
            raiseDeadNear();
            mAnimTime = 0.0f;
        }
        return;
    }
    if (mState == kUnitSpecial)
    {
        if (mAnimTime >= animationLength("special"))
        {
            mAnimTime = 0.0f;
            mState = kUnitWalking;
            mMap.playSound(L"enemy" + std::to_wstring(mProto.id()) + L"special");
        }
    }
    else
    {
        float length = animationLength("walk");
        if (mAnimTime >= length)
            mAnimTime = 0.0f;
    }

    mModifiers.deleteIf([](const TDModifier* m) { return !m->mActive; });
    if (mState != kUnitSpecial)
        move(dt);
}

void TDUnit::move(float dt)
{
    const TDPrototype* p = proto();
    if (p && p->straight)
        moveStraight(dt);
    else
        moveOnPath(dt);
}

void TDUnit::moveStraight(float dt)
{
    const TDPrototype* p = proto();
    const TDPoint* goal = TDBattleWorld::getGoalPoint(mMap.mPoints);
    if (!goal || tdDistance(mDrawPos[0], mDrawPos[1], goal->x, goal->y) < 50.0f)
    {
        mMap.onUnitReachedGoal(this);
        return;
    }
    size_t next = static_cast<size_t>(mSegment) + 1;
    const TDPoint* end = next < mWaypoints.size() ? mMap.findPoint(mWaypoints[next]) : goal;
    if (!end)
        end = goal;
    float dx = end->x - mPos[0], dy = end->y - mPos[1];
    float d = std::sqrt(dx * dx + dy * dy);
    float step = p->speed * dt;
    mPrevPos[0] = mPos[0];
    mPrevPos[1] = mPos[1];
    if (d > 0.0f)
    {
        if (step >= d)
        {
            mPos[0] = end->x;
            mPos[1] = end->y;
        }
        else
        {
            mPos[0] += dx / d * step;
            mPos[1] += dy / d * step;
        }
        mDirection[0] = dx / d;
        mDirection[1] = dy / d;
    }
    mFacingLeft = end->x < mPos[0];
    mDrawPos[0] = mPos[0];
    mDrawPos[1] = mPos[1];
}

void TDUnit::refreshSamples()
{
    size_t seg = static_cast<size_t>(mSegment);
    const TDPoint* a = seg < mWaypoints.size() ? mMap.findPoint(mWaypoints[seg]) : nullptr;
    const TDPoint* b = seg + 1 < mWaypoints.size() ? mMap.findPoint(mWaypoints[seg + 1]) : nullptr;
    TDLink* link = TDBattleWorld::findLink(mMap.mLinks, a, b);
    if (mSamplesSegment == mSegment && mSamplesLink == link && !mSamples.empty())
        return;
    mSamplesSegment = mSegment;
    mSamplesLink = link;
    if (!link)
        return;
    const i32 from = a ? a->id : link->sid;
    const i32 side = mEntry ? mEntry->sideOffset() : 0;
    const i32 offset = TDPathSet::walkedOffset(*link, from, side);
    if (!mMap.mPaths.has(link, offset))
    {
        // The builder only made the offsets of the file's waves: make the missing one now.
        const TDPoint* s = mMap.findPoint(link->sid);
        const TDPoint* e = mMap.findPoint(link->eid);
        if (s && e)
        {
            std::vector<TDPathPoint*> line;
            tdcurve::makeCurve({s->x, s->y, link->anchorX, link->anchorY, e->x, e->y}, static_cast<float>(offset), 20,
                               line);
            mMap.mPaths.store(link, offset, line);
        }
    }
    // A link the route takes against its direction is walked backwards on the other side's line.
    if (mMap.mPaths.findWalked(link, from, side, mSamples))
        mSamplesReversed = link->sid != from;
}

void TDUnit::moveOnPath(float dt)
{
    refreshSamples();
    float distance = currentSpeed() * dt * mSpeedFactor;
    if (distance > 0.0f)
    {
        mProgress = TDBattleWorld::advanceOnPath(mSamples, mProgress, distance);
        if (mProgress >= 1.0f || mProgress < 0.0f)
        {
            ++mSegment;
            mProgress = 0.0f;
            mStep = 0.0f;
            if (static_cast<size_t>(mSegment) + 1 < mWaypoints.size())
            {
                enterSegment();
                const TDPoint* a = mMap.findPoint(mWaypoints[static_cast<size_t>(mSegment)]);
                const TDPoint* b = mMap.findPoint(mWaypoints[static_cast<size_t>(mSegment) + 1]);
                mSegmentLength = mMap.getLinkCurveLength(TDBattleWorld::findLink(mMap.mLinks, a, b));
                // The new segment's polyline, so the unit does not jump back for a frame.
                refreshSamples();
            }
            else
            {
                mMap.onUnitReachedGoal(this);
                return;
            }
        }
    }
    if (mState != kUnitDying)
    {
        mPrevPos[0] = mPos[0];
        mPrevPos[1] = mPos[1];
    }
    TDBattleWorld::getPointOnPath(mSamples, mProgress, mPos[0], mPos[1]);
    mDrawPos[0] = mPos[0];
    mDrawPos[1] = mPos[1];
    float dx = mPos[0] - mPrevPos[0], dy = mPos[1] - mPrevPos[1];
    float len = std::sqrt(dx * dx + dy * dy);
    if (len > 0.0f)
    {
        mDirection[0] = dx / len;
        mDirection[1] = dy / len;
    }
    if (!mSamples.empty())
    {
        float at = static_cast<float>(mSamples.size() - 1) * mProgress;
        size_t index =
            static_cast<size_t>(std::clamp(tdtext::truncToInt(at), 0, static_cast<i32>(mSamples.size()) - 1));
        // normalY is the x part of the line's direction, which a backward walk turns round.
        const float ahead = mSamplesReversed ? -mSamples[index]->normalY : mSamples[index]->normalY;
        mFacingLeft = ahead <= -0.05f;
    }
}

void TDUnit::enterSegment()
{
    size_t seg = static_cast<size_t>(mSegment);
    const TDPoint* p = seg < mWaypoints.size() ? mMap.findPoint(mWaypoints[seg]) : nullptr;
    mUpper = p ? p->properties.peekFloat("upper") : 0.0f;
    mSamplesSegment = -1;
}

void TDUnit::placeOnRoute(const TDPoint* path, const std::vector<i32>& waypoints, i32 segment, float progress,
                          float step, float segmentLength, float x, float y)
{
    mPath = path;
    mWaypoints = waypoints;
    mSegment = segment;
    mProgress = progress;
    mStep = step;
    mSegmentLength = segmentLength;
    mPos[0] = mDrawPos[0] = x;
    mPos[1] = mDrawPos[1] = y;
    enterSegment();
}

void TDUnit::damage(float amount)
{
    if (isGone())
        return;
    mHealthBarTime = 2.5f;
    mHealth -= amount;
    if (amount > 0.0f)
    {
        mHiddenTime = 0.0f;
        mAlphaTarget = 1.0f;
    }
    mMap.playSound(L"enemy" + std::to_wstring(mProto.id()) + L"hit");
}

bool TDUnit::canAttach(const TDModifier* modifier) const
{
    for (const TDModifier* m : mModifiers)
        if (m->mSource == modifier->mSource && !m->mStacking)
            return false;
    return true;
}

bool TDUnit::attach(std::unique_ptr<TDModifier> modifier)
{
    if (!canAttach(modifier.get()))
        return false;
    mModifiers.push_back(std::move(modifier));
    return true;
}

void TDUnit::removeModifiersOf(const void* source)
{
    mModifiers.deleteIf([source](const TDModifier* m) { return m->mSource == source; });
}

void TDUnit::onHit(const TDBullet& bullet, bool direct)
{
    if (mHealth <= 0.0f)
        return;
    const TDPrototype* tp = bullet.proto();
    if (!tp)
        return;
    TDTower* tower = bullet.mTower;
    float damageAmount =
        (tower ? tower->mBonus.strength : 0.0f) + tp->strength + (tower ? tower->spotProperty("damage_mult") : 0.0f);
    const TDPrototype* ammo = bullet.ammo();
    float r = ammo ? ammo->radius : 0.0f;
    if (!direct)
    {
        float d = tdDistance(mDrawPos[0], mDrawPos[1], bullet.mX, bullet.mY);
        // At or beyond r, and for an ammunition without radius, the splash does nothing.
        damageAmount *= r > 0.0f ? std::max(0.0f, (r - d) / r) : 0.0f;
    }

    const TDPrototype* kind = proto();
    bool immune = false;
    if (kind)
    {
        immune = ((kind->ice || kind->stone) && (tp->dot || tp->stun)) || (kind->poisonImmune && tp->hold) ||
                 (kind->fireDamageOnly && (tp->ammoId < 2001 || tp->ammoId > 2003));
    }
    if (immune)
    {
        mMap.addIndicator(mDrawPos[0], mDrawPos[1] - 20.0f, kIndicatorImmune, L"");
        return;
    }

    if (tp->teleportEnemy)
        attach(std::make_unique<HoldAndTeleport>(mMap, tower));
    if (tp->dot)
        attach(std::make_unique<DotModifier>(mMap, "health", 0.5f, 2.0f, tower, 0.9f));
    if (tp->stun)
        attach(std::make_unique<StunModifier>(mMap, "speed", 0.5f, 3.0f, tower));
    if (tp->hold)
        attach(std::make_unique<HoldModifier>(mMap, "speed", 0.5f, 3.0f, tower));
    if (tp->fireSplash)
        mModifiers.push_back(std::make_unique<FireSplashModifier>(mMap, 1.0f, 10.0f, tower, mPos[0], mPos[1], 64.0f));
    if (tp->splash && direct)
    {
        mMap.mModifiers.push_back(std::make_unique<AreaDamageModifier>(mMap, mPos[0], mPos[1], tower));
        std::vector<TDUnit*> near;
        mMap.mWaves.unitsInRadius(mPos[0], mPos[1], r, near);
        for (TDUnit* other : near)
            if (other != this)
                other->onHit(bullet, false);
    }
    damage(damageAmount);
}

void TDUnit::raiseDeadNear()
{
    if (mProto.id() == 39 || !mEntry)
        return;
    TDUnit* raiser = nullptr;
    for (TDUnit* other : mMap.mWaves.mUnits)
    {
        if (other == this || other->mState == kUnitDying || !other->mAlive)
            continue;
        const TDPrototype* k = other->proto();
        if (!k || !k->raiseDead)
            continue;
        if (other->isHeldStill())
            continue;
        if (tdDistance(mPos[0], mPos[1], other->mPos[0], other->mPos[1]) < k->radius)
        {
            raiser = other;
            break;
        }
    }
    if (!raiser || !mEntry->mWave)
        return;
    auto made = std::make_unique<TDWaveEntry>();
    TDWaveEntry* entry = made.get();
    entry->mId = 39;
    entry->mUpgrade = 1;
    entry->mX = -1.0f;
    entry->mY = mEntry->mY;
    entry->mSpawnedFlag = 1;
    entry->mWave = mEntry->mWave;
    mEntry->mWave->mEntries.push_back(std::move(made));
    size_t seg = static_cast<size_t>(mSegment);
    const TDPoint* at = seg < mWaypoints.size() ? mMap.findPoint(mWaypoints[seg]) : mPath;
    TDUnit* raised = at ? mMap.spawnUnit(entry, at) : nullptr;
    if (!raised)
    {
        entry->mState = kEntryKilled;
        return;
    }
    raised->placeOnRoute(mPath, mWaypoints, mSegment, mProgress, mStep, mSegmentLength, mPos[0], mPos[1]);
    raised->mState = kUnitSpecial;
    raised->mAnimTime = 0.0f;
    raiser->mState = kUnitSpecial;
    raiser->mAnimTime = 0.0f;
}
