// A build spot of the level: its prices, type, boosts and whether it is open for building.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Data/TDPropertyBag.h"

namespace tinyxml2
{
class XMLElement;
}

class TDBuildSpot
{
public:
    TDBuildSpot() = default;
    explicit TDBuildSpot(const tinyxml2::XMLElement* element);

    i32 costGold = 0; // coins
    i32 costReal = 0; // crystals
    i32 type = 0;     // 0 free, 1 gold-locked, 2 premium-locked picture
    TDPropertyBag properties;
    float x = 0.0f;
    float y = 0.0f;
    // Open for building: no price, or bought. Whether a tower stands on it is the spot frame's.
    bool open = false;
};
