// One point of a path polyline, with the curve's unit normal there.
#pragma once

#include "Core/Base/Types.h"

struct TDPathPoint
{
    float normalX = 0.0f;
    float normalY = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
    u32 extra = 0; // carried by the path cache only
};
