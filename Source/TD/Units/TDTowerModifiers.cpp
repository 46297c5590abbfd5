// Modifiers on towers: income, the magic boost of nearby towers, revealing hidden units, and
// the boost spell.
#include "Source/TD/Units/TDBattleWorld.h"
#include "Source/TD/Units/TDModifiers.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <algorithm>

GoldIncomerModifier::GoldIncomerModifier(TDBattleWorld& map, TDTower* tower, float income, float period)
    : TDModifier(map, "", income, -1.0f, tower), mTower(tower)
{
    mTickPeriod = period;
}

void GoldIncomerModifier::tick(TDUnit*, float)
{
    if (mTower)
        mTower->payIncome();
}

MagicTowerBoost::MagicTowerBoost(TDBattleWorld& map, TDTower* tower)
    : TDModifier(map, "", 0.0f, -1.0f, tower), mTower(tower)
{
}

void MagicTowerBoost::tick(TDUnit*, float)
{
    const TDPrototype* source = mTower ? mTower->currentProto() : nullptr;
    if (!source)
        return;
    // The spot's multiplier as stored: 0 (or absent) means no reach at all here.
    float reach = source->radius * 0.5f * mTower->spotProperty("radius_mult");
    float p = source->speed / 100.0f;
    for (TDTower* other : mMap.mTowers)
    {
        if (other == mTower)
            continue;
        const TDPrototype* kind = other->currentProto();
        if (!kind || kind->boostTower)
            continue;
        if (tdDistance(other->mX, other->mY, mTower->mX, mTower->mY) > reach)
            continue;
        other->mBonus.strength += kind->strength * p;
        other->mBonus.radius += kind->radius * p;
        other->mBoosted = true;
    }
}

ShowInvisible::ShowInvisible(TDBattleWorld& map, TDTower* tower)
    : TDModifier(map, "", 0.0f, -1.0f, tower), mTower(tower)
{
}

void ShowInvisible::tick(TDUnit*, float)
{
    const TDPrototype* p = mTower ? mTower->currentProto() : nullptr;
    if (!p)
        return;
    float reach = p->radius * 0.5f * mTower->spotProperty("radius_mult");
    for (TDUnit* unit : mMap.mWaves.mUnits)
        if (tdDistance(unit->mPos[0], unit->mPos[1], mTower->mX, mTower->mY) < reach)
        {
            unit->mHiddenTime = 0.0f;
            unit->mAlphaTarget = 1.0f;
        }
}

TowersBoost::TowersBoost(TDBattleWorld& map, float duration, float value)
    : TDModifier(map, "", value, duration, nullptr)
{
}

TowersBoost::~TowersBoost()
{
    // An effect no longer in the list went already, with its stopped emitter.
    for (TDEffectHolder* effect : mEffects)
        mMap.mEffects.remove(effect);
    for (TDTower* tower : mMap.mTowers)
        tower->mImmune = false;
}

void TowersBoost::tick(TDUnit*, float)
{
    const TDPrototype* drum = mMap.findPrototype(3004);
    for (TDTower* tower : mMap.mTowers)
    {
        const TDPrototype* kind = tower->currentProto();
        if (!kind)
            continue;
        tower->mBonus.strength += kind->strength * mValue;
        tower->mBonus.radius += kind->radius * mValue;
        if (std::find(mTowers.begin(), mTowers.end(), tower) != mTowers.end())
            continue;
        mTowers.push_back(tower);
        tower->mImmune = true;
        if (TDEffectHolder* effect = mMap.startEffect(mMap.mEffects, L"hammer", tower->mX, tower->mY - 50.0f, true))
        {
            // The drum spell's speed over its upgraded speed; 1 without the data.
            float factor = 1.0f;
            if (drum)
            {
                TDPrototype upgraded = *drum;
                mMap.mUpgrades.applyToPrototype(mMap.upgradeContext(), upgraded);
                factor = tdSpeedRatio(drum->speed, upgraded.speed);
            }
            effect->mSpeedFactor = factor;
            mEffects.push_back(effect);
        }
    }
}

void TowersBoost::forget(const void* object)
{
    mTowers.erase(std::remove(mTowers.begin(), mTowers.end(), object), mTowers.end());
}
