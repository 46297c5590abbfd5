// Angle constants in float and double.
#pragma once

namespace math
{
inline constexpr float kTwoPi = 6.2831855f;
inline constexpr float kOneOverTwoPi = 1.0f / kTwoPi; // 0.15915494
inline constexpr float kDegToRad = 0.017453292f;      // nearest float to pi / 180
inline constexpr float kRadToDeg = 1.0f / kDegToRad;  // 57.29578

inline constexpr double kTwoPiD = 6.283185307179586;
inline constexpr double kOneOverTwoPiD = 1.0 / kTwoPiD; // 0.15915494309189535
// The float pi divided by 180 in double, not the double pi / 180: 180 degrees become the float pi.
inline constexpr double kDegToRadD = static_cast<double>(3.1415927f) / 180.0; // 0.017453293005625408
inline constexpr double kRadToDegD = 1.0 / kDegToRadD;                        // 57.29577791868204
} // namespace math
