// A width:height ratio in lowest terms.
#include "Core/Render/AspectRatio.h"

namespace render
{
AspectRatio::AspectRatio(u32 width, u32 height)
{
    u32 a = width, b = height;
    while (b != 0)
    {
        u32 t = a % b;
        a = b;
        b = t;
    }
    if (a == 0)
        return; // 0 x 0: no divisor, 1:1
    mNumerator = width / a;
    mDenominator = height / a;
}
} // namespace render
