// The difficulty a level is played at (TDMap::mMode, the profile's stored mode). The numbers are
// the ones profiles and level results store.
#pragma once

#include "Core/Base/Types.h"

enum class TDDifficulty : i32
{
    kDifficultyEasy = 0,
    kDifficultyNormal = 1,
    kDifficultyHard = 2,
    kDifficultyHardcore = 3, // its own levels, one life and no upgrades
};
using enum TDDifficulty;
