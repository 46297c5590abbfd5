// What a tower is doing (TDTower::mState).
#pragma once

#include "Core/Base/Types.h"

enum class TDTowerState : i32
{
    kTowerIdle = 0,
    kTowerLooking = 1,        // nobody about: turns to a random angle
    kTowerFiring = 3,         // the firing animation; fires at its end
    kTowerAiming = 4,         // a target in range: turns towards it
    kTowerBeaming = 5,        // a teleporting tower's beam holds its target
    kTowerAwaitingBullet = 7, // the shot flies: waits until its bullet is gone
    kTowerPausing = 9,        // just built, or done looking around: waits out mPauseTimer
};
using enum TDTowerState;
