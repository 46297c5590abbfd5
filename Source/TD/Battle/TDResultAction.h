// What the shop's "return" does after a finished level (TDMap::mResultAction).
#pragma once

#include "Core/Base/Types.h"

enum class TDResultAction : i32
{
    kResultActionNone = -1,
    kResultActionRestart = 1,   // after a defeat
    kResultActionNextLevel = 2, // after a victory
};
using enum TDResultAction;
