// A decoded Y'CbCr picture and its conversion to opaque 32-bit ARGB rows.
#pragma once

#include "Core/Base/Types.h"

#include <cstddef>

namespace video
{
// Planes as the decoder hands them: row 0 is the top row; strides may be negative.
struct YuvPicture
{
    const u8* mY = nullptr;
    const u8* mU = nullptr;
    const u8* mV = nullptr;
    std::ptrdiff_t mYStride = 0;
    std::ptrdiff_t mUvStride = 0;
    // The visible region, in luma samples, inside the coded frame.
    u32 mX = 0;
    u32 mY0 = 0;
    u32 mWidth = 0;
    u32 mHeight = 0;
    // 1 where chroma is halved along that axis (4:2:0 both, 4:2:2 x only, 4:4:4 neither).
    u32 mChromaShiftX = 1;
    u32 mChromaShiftY = 1;
};

// Full-range conversion with fixed integer tables (no offset for Y):
//   R = Y + RV[V], G = Y - GU[U] - GV[V], B = Y + BU[U], each clamped to 0..255.
// Writes min(picture, destination) columns and rows; rows start `pitch` bytes apart (rounded
// down to a multiple of 4).
void ConvertToArgb(const YuvPicture& picture, void* destination, u32 pitch, u32 width, u32 height);

// One pixel by the same tables (for tests and tools).
u32 YuvToArgb(u8 y, u8 u, u8 v);
} // namespace video
