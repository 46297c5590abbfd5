// The running battle's counters: coins, kills, combo and gems.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Data/TDLevelResult.h"

#include <vector>

class TDHud;
class TDProgress;

class TDBattleStats
{
public:
    // Zeroes the counters of one battle; the player's gem total stays.
    void reset();
    void addCoins(i32 amount);
    // Coins spent on towers, spots and upgrades.
    void spendCoins(i32 amount);
    // A kill worth gold at (x, y): counts toward the running combo.
    void addKill(i32 gold, float x, float y);
    // Adds to the total and to the gems won here, and stores the total in the profile.
    void addGems(i32 amount);
    // Takes the price when that many are held (the caller tests first); the counter and the
    // stored total follow in every case.
    void spendGems(i32 amount);
    // Once per frame with the unscaled frame time: the shown coins run toward the real count,
    // and a combo closes after a full window without a kill.
    void update(float dt);
    // kills, combo and health bonus of the battle; stars and gems stay 0 for the result screen.
    void makeLevelResult(TDLevelResult& result, float health, TDDifficulty mode) const;

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
    std::vector<i32> mWaveList{0};
    float mComboWindow = 1.0f;
    float mComboTimer = 0.0f;
    float mLastKillX = 0.0f;
    float mLastKillY = 0.0f;

    // Set by the battle controller; null in stand-alone use.
    TDHud* hud = nullptr;
    TDProgress* progress = nullptr;

private:
    void payCombo();
};
