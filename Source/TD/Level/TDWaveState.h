// The states of a wave (TDWaveProto::mState) and of its entries (TDWaveEntry::mState).
// Unscoped so that both fields stay i32.
#pragma once

#include "Core/Base/Types.h"

enum TDWaveState : i32
{
    kWaveWaiting = 0,
    kWaveActive = 1, // spawns its entries when due
};

enum TDWaveEntryState : i32
{
    kEntryNotSpawned = -1,
    kEntrySummoned = 1, // added during the battle by a summoner
    kEntryKilled = 2,   // also an entry whose unit could not be made
    kEntryThrough = 3,  // its unit reached the goal
    kEntrySpawned = 7,
    kEntryRemoving = 9, // its unit is no longer alive
};
