// What the shop's "return" does after a finished level (TDMap::mResultAction). Unscoped so that
// the field stays an i32.
#pragma once

#include "Core/Base/Types.h"

enum TDResultAction : i32
{
    kResultActionNone = -1,
    kResultActionRestart = 1,   // after a defeat
    kResultActionNextLevel = 2, // after a victory
};
