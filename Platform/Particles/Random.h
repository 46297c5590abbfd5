// The emitters' own random numbers: a small seeded generator, the same on every machine.
#pragma once

#include "Platform/Base/Types.h"

namespace particles
{
class Random
{
public:
    explicit Random(u32 seed = 1) { Seed(seed); }
    void Seed(u32 seed) { mState = static_cast<u64>(seed) * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull; }

    // splitmix64
    u32 Next()
    {
        u64 z = (mState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<u32>((z ^ (z >> 31)) >> 32);
    }
    // [0, 1)
    float Unit() { return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f); }
    float Between(float low, float high) { return low + (high - low) * Unit(); }

private:
    u64 mState = 0;
};

// Mixes two numbers into a seed (for the copies of one emitter).
inline u32 MixSeed(u32 a, u32 b)
{
    u32 h = a ^ (b * 0x85EBCA6Bu + 0x9E3779B9u);
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}
} // namespace particles
