// What a unit is doing (TDUnit::mState).
#pragma once

#include "Core/Base/Types.h"

enum class TDUnitState : i32
{
    kUnitWalking = 1,
    kUnitDying = 2,   // the death animation
    kUnitSpecial = 4, // standing for its "special" animation (raising, raised, healing)
    kUnitBeamed = 5,  // held by a teleporting tower's beam
    kUnitFading = 6,  // dead, fading out
};
using enum TDUnitState;
