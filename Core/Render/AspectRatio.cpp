// Reducing a width and height to their smallest whole ratio.
#include "Core/Render/AspectRatio.h"

#include <numeric>

namespace render
{
AspectRatio::AspectRatio(u32 width, u32 height)
{
    const u32 divisor = std::gcd(width, height);
    if (divisor == 0)
        return; // both sides zero: keep 1:1
    mNumerator = width / divisor;
    mDenominator = height / divisor;
}
} // namespace render
