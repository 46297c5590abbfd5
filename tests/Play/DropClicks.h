// A crystal picked up as a player does: a unit falls, drops it, and the drop is clicked.
#pragma once

#include "support/GameHarness.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDUnit.h"

namespace playtest
{
// A unit of the running battle falls, drops its crystal and the player clicks it up; true when
// the crystal was counted.
inline bool pickUpCrystal(testsupport::GameHarness& game)
{
    TDMap& map = game.map();
    map.mDropChanceOverride = 1.0f;
    if (!game.runUntil([&] { return !map.mWaves.mUnits.empty(); }, 60.0f))
        return false;
    map.mWaves.mUnits.front()->damage(1.0e6f);
    TDTowerSpecial* drop = nullptr;
    auto lying = [&]
    {
        for (TDTowerSpecial* d : map.mDrops)
            if (d->mState == kDropLying)
                return (drop = d) != nullptr;
        return false;
    };
    if (!game.runUntil(lying, 10.0f))
        return false;
    const i32 gems = map.mStats.mGems;
    game.click(drop->mX, drop->mY);
    map.mDropChanceOverride = 0.0f;
    return map.mStats.mGems == gems + 1;
}
} // namespace playtest
