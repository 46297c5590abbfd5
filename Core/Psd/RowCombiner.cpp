// Row-wise combination of PackBits channels into pixels.
#include "Core/Psd/RowCombiner.h"

#include "Core/Psd/Channels.h"

#include <algorithm>
#include <cstring>

namespace psd
{
namespace
{
void CombineRow(const u8* __restrict a, const u8* __restrict r, const u8* __restrict g, const u8* __restrict b,
                u64 count, u32* __restrict out)
{
    for (u64 i = 0; i < count; ++i)
        out[i] = (u32(a[i]) << 24) | (u32(r[i]) << 16) | (u32(g[i]) << 8) | b[i];
}
} // namespace

void CombinePackBits(const PackedPlane* planes, u32 count, u64 width, u32 rows, bool grey, u32* out, u64 pitch,
                     std::vector<u8>& work)
{
    if (width == 0)
        return;
    // Rows for transparency, red, green, blue, then a row of 0 and a row of 255.
    work.resize(width * 6);
    u8* lanes[4] = {work.data(), work.data() + width, work.data() + 2 * width, work.data() + 3 * width};
    u8* zero = work.data() + 4 * width;
    u8* full = work.data() + 5 * width;
    std::memset(zero, 0, width);
    std::memset(full, 255, width);
    const u8* source[4] = {full, zero, zero, zero};
    for (u32 p = 0; p < count; ++p)
    {
        const i32 id = planes[p].mId;
        if (id >= -1 && id <= (grey ? 0 : 2))
            source[id + 1] = lanes[id + 1];
    }
    if (grey)
        source[2] = source[3] = source[1];
    std::vector<u64> offsets(count, 0);
    for (u32 y = 0; y < rows; ++y)
    {
        for (u32 p = 0; p < count; ++p)
        {
            const PackedPlane& plane = planes[p];
            const i32 id = plane.mId;
            const u64 start = offsets[p];
            offsets[p] += (u64(plane.mCounts[2 * y]) << 8) | plane.mCounts[2 * y + 1];
            if (id < -1 || id > (grey ? 0 : 2))
                continue;
            if (start < plane.mDataSize)
                UnpackBitsRow(plane.mData + start, plane.mData + std::min(offsets[p], plane.mDataSize), lanes[id + 1],
                              width);
            else
                std::memset(lanes[id + 1], 0, width);
        }
        CombineRow(source[0], source[1], source[2], source[3], width, out + u64(y) * pitch);
    }
}
} // namespace psd
