// The running battle's counters.
#include "Source/TD/Units/TDBattleStats.h"

#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Seams/TDBattleServices.h"

namespace
{
i32 saturatingAdd(i32 a, i32 b)
{
    long long sum = static_cast<long long>(a) + b;
    return static_cast<i32>(sum > 2147483647LL ? 2147483647LL : sum < -2147483647LL ? -2147483647LL : sum);
}
} // namespace

void TDBattleStats::reset()
{
    mCoins = mKillScore = mComboKills = mGemsWon = mComboBonus = 0;
    mUnitsThrough = mCoinsSpent = mShownCoins = mDamageTaken = 0;
    mStartCoins = 0;
}

void TDBattleStats::addCoins(i32 amount)
{
    mCoins = saturatingAdd(mCoins, amount);
    if (hud)
        hud->updateCoins();
}

void TDBattleStats::spendCoins(i32 amount)
{
    mCoins = saturatingAdd(mCoins, -amount);
    mCoinsSpent = saturatingAdd(mCoinsSpent, amount);
    if (hud)
        hud->updateCoins();
}

void TDBattleStats::payCombo()
{
    if (mComboKills > 1)
    {
        i32 bonus = tdtext::truncToInt(static_cast<float>(mComboKills) * 1.3f + 0.5f);
        mComboBonus = saturatingAdd(mComboBonus, bonus);
        mCoins = saturatingAdd(mCoins, bonus);
    }
    mComboKills = 0;
}

void TDBattleStats::addKill(i32 gold, float x, float y)
{
    if (!(mComboTimer > mComboWindow))
    {
        ++mComboKills;
        mLastKillX = x;
        mLastKillY = y;
    }
    else if (mComboKills > 1)
        payCombo();
    mKillScore = saturatingAdd(mKillScore, gold);
    mCoins = saturatingAdd(mCoins, gold);
    mComboTimer = 0.0f;
    if (hud)
        hud->updateCoins();
}

void TDBattleStats::addGems(i32 amount)
{
    mGems = saturatingAdd(mGems, amount);
    mGemsWon = saturatingAdd(mGemsWon, amount);
    if (hud)
        hud->updateCrystals();
    if (progress)
        progress->setGems(mGems);
}

void TDBattleStats::spendGems(i32 amount)
{
    if (mGems >= amount)
        mGems -= amount;
    if (hud)
        hud->updateCrystals();
    if (progress)
        progress->setGems(mGems);
}

void TDBattleStats::update(float dt)
{
    if (mShownCoins != mCoins)
    {
        long long diff = static_cast<long long>(mCoins) - mShownCoins;
        i32 step = diff >= 4 || diff <= -4 ? 4 : 1;
        mShownCoins += diff > 0 ? step : -step;
        if (hud)
            hud->updateCoins();
    }
    mComboTimer += dt;
    if (mComboTimer > mComboWindow)
    {
        mComboTimer = 0.0f;
        payCombo();
    }
}

void TDBattleStats::makeLevelResult(TDLevelResult& result, float health, TDDifficulty mode) const
{
    result.kills = mKillScore;
    result.combo = mComboBonus;
    result.healthBonus = tdtext::truncToInt(health * 100.0f);
    result.stars = 0;
    result.gems = 0;
    result.mode = mode;
}
