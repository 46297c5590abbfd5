// Where the new profile's name input goes on (TDMap::mAfterProfileInput).
#pragma once

#include "Core/Base/Types.h"

enum class TDAfterProfileInput : i32
{
    kAfterInputProfiles = 0, // opened from the profiles screen: back to it
    kAfterInputPlay = 1,     // "mmenu": the main menu's "play", then the episodes
    kAfterInputShop = 2,     // "shop": the main menu's "shop", then the shop
};
using enum TDAfterProfileInput;
