// The running battle's counters: coins, kills, combo and gems.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/TDLevelResult.h"

class TDBattleStats
{
public:
    // Zeroes the counters of one battle; the player's gem total stays.
    void reset();
    void addCoins(i32 amount);
    // kills, combo and health bonus of the battle; stars and gems stay 0 for the result screen.
    void makeLevelResult(TDLevelResult& result, float health, i32 mode) const;

    i32 mCoins = 0;
    i32 mStartCoins = 0;
    i32 mShownCoins = 0;
    i32 mKillScore = 0;
    i32 mComboKills = 0;
    i32 mGemsWon = 0;
    i32 mComboBonus = 0;
    i32 mUnitsThrough = 0;
    i32 mCoinsSpent = 0;
    i32 mDamageTaken = 0;
    i32 mGems = 0;
};
