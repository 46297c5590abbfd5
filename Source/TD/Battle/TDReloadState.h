// How far a level reload has got (TDMap::mReloadState).
#pragma once

#include "Core/Base/Types.h"

enum class TDReloadState : i32
{
    kReloadNone = 0,
    kReloadRequested = 1, // the next draw shows the loading picture
    kReloadShown = 2,     // the picture is up: the next update loads the level again
};
using enum TDReloadState;
