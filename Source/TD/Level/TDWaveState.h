// The states of a wave (TDWaveProto::mState) and of its entries (TDWaveEntry::mState). Scoped
// types whose names the game uses bare.
#pragma once

#include "Core/Base/Types.h"

enum class TDWaveState : i32
{
    kWaveWaiting = 0,
    kWaveActive = 1, // spawns its entries when due
};
using enum TDWaveState;

enum class TDWaveEntryState : i32
{
    kEntryNotSpawned = -1,
    kEntrySummoned = 1, // added during the battle by a summoner
    kEntryKilled = 2,   // also an entry whose unit could not be made
    kEntryThrough = 3,  // its unit reached the goal
    kEntrySpawned = 7,
    kEntryRemoving = 9, // its unit is no longer alive
};
using enum TDWaveEntryState;
