// Where the shop's "back_ac" leads (TDMap::mShopReturnTarget); set by whoever opens the shop.
#pragma once

#include "Core/Base/Types.h"

enum class TDShopReturn : i32
{
    kShopReturnNone = 0,     // no shop opened yet: "back_ac" does nothing
    kShopReturnMainMenu = 1, // "mmenu"
    kShopReturnLevels = 2,   // "levels"
    kShopReturnEpisodes = 3, // "episodes"
    kShopReturnGame = 4,     // "game": after a level; left with "return_ac", "back_ac" does nothing
};
using enum TDShopReturn;
