// PackBits channels decoded a row at a time together and written as whole 0xAARRGGBB pixels: one
// pass of plain stores instead of one read-modify-write pass per channel.
#pragma once

#include "Core/Base/Types.h"

#include <vector>

namespace psd
{
struct PackedPlane
{
    i32 mId = 0;                 // -1 transparency, 0-2 red, green, blue (grey: 0)
    const u8* mCounts = nullptr; // rows big-endian u16 byte counts
    const u8* mData = nullptr;   // the packed rows
    u64 mDataSize = 0;
};

// Writes rows x width pixels, pitch pixels apart. Colours no plane gives are 0, transparency 255;
// grey takes plane 0 for all three colours. Later planes with the same id win.
void CombinePackBits(const PackedPlane* planes, u32 count, u64 width, u32 rows, bool grey, u32* out, u64 pitch,
                     std::vector<u8>& work);
} // namespace psd
