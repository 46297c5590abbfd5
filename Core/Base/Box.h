// An axis-aligned 3D bounding box; an empty box has min > max so that the first point sets both.
#pragma once

#include <algorithm>
#include <array>

namespace math
{
struct Box
{
    static constexpr float kLargest = 3.4028235e38f; // largest finite float

    float minX = kLargest, minY = kLargest, minZ = kLargest;
    float maxX = -kLargest, maxY = -kLargest, maxZ = -kLargest;

    void SetEmpty()
    {
        minX = minY = minZ = kLargest;
        maxX = maxY = maxZ = -kLargest;
    }
    bool IsEmpty() const { return minX > maxX || minY > maxY || minZ > maxZ; }

    void AddPoint(float x, float y, float z = 0.0f) { Widen(x, y, z, x, y, z); }
    // Widens by the other box's min and max (an empty other leaves this box as it was).
    void Merge(const Box& other) { Widen(other.minX, other.minY, other.minZ, other.maxX, other.maxY, other.maxZ); }

    float Width() const { return maxX - minX; }
    float Height() const { return maxY - minY; }
    float Depth() const { return maxZ - minZ; }

    // Corners 0..7: (min,min,min) (min,min,max) (max,min,max) (max,min,min), then the same
    // four with max y. Any other n gives (0, 0, 0).
    std::array<float, 3> GetCorner(int n) const
    {
        switch (n)
        {
        case 0: return {minX, minY, minZ};
        case 1: return {minX, minY, maxZ};
        case 2: return {maxX, minY, maxZ};
        case 3: return {maxX, minY, minZ};
        case 4: return {minX, maxY, minZ};
        case 5: return {minX, maxY, maxZ};
        case 6: return {maxX, maxY, maxZ};
        case 7: return {maxX, maxY, minZ};
        default: return {0.0f, 0.0f, 0.0f};
        }
    }

    bool operator==(const Box& other) const = default;

private:
    void Widen(float loX, float loY, float loZ, float hiX, float hiY, float hiZ)
    {
        minX = std::min(minX, loX);
        minY = std::min(minY, loY);
        minZ = std::min(minZ, loZ);
        maxX = std::max(maxX, hiX);
        maxY = std::max(maxY, hiY);
        maxZ = std::max(maxZ, hiZ);
    }
};
} // namespace math
