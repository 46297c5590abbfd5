// The hash behind math::Random: fixed integer steps so every machine gives the same numbers.
#include "Core/Base/Random.h"

namespace math
{
namespace
{
u32 gSeed = 0;
constexpr float kTwoPowMinus32 = 0x1p-32f; // 2.3283064e-10f

u32 NextHash(u32 seed)
{
    const u32 s = seed != 0 ? seed : gSeed + 1;
    gSeed = s;
    const u32 h1 = (s ^ 0xBC602Fu) * 0x9E3779B9u;
    const u32 h2 = ((h1 >> 26) ^ (h1 << 6) ^ h1) * 0x9E3779B9u;
    return ((h2 >> 12) ^ (h2 << 5)) + h2;
}

// Through double so the conversion is a single rounding of the exact value.
float ToFloat(u32 r) { return static_cast<float>(static_cast<double>(r)); }
} // namespace

float Random(u32 seed) { return ToFloat(NextHash(seed)) * kTwoPowMinus32; }

float RandomRange(float a, float b, u32 seed)
{
    const float r = ToFloat(NextHash(seed));
    return (r * (b - a)) * kTwoPowMinus32 + a;
}

u32 GetRandomSeed() { return gSeed; }
void SetRandomSeed(u32 seed) { gSeed = seed; }
} // namespace math
