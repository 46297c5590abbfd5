// The mouse event records handed down the hit-test walk.
#pragma once

#include "Core/Base/Types.h"

namespace layer
{
struct OnMouseDown
{
    u32 button = 0; // 1 left, 3 right
};
struct OnMouseUp
{
    u32 button = 0;
};
struct OnMouseMove
{
};
struct OnMouseDrag
{
};
struct OnMouseWheel
{
    u16 value = 0; // widened without sign when handed to a listener
};
} // namespace layer
