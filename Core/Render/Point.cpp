// Point comparison with the renderer's tolerance.
#include "Core/Render/Point.h"

#include <cmath>

namespace math
{
bool Point3::operator==(const Point3& o) const
{
    const float epsilon = 0.0002f;
    // Differences are taken in double so that 0.0002 itself compares equal.
    return std::fabs(static_cast<double>(x) - o.x) <= epsilon && std::fabs(static_cast<double>(y) - o.y) <= epsilon &&
           std::fabs(static_cast<double>(z) - o.z) <= epsilon;
}
} // namespace math
