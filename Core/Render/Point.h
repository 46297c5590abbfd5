// Points of the renderer's math: 3D positions and 4-component shader vectors.
#pragma once

namespace math
{
struct Point3
{
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Point3() = default;
    Point3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
    Point3 operator+(const Point3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Point3 operator-(const Point3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Point3& operator+=(const Point3& o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    // Equal when every coordinate differs by at most 0.0002.
    bool operator==(const Point3& o) const;
    bool operator!=(const Point3& o) const { return !(*this == o); }
};

struct Point4
{
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;

    Point4() = default;
    Point4(float ax, float ay, float az, float aw) : x(ax), y(ay), z(az), w(aw) {}
    // Component-wise product.
    Point4 operator*(const Point4& o) const { return {x * o.x, y * o.y, z * o.z, w * o.w}; }
};
} // namespace math
