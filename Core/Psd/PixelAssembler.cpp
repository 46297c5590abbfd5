// Channel images to 0xAARRGGBB. 16-bit samples keep their high byte; 1-bit data reads as
// black (bit set) or white, whatever the mode.
#include "Core/Psd/PixelAssembler.h"

#include "Core/Psd/Channels.h"
#include "Core/Psd/Colour.h"
#include "Core/Psd/Document.h"

#include <algorithm>
#include <bit>

namespace psd
{
namespace
{
// Sample x of row y of a channel image, as a byte.
inline u8 Sample(const u8* row, u32 x, u32 depth)
{
    if (depth == 16)
        return row[2 * x];
    if (depth == 1)
        return (row[x >> 3] & (0x80 >> (x & 7))) ? 0 : 255;
    return row[x];
}
} // namespace

PixelAssembler::PixelAssembler(const PixelFormat& format, u32* out, bool alphaComing) : mFormat(format), mOut(out)
{
    u32 mode = format.mMode;
    mDirect = mode == kModeBitmap || mode == kModeGrey || mode == kModeDuotone || mode == kModeRgb;
    if (mDirect && !alphaComing)
        std::fill(mOut, mOut + Count(), 0xFF000000u);
}

PixelLane PixelAssembler::Lane(i32 id) const
{
    PixelLane lane;
    if (!mDirect || mFormat.mDepth != 8 || id < -1 || id > 2 || (mFormat.mMode != kModeRgb && id != -1))
        return lane;
    // Byte of the lane inside a host-order 0xAARRGGBB word.
    u32 shift = id == -1 ? 24 : 16 - 8 * static_cast<u32>(id);
    u32 byte = std::endian::native == std::endian::little ? shift / 8 : 3 - shift / 8;
    lane.mFirst = reinterpret_cast<u8*>(mOut) + byte;
    lane.mPitch = u64(mFormat.mWidth) * 4;
    return lane;
}

void PixelAssembler::WriteLane(u32 shift, const u8* data)
{
    const u32 keep = ~(0xFFu << shift);
    const u32 w = mFormat.mWidth;
    const u64 rowBytes = RowBytes(w, mFormat.mDepth);
    for (u32 y = 0; y < mFormat.mHeight; ++y)
    {
        const u8* row = data + y * rowBytes;
        u32* out = mOut + u64(y) * w;
        if (mFormat.mDepth == 8)
        {
            // Byte stores into the lane: no read of the other lanes.
            u8* lane = reinterpret_cast<u8*>(out) + (std::endian::native == std::endian::little ? shift / 8 : 3 - shift / 8);
            for (u32 x = 0; x < w; ++x)
                lane[4 * x] = row[x];
        }
        else
        {
            for (u32 x = 0; x < w; ++x)
                out[x] = (out[x] & keep) | (u32(Sample(row, x, mFormat.mDepth)) << shift);
        }
    }
}

void PixelAssembler::WritePlane(std::vector<u8>& plane, const u8* data)
{
    const u32 w = mFormat.mWidth;
    const u64 rowBytes = RowBytes(w, mFormat.mDepth);
    plane.resize(Count());
    for (u32 y = 0; y < mFormat.mHeight; ++y)
    {
        const u8* row = data + y * rowBytes;
        u8* out = plane.data() + u64(y) * w;
        for (u32 x = 0; x < w; ++x)
            out[x] = Sample(row, x, mFormat.mDepth);
    }
}

void PixelAssembler::AddChannel(i32 id, const u8* data)
{
    if (id < -1 || id > 3)
        return;
    if (mDirect)
    {
        bool grey = mFormat.mMode != kModeRgb;
        if (id == -1)
            WriteLane(24, data);
        else if (grey && id == 0)
        {
            // Grey fills all three colour lanes from one channel.
            WriteLane(16, data);
            const u64 n = Count();
            for (u64 i = 0; i < n; ++i)
            {
                u32 v = (mOut[i] >> 16) & 0xFF;
                mOut[i] = (mOut[i] & 0xFF000000u) | (v << 16) | (v << 8) | v;
            }
        }
        else if (!grey && id <= 2)
            WriteLane(16 - 8 * id, data);
        return;
    }
    WritePlane(mPlanes[id + 1], data);
}

void PixelAssembler::Finish()
{
    if (mDirect)
        return;
    const u64 n = Count();
    auto plane = [&](i32 id, u64 i) -> u32 {
        const std::vector<u8>& p = mPlanes[id + 1];
        return p.empty() ? 0 : p[i];
    };
    bool hasAlpha = !mPlanes[0].empty();
    switch (mFormat.mMode)
    {
    case kModeIndexed:
    {
        const std::vector<u32>& palette = *mFormat.mPalette;
        i32 count = std::min<i32>(mFormat.mIndexedCount, static_cast<i32>(palette.size()));
        for (u64 i = 0; i < n; ++i)
        {
            i32 index = static_cast<i32>(plane(0, i));
            mOut[i] = (index < count && index != mFormat.mTransparentIndex) ? palette[index] : 0x00FFFFFFu;
        }
        break;
    }
    case kModeCmyk:
        for (u64 i = 0; i < n; ++i)
        {
            u32 a = hasAlpha ? plane(-1, i) : 255;
            mOut[i] = (a << 24) | CmykBytesToRgb(255 - plane(0, i), 255 - plane(1, i), 255 - plane(2, i), 255 - plane(3, i));
        }
        break;
    case kModeMultichannel:
        for (u64 i = 0; i < n; ++i)
        {
            u32 k = hasAlpha ? 255 - plane(-1, i) : 0;
            mOut[i] = 0xFF000000u | CmykBytesToRgb(255 - plane(0, i), 255 - plane(1, i), 255 - plane(2, i), k);
        }
        break;
    case kModeLab:
        for (u64 i = 0; i < n; ++i)
        {
            u32 a = hasAlpha ? plane(-1, i) : 255;
            double l = static_cast<double>(plane(0, i) * 100 / 256);
            mOut[i] = LabToArgb(l, double(i32(plane(1, i)) - 128), double(i32(plane(2, i)) - 128), static_cast<u8>(a));
        }
        break;
    default:
        std::fill(mOut, mOut + n, 0x00FFFFFFu);
        break;
    }
}
} // namespace psd
