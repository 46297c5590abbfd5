// The move-toward step used by animations and counters.
#include "Core/Base/Math.h"

namespace math
{
bool MoveToward(float& value, float step, float target)
{
    if (value == target)
        return true;
    if (step > Abs(value - target))
    {
        value = target;
        return true;
    }
    value += value > target ? -step : step;
    return false;
}
} // namespace math
