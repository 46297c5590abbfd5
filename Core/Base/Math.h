// Elementary math functions: thin wrappers over the C runtime, plus the move-toward step; the
// angle constants come with them.
#pragma once

#include "Core/Base/Constants.h"

#include <cmath>

namespace math
{
inline float Sin(float x) { return std::sin(x); }
inline double Sin(double x) { return std::sin(x); }
inline float Cos(float x) { return std::cos(x); }
inline double Cos(double x) { return std::cos(x); }
inline float Atan2(float y, float x) { return std::atan2(y, x); }
inline float Abs(float x) { return std::fabs(x); }
inline float Sqrt(float x) { return std::sqrt(x); }
inline float Ceil(float x) { return std::ceil(x); }
inline float Floor(float x) { return std::floor(x); }
inline double Floor(double x) { return std::floor(x); }
inline double Log10(double x) { return std::log10(x); }
inline double Pow(double base, double exponent) { return std::pow(base, exponent); }

// Moves value toward target by at most step. True when the value was already there or
// reached it by clamping; a step landing exactly on the target still returns false.
bool MoveToward(float& value, float step, float target);
} // namespace math
