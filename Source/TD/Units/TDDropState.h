// Where a dropped coin or gem is (TDTowerSpecial::mState).
#pragma once

#include "Core/Base/Types.h"

enum class TDDropState : i32
{
    kDropArriving = 0,
    kDropLying = 1,
    kDropCollected = 2,
};
using enum TDDropState;
