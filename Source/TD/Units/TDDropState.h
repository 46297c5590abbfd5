// Where a dropped coin or gem is (TDTowerSpecial::mState). Unscoped so that mState stays an i32.
#pragma once

#include "Core/Base/Types.h"

enum TDDropState : i32
{
    kDropArriving = 0,
    kDropLying = 1,
    kDropCollected = 2,
};
