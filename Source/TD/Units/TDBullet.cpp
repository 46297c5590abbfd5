// A tower's projectile in flight.
#include "Source/TD/Units/TDBullet.h"

#include "Source/TD/Data/TDText.h"
#include "Source/TD/Units/TDBattleWorld.h"
#include "Source/TD/Units/TDModifiers.h"
#include "Source/TD/Units/TDParticle.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <cmath>

TDBullet::TDBullet(TDBattleWorld& map, TDTower* tower, TDUnit* target) : mMap(map)
{
    if (!target)
        return;
    mTower = tower;
    mTarget = target;
    mAimX = target->mDrawPos[0];
    mAimY = target->mDrawPos[1];
    mAlive = 1;
    if (!tower)
        return;
    mProto = TDProtoRef(tower->baseId(), tower->mLevel);
    mHasProto = true;
    const TDPrototype* p = proto();
    if (!p)
        return;
    i32 direction = tower->mDirection < 0 || tower->mDirection > 31 ? 0 : tower->mDirection;
    i32 m = 32 - direction;
    if (m > 31)
        m = 0;
    float w = 0.0f, h = 0.0f;
    map.mSprites->size(p->id, w, h);
    float x = tower->mX, y = tower->mY;
    if (p->rotating)
    {
        // A missing point reads as the middle of the graphic.
        float sx = w * 0.5f, sy = h * 0.5f, bx = w * 0.5f, by = h * 0.5f;
        map.mSprites->point(p->id, "s_point", m, sx, sy);
        map.mSprites->point(p->id, "base_point", 0, bx, by);
        x += (w * 0.5f - bx) + (w * 0.5f - sx);
        y -= (h * 0.5f - sy) - (h * 0.5f - by);
    }
    float dx = target->mDrawPos[0] - x, dy = target->mDrawPos[1] - y;
    float d = std::sqrt(dx * dx + dy * dy);
    if (d > 0.0f)
    {
        mDirX = dx / d;
        mDirY = dy / d;
    }
    else
    {
        // The target stands on the muzzle: the bullet is already within reach.
        mDirX = 0.0f;
        mDirY = 1.0f;
    }
    mSpeed = p->speed;
    mX = x;
    mY = y;
    if (p->ammoId == 2003)
    {
        mY -= 15.0f;
        mHasAnimation = true;
    }
}

const TDPrototype* TDBullet::proto() const { return mHasProto ? mProto.get(mMap.mPrototypes, true) : nullptr; }

const TDPrototype* TDBullet::ammo() const
{
    const TDPrototype* p = proto();
    return p ? mMap.findPrototype(p->ammoId) : nullptr;
}

void TDBullet::playHitEffect(float x, float y) const
{
    const TDPrototype* a = ammo();
    if (!a || a->onHit.empty() || !mTower)
        return;
    mMap.playSound(L"ammo" + std::to_wstring(a->id) + L"hit");
    mMap.startEffect(mMap.mEffects, tdtext::utf8ToWide(a->onHit), x, y);
}

void TDBullet::setAngleFromStep(float sx, float sy) { mAngle = tdNormalizeAngle(tdAimAngle(sx, sy)); }

void TDBullet::flyCurve(float dt, const TDPrototype& ammo, bool& stop)
{
    stop = false;
    if (mPhase == kRising)
    {
        if (!mTarget)
        {
            mAlive = 0;
            stop = true;
            return;
        }
        if (mPhaseTime < 0.5f)
            mY -= mSpeed * dt;
        else
        {
            mPhase = kCurving;
            mPhaseTime = 0.0f;
            float dx = mTarget->mDrawPos[0] - mX, dy = mTarget->mDrawPos[1] - mY;
            mCurveStart[0] = mX;
            mCurveStart[1] = mY;
            mCurveControl[0] = mX + 0.5f * dx;
            mCurveControl[1] = mY - 0.5f * dy - 35.0f;
            mCurveEnd[0] = mTarget->mDrawPos[0];
            mCurveEnd[1] = mTarget->mDrawPos[1];
        }
    }
    else if (mPhase == kCurving)
    {
        if (mPhaseTime <= 1.0f)
        {
            float t = mPhaseTime, u = 1.0f - t;
            float x = u * u * mCurveStart[0] + 2.0f * t * u * mCurveControl[0] + t * t * mCurveEnd[0];
            float y = u * u * mCurveStart[1] + 2.0f * t * u * mCurveControl[1] + t * t * mCurveEnd[1];
            if (x != mX || y != mY)
                setAngleFromStep(x - mX, y - mY);
            mX = x;
            mY = y;
        }
        else
        {
            mX = mCurveEnd[0];
            mY = mCurveEnd[1];
            mPhaseTime = 0.0f;
            mPhase = kLanded;
            // The shell bursts where it lands, not where the target stood at the shot.
            mAimX = mX;
            mAimY = mY;
        }
    }
    // The flight has a picture: it neither hits nor explodes on the way.
    if (mPhase != kLanded && !ammo.psd.empty())
        stop = true;
}

void TDBullet::explode()
{
    const TDPrototype* a = ammo();
    float r = a ? a->radius : 0.0f;
    const base::OwnedList<TDUnit>& units = mMap.mWaves.mUnits;
    for (size_t i = 0; i < units.size(); ++i)
    {
        TDUnit* unit = units[i];
        if (!unit->mAlive || !(tdDistance(mX, mY, unit->mDrawPos[0], unit->mDrawPos[1]) <= r))
            continue;
        playHitEffect(unit->mDrawPos[0], unit->mDrawPos[1]);
        unit->onHit(*this, false);
    }
    playHitEffect(mX, mY);
    mAlive = 0;
}

void TDBullet::update(float dt)
{
    mAnimTime += dt;
    mPhaseTime += dt;
    if (mHasAnimation)
        mAnimationTime += dt;
    const TDPrototype* p = proto();
    if (!p || !mTower)
    {
        mAlive = 0;
        return;
    }
    const TDPrototype* a = ammo();
    if (p->ammoId == 2003 && a)
    {
        bool stop = false;
        flyCurve(dt, *a, stop);
        if (stop)
        {
            if (mAlive && mEmitter)
            {
                mEmitter->update(dt);
                mEmitter->setPosition(mX, mY);
            }
            return;
        }
    }
    if (p->speed == -1.0f)
    {
        if (mTarget)
            mTarget->onHit(*this, true);
        mAlive = 0;
    }
    else if (p->aimed)
    {
        if (!mTarget ||
            tdDistance(mTarget->mDrawPos[0], mTarget->mDrawPos[1], mTower->mX, mTower->mY) > mTower->radius())
        {
            mMap.mModifiers.push_back(std::make_unique<BlastModifier>(mMap, *this));
            mAlive = 0;
        }
        else
        {
            float dx = mTarget->mPos[0] - mX, dy = mTarget->mPos[1] - mY;
            float d = std::sqrt(dx * dx + dy * dy);
            if (d < 10.0f)
            {
                mTarget->onHit(*this, true);
                playHitEffect(mX, mY);
                mAlive = 0;
            }
            else
            {
                mDirX = dx / d;
                mDirY = dy / d;
                mX += mDirX * dt * mSpeed;
                mY += mDirY * dt * mSpeed;
                setAngleFromStep(mDirX, mDirY);
            }
        }
    }
    else
    {
        mX += mDirX * dt * mSpeed;
        mY += mDirY * dt * mSpeed;
        if (tdDistance(mX, mY, mTower->mX, mTower->mY) > mTower->radius())
            mAlive = 0;
        else if (tdDistance(mX, mY, mAimX, mAimY) < 10.0f)
            explode();
    }
    if (mAlive && mEmitter)
    {
        mEmitter->update(dt);
        mEmitter->setPosition(mX, mY);
    }
}
