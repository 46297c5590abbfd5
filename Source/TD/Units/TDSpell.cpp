// A spell cast at a point: its area effects, and the damage it deals once to each unit.
#include "Source/TD/Units/TDBullet.h"

#include "Core/Base/Math.h"
#include "Core/Base/Random.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Units/TDBattleWorld.h"
#include "Source/TD/Units/TDModifiers.h"
#include "Source/TD/Units/TDSpriteEffect.h"
#include "Source/TD/Units/TDUnit.h"

#include <algorithm>
#include <cmath>

TDSpell::TDSpell(TDBattleWorld& map, i32 ammoId) : TDBullet(map, nullptr, nullptr), mAmmoId(ammoId) { mAlive = 1; }

void TDSpell::update(float dt)
{
    mAnimTime += dt;
    const TDPrototype* p = mMap.findPrototype(mAmmoId);
    // A spell whose ammunition is gone ends at once.
    mAlive = p && p->speed > mAnimTime ? 1 : 0;
    if (!mAlive)
        return;
    std::vector<TDUnit*> units;
    mMap.mWaves.unitsInRadius(mX, mY, p->radius, units);
    for (TDUnit* unit : units)
    {
        if (std::find(mHitUnits.begin(), mHitUnits.end(), unit) != mHitUnits.end())
            continue;
        unit->mHealth -= p->strength;
        if (p->stun)
            unit->mModifiers.push_back(std::make_unique<StunModifier>(mMap, "", 0.0f, p->speed, nullptr));
        mHitUnits.push_back(unit);
    }
}

void TDSpell::cast()
{
    const TDPrototype* base = mMap.findPrototype(mAmmoId);
    if (!base)
        return;
    TDPrototype p = *base;
    mMap.mUpgrades.applyToPrototype(mMap.upgradeContext(), p);
    float x = mX, y = mY;
    if (p.fireSplash)
    {
        mMap.mModifiers.push_back(
            std::make_unique<FireSplashModifier>(mMap, p.strength, p.speed, nullptr, x, y, p.radius));
    }
    if (p.splash)
    {
        std::vector<TDUnit*> units;
        mMap.mWaves.unitsInRadius(x, y, p.radius, units);
        for (TDUnit* unit : units)
        {
            unit->damage(p.strength);
            mHitUnits.push_back(unit);
        }
    }
    if (p.hold)
        mMap.mModifiers.push_back(std::make_unique<MapImpassableArea>(mMap, p.speed, x, y, p.radius));
    if (p.dot)
        mMap.mModifiers.push_back(std::make_unique<DotModifierArea>(mMap, x, y, p.radius, p.strength, p.speed));
    if (p.boostTower)
        mMap.mModifiers.push_back(std::make_unique<TowersBoost>(mMap, p.speed, p.strength / 100.0f));
    if (!p.onAmmo.empty())
    {
        std::string name = p.onAmmo;
        tdtext::dropTrailingCr(name);
        if (TDEffectHolder* effect = mMap.startEffect(mMap.mEffects2, tdtext::utf8ToWide(name), x, y))
            effect->mSpeedFactor = tdSpeedRatio(base->speed, p.speed);
    }
    if (!p.psd.empty())
    {
        std::wstring sprite = L"td/" + tdtext::utf8ToWide(p.psd);
        i32 frames = mMap.mSprites->spriteFrameCount(sprite);
        float rate = p.fps;
        mMap.mAnimations.push_back(std::make_unique<TDSpriteEffect>(sprite, x, y, frames, rate));
        const float delays[2] = {0.5f, 0.75f};
        for (float delay : delays)
        {
            float a = math::Random() * 360.0f * math::kDegToRad;
            float r = 25.0f + math::Random() * 25.0f;
            auto extra =
                std::make_unique<TDSpriteEffect>(sprite, x + std::cos(a) * r, y + std::sin(a) * r, frames, rate);
            extra->mDelay = delay;
            mMap.mAnimations.push_back(std::move(extra));
        }
    }
    mMap.postEvent(L"spell_casted");
}
