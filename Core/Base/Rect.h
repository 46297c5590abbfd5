// An axis-aligned rectangle: position and size.
#pragma once

namespace math
{
struct Rect
{
    float x = 0.0f;
    float y = 0.0f;
    float w = 0.0f;
    float h = 0.0f;

    Rect() = default;
    Rect(float x_, float y_, float w_, float h_) : x(x_), y(y_), w(w_), h(h_) {}

    float Right() const { return x + w; }
    float Bottom() const { return y + h; }
    // Left and top edges inside, right and bottom outside.
    bool Contains(float px, float py) const { return px >= x && py >= y && px < x + w && py < y + h; }

    bool operator==(const Rect& other) const = default;
};
} // namespace math
