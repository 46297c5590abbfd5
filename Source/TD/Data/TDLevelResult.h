// The stored result of one level in one mode.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Data/TDDifficulty.h"

struct TDLevelResult
{
    i32 kills = 0;
    i32 combo = 0;
    i32 healthBonus = 0;
    i32 stars = 0;
    i32 gems = 0;
    i32 high = 0;
    TDDifficulty mode = kDifficultyEasy;

    i32 totalScore() const { return kills + healthBonus; }
};
