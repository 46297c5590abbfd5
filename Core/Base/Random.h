// Reproducible random numbers over one process-wide seed.
#pragma once

#include "Core/Base/Types.h"

namespace math
{
// Uniform in [0, 1]; exactly 1 is possible through the float rounding of large hashes.
// A non-zero seed makes the result repeatable and moves the sequence there; seed 0 takes
// the process-wide seed + 1, so unseeded calls walk the seeds 1, 2, 3, ...
float Random(u32 seed = 0);
// a + (b - a) x the same kind of number.
float RandomRange(float a, float b, u32 seed = 0);

// The process-wide seed (0 at start): the next unseeded call uses this value + 1.
u32 GetRandomSeed();
void SetRandomSeed(u32 seed);
} // namespace math
