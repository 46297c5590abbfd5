// A tower's upgrade in place, its income and its own modifiers.
#include "Source/TD/Units/TDTower.h"

#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Units/TDBattleWorld.h"
#include "Source/TD/Units/TDIndicator.h"
#include "Source/TD/Units/TDModifiers.h"

#include <cmath>

std::wstring tdFormatInt(const std::wstring& format, i32 value)
{
    std::wstring out;
    bool done = false;
    for (size_t i = 0; i < format.size(); ++i)
    {
        wchar_t c = format[i];
        if (c == L'%' && i + 1 < format.size())
        {
            wchar_t next = format[i + 1];
            if (next == L'%')
            {
                out += L'%';
                ++i;
                continue;
            }
            if (!done && (next == L'd' || next == L'i'))
            {
                out += std::to_wstring(value);
                done = true;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

namespace
{
// (int)((a / b - 1) x 100); false when b is 0 or the result is no number.
bool percentChange(float a, float b, i32& out)
{
    if (b == 0.0f)
        return false;
    float v = (a / b - 1.0f) * 100.0f;
    if (!std::isfinite(v))
        return false;
    out = tdtext::truncToInt(v);
    return true;
}

// One line of an upgrade's text: the localised format with the percentage.
void addInfoLine(std::wstring& info, const wchar_t* key, i32 percent)
{
    if (!info.empty())
        info += L"\n";
    info += tdFormatInt(LocalStrings::Instance()->get(key), percent);
}
} // namespace

void TDTower::payIncome()
{
    const TDPrototype* p = currentProto();
    if (!p || p->goldIncome <= 0)
        return;
    mMap.playSound(L"tower" + std::to_wstring(p->id) + L"shot");
    TDPrototype upgraded = *p;
    mMap.mUpgrades.applyToPrototype(mMap.upgradeContext(), upgraded);
    float income = static_cast<float>(upgraded.goldIncome) * spotProperty("income_mult");
    i32 amount = tdtext::truncToInt(income);
    mMap.addIndicator(mX, mY, kIndicatorGold, L"+" + std::to_wstring(amount));
    mMap.mStats.addCoins(amount);
    mState = kTowerFiring;
}

bool TDTower::upgrade(i32 tier, float cost)
{
    const TDPrototype* next = currentProto(tier);
    if (!next || cost > static_cast<float>(mMap.mStats.mCoins))
        return false;
    mMap.mStats.spendCoins(tdtext::truncToInt(std::floor(cost)));
    const TDPrototype* old = currentProto();
    std::wstring info;
    if (old)
    {
        auto line = [&](const wchar_t* key, float a, float b, bool differs)
        {
            i32 value = 0;
            if (differs && percentChange(a, b, value))
                addInfoLine(info, key, value);
        };
        line(L"towerUpgradeInfoRange", next->radius, old->radius, next->radius != old->radius);
        line(L"towerUpgradeInfoDamage", next->strength, old->strength,
             next->strength != old->strength && old->strength > 0.0f);
        line(L"towerUpgradeInfoRof", old->cooldown, next->cooldown, next->cooldown != old->cooldown);
        line(L"towerUpgradeInfoIncome", static_cast<float>(next->goldIncome), static_cast<float>(old->goldIncome),
             next->goldIncome != old->goldIncome);
    }

    mLevel = tier;
    mTierRef = TDProtoRef(mBaseId, tier);
    mTierCount = 0; // the steps bought stay with the tower; the new tier offers its own
    mAnimTime = 0.0f;
    mState = kTowerIdle;
    mTarget = nullptr;
    setupModifiers();
    mMap.mSprites->size(next->id, mWidth, mHeight);
    showUpgrade(info);
    mMap.postEvent(L"tower_upgraded");
    return true;
}

bool TDTower::upgradeTier()
{
    const TDPrototype* base = mBaseRef.get(mMap.mPrototypes);
    const TDPrototype* current = currentProto();
    if (!base || !current || mTierCount >= base->tierUpdates || base->tierCost > static_cast<float>(mMap.mStats.mCoins))
        return false;
    mMap.mStats.spendCoins(tdtext::truncToInt(base->tierCost));
    ++mTierCount;
    const TDPrototype before = ownStats(*current);
    mTierStrength += base->tierK * base->strength;
    mTierRadius += base->tierK * base->radius;
    // What the step gives, the bought upgrades' share of it in, against what the tower has now
    // (upgrades and boosts in), to the nearest percent.
    const TDPrototype after = ownStats(*current);
    const float addStrength = after.strength - before.strength, addRadius = after.radius - before.radius;
    std::wstring info;
    const float hasRadius = mBonus.radius + current->radius, hasStrength = mBonus.strength + current->strength;
    if (addRadius != 0.0f && hasRadius > 0.0f)
        addInfoLine(info, L"towerUpgradeInfoRange", static_cast<i32>(std::lround(addRadius / hasRadius * 100.0f)));
    if (addStrength != 0.0f && hasStrength > 0.0f)
        addInfoLine(info, L"towerUpgradeInfoDamage", static_cast<i32>(std::lround(addStrength / hasStrength * 100.0f)));
    // The step counts from now on; every frame's reset puts it back.
    mBonus.strength += addStrength;
    mBonus.radius += addRadius;
    mState = kTowerIdle;
    mAnimTime = 0.0f;
    showUpgrade(info);
    return true;
}

void TDTower::showUpgrade(const std::wstring& info)
{
    TDIndicator* indicator = mMap.addIndicator(mBaseX, mBaseY - 30.0f, kIndicatorText, info);
    indicator->mLife = 2.5f;
    if (std::unique_ptr<TDEmitter> emitter = mMap.mParticleSystem->createEmitter(L"upgrade"))
    {
        emitter->setPosition(mBaseX, mBaseY + 15.0f);
        emitter->setState(kEmitterPlaying);
        mMap.mEmitters.push_back(std::move(emitter));
    }
    mMap.playSound(L"upgradeTower");
}

void TDTower::setupModifiers()
{
    mModifiers.clear();
    if (const TDPrototype* p = currentProto())
    {
        if (p->goldIncome > 0)
            mModifiers.push_back(
                std::make_unique<GoldIncomerModifier>(mMap, this, static_cast<float>(p->goldIncome), p->cooldown));
        if (p->boostTower)
            mModifiers.push_back(std::make_unique<MagicTowerBoost>(mMap, this));
        if (p->showInvisible)
            mModifiers.push_back(std::make_unique<ShowInvisible>(mMap, this));
    }
    mMap.sortTowers();
}
