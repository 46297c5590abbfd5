// The reduced width:height of a screen or window, e.g. 16:9 for 1920 x 1080.
#pragma once

#include "Core/Base/Types.h"

namespace render
{
struct AspectRatio
{
    // Divides both sides by their greatest common divisor; a zero size gives 1:1.
    AspectRatio(u32 width, u32 height);
    u32 mNumerator = 1;
    u32 mDenominator = 1;
    bool operator==(const AspectRatio& o) const = default;
};
} // namespace render
