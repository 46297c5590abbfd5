// Values read from descriptors: gradients, pattern references, points and contour tables.
#pragma once

#include "Core/Base/Types.h"

#include <array>
#include <string>
#include <vector>

namespace psd
{
// UTF-16 code units kept as the file stores them, converted to host order.
typedef std::vector<u16> Utf16Units;

// A 256-entry lookup table; the default is the identity.
struct Contour
{
    Contour();
    std::array<u8, 256> mTable;
};

struct Gradient
{
    struct ColourStop
    {
        u32 mColour = 0xFF000000;
        u32 mType = 2; // 0 foreground, 1 background, 2 user colour
        u32 mLocation = 0;
        u32 mMidpoint = 50;
    };
    struct TransparencyStop
    {
        u16 mOpacity = 100;
        u32 mLocation = 0;
        u32 mMidpoint = 50;
    };
    Utf16Units mName;
    i32 mInterpolation = 0;
    std::vector<ColourStop> mColourStops;
    std::vector<TransparencyStop> mTransparencyStops;
};

struct PatternRef
{
    Utf16Units mName;
    Utf16Units mId;
};

struct Point
{
    double mX = 0.0;
    double mY = 0.0;
};
} // namespace psd
