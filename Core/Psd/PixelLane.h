// Where the 8-bit samples of one channel go inside 0xAARRGGBB pixels, and the row writer.
#pragma once

#include "Core/Base/Types.h"

namespace psd
{
struct PixelLane
{
    u32* mFirst = nullptr; // first pixel of the area; null: no lane
    u64 mPitch = 0;        // pixels between rows
    u32 mShift = 0;        // bit position of the lane: 24 alpha, 16 red, 8 green, 0 blue
    bool mGrey = false;    // the sample fills red, green and blue (mShift unused)
    u32 mSet = 0;          // bits set in every pixel written (opaque alpha when no transparency comes)
    bool mInit = false;    // the first lane written: whole pixels are stored, the other lanes 0
};

// Writes count samples into the lane of count consecutive pixels, keeping the other lanes (or
// clearing them when the lane initialises the pixels).
void SpreadRow(const u8* samples, u64 count, u32* out, const PixelLane& lane);
// Writes count pixels whole (other lanes 0) from two lanes at once: the first lane's samples from
// first, the second's from the bytes [3 x count, 4 x count) of out itself, which this overwrites.
void WritePairInPlace(const u8* first, const PixelLane& firstLane, const PixelLane& secondLane, u32* out, u64 count);
} // namespace psd
