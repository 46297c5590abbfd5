// A point of the level's road network, with its properties ("spawn", "goal", ...).
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Data/TDPropertyBag.h"

namespace tinyxml2
{
class XMLElement;
}

class TDPoint
{
public:
    TDPoint() = default;
    TDPoint(i32 id, float x, float y) : id(id), x(x), y(y) {}
    // "x", "y" (scaled by coordScale) and "id", each 0 when absent, and the property children.
    TDPoint(const tinyxml2::XMLElement* element, float coordScale);

    bool isSpawn() const { return properties.peekFloat("spawn") == 1.0f; }
    bool isGoal() const { return properties.peekFloat("goal") == 1.0f; }

    i32 id = 0;
    float x = 0.0f;
    float y = 0.0f;
    TDPropertyBag properties;
};
