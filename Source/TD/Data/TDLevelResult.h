// The stored result of one level in one mode.
#pragma once

#include <algorithm>
#include <limits>

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

    // Stored numbers may be as large as a profile holds; the sum stops at the largest score.
    i32 totalScore() const
    {
        const i64 sum = static_cast<i64>(kills) + healthBonus;
        return static_cast<i32>(std::clamp<i64>(sum, std::numeric_limits<i32>::min(), std::numeric_limits<i32>::max()));
    }
};
