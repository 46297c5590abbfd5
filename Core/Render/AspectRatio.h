// A width:height ratio in lowest terms (display-mode choice).
#pragma once

#include "Core/Base/Types.h"

namespace render
{
struct AspectRatio
{
    // 0 x 0 gives 1:1 (there is no divisor to reduce by).
    AspectRatio(u32 width, u32 height);
    u32 mNumerator = 1;
    u32 mDenominator = 1;
    bool operator==(const AspectRatio& o) const = default;
};
} // namespace render
