// A width:height ratio in lowest terms (display-mode choice).
#pragma once

#include "Core/Base/Types.h"

namespace render
{
struct ScreenRatio
{
    // 0 x 0 gives 1:1 (there is no divisor to reduce by).
    ScreenRatio(u32 width, u32 height);
    u32 mNumerator = 1;
    u32 mDenominator = 1;
    bool operator==(const ScreenRatio& o) const = default;
};
} // namespace render
