// The bullets and spells in flight.
#include "Source/TD/Units/TDBulletList.h"

#include "Source/TD/Data/TDText.h"
#include "Source/TD/Units/TDBattleWorld.h"
#include "Source/TD/Units/TDBullet.h"
#include "Source/TD/Units/TDModifier.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <algorithm>

void TDBulletList::add(TDBullet* bullet) { add(std::unique_ptr<TDBullet>(bullet)); }

void TDBulletList::add(std::unique_ptr<TDBullet> bullet)
{
    if (bullet->mTower)
    {
        const TDPrototype* a = bullet->ammo();
        if (a && !a->onFire.empty())
            if (TDEffectHolder* effect =
                    mMap.startEffect(mMap.mEffects, tdtext::utf8ToWide(a->onFire), bullet->mX, bullet->mY))
                if (effect->mEmitter)
                    effect->mEmitter->setAngle(bullet->mTower->mTargetAngle - 180.0f);
        if (a && !a->onAmmo.empty())
        {
            std::string name = a->onAmmo;
            tdtext::dropTrailingCr(name);
            bullet->mEmitter = mMap.mParticleSystem->createEmitter(tdtext::utf8ToWide(name));
            if (bullet->mEmitter)
            {
                bullet->mEmitter->setPosition(bullet->mX, bullet->mY);
                bullet->mEmitter->setState(kEmitterPlaying);
            }
        }
    }
    items.push_back(std::move(bullet));
}

TDBulletList::TDBulletList(TDBattleWorld& map) : mMap(map) {}

TDBulletList::~TDBulletList() { clear(); }

void TDBulletList::update(float dt)
{
    for (size_t i = 0; i < items.size(); ++i)
        items[i]->update(dt);
    for (size_t i = 0; i < items.size();)
    {
        TDBullet* bullet = items[i];
        if (bullet->mAlive)
        {
            ++i;
            continue;
        }
        // Out of the list first: the tower waits only for the bullets still flying.
        std::unique_ptr<TDBullet> dead = items.release(bullet);
        if (bullet->mTower && bullet->mTower->mState == kTowerAwaitingBullet && !hasBulletOf(bullet->mTower))
        {
            bullet->mTower->mState = kTowerIdle;
            bullet->mTower->mAnimTime = 0.0f;
        }
    }
}

bool TDBulletList::hasBulletOf(const TDTower* tower) const
{
    for (const TDBullet* bullet : items)
        if (bullet->mTower == tower)
            return true;
    return false;
}

void TDBulletList::forgetUnit(const TDUnit* unit)
{
    for (TDBullet* bullet : items)
    {
        if (bullet->mTarget == unit)
            bullet->mTarget = nullptr;
        auto& hit = bullet->mHitUnits;
        hit.erase(std::remove(hit.begin(), hit.end(), unit), hit.end());
    }
}

void TDBulletList::forgetTower(const TDTower* tower)
{
    items.deleteIf([tower](const TDBullet* bullet) { return bullet->mTower == tower; });
    for (TDUnit* unit : mMap.mWaves.mUnits)
        for (TDModifier* modifier : unit->mModifiers)
            modifier->forget(tower);
    for (TDModifier* modifier : mMap.mModifiers)
        modifier->forget(tower);
}

void TDBulletList::clear() { items.clear(); }
