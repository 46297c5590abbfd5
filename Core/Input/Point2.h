// A point or vector of two floats (positions of input events, in game units).
#pragma once

namespace math
{
struct Point2
{
    float x = 0;
    float y = 0;
    Point2() = default;
    Point2(float px, float py) : x(px), y(py) {}
    bool operator==(const Point2&) const = default;
};
} // namespace math
