// The running battle's counters.
#include "Source/TD/TDBattleStats.h"

#include "Source/TD/TDText.h"

void TDBattleStats::reset()
{
    mCoins = mKillScore = mComboKills = mGemsWon = mComboBonus = 0;
    mUnitsThrough = mCoinsSpent = mShownCoins = mDamageTaken = 0;
    mStartCoins = 0;
}

void TDBattleStats::addCoins(i32 amount)
{
    long long sum = static_cast<long long>(mCoins) + amount;
    mCoins = static_cast<i32>(sum > 2147483647LL ? 2147483647LL : sum < -2147483647LL ? -2147483647LL : sum);
}

void TDBattleStats::makeLevelResult(TDLevelResult& result, float health, i32 mode) const
{
    result.kills = mKillScore;
    result.combo = mComboBonus;
    result.healthBonus = tdtext::truncToInt(health * 100.0f);
    result.stars = 0;
    result.gems = 0;
    result.mode = mode;
}
