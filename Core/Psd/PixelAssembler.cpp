// Channel images to 0xAARRGGBB. 16-bit samples keep their high byte; 1-bit data reads as
// black (bit set) or white, whatever the mode.
#include "Core/Psd/PixelAssembler.h"

#include "Core/Psd/Channels.h"
#include "Core/Psd/Colour.h"
#include "Core/Psd/Document.h"

#include <algorithm>
#include <cstring>

namespace psd
{
PixelAssembler::PixelAssembler(const PixelFormat& format, u32* out, bool alphaComing, Budget* budget)
    : mFormat(format), mOut(out), mAlphaComing(alphaComing), mBudget(budget)
{
    mDirect = Direct(format.mMode);
}

bool PixelAssembler::Direct(u32 mode)
{
    return mode == kModeBitmap || mode == kModeGrey || mode == kModeDuotone || mode == kModeRgb;
}

PixelAssembler::~PixelAssembler()
{
    if (mBudget)
        mBudget->Give(mPlaneBytes);
}

PixelLane PixelAssembler::LaneOf(i32 id) const
{
    PixelLane lane;
    const bool grey = mFormat.mMode != kModeRgb;
    if (!mDirect || id < -1 || id > (grey ? 0 : 2))
        return lane;
    lane.mFirst = mOut;
    lane.mPitch = mFormat.mWidth;
    lane.mGrey = grey && id == 0;
    lane.mShift = id == -1 ? 24 : 16 - 8 * static_cast<u32>(id);
    // Colour lanes make the pixel opaque unless a transparency channel will set it.
    lane.mSet = id != -1 && !mAlphaComing ? 0xFF000000u : 0;
    return lane;
}

PixelLane PixelAssembler::Lane(i32 id)
{
    if (mFormat.mDepth != 8)
        return PixelLane();
    PixelLane lane = LaneOf(id);
    if (lane.mFirst)
    {
        lane.mInit = !mWritten;
        mWritten = true;
    }
    return lane;
}

const u8* PixelAssembler::RowSamples(const u8* data, u32 y)
{
    const u32 w = mFormat.mWidth;
    const u8* row = data + u64(y) * RowBytes(w, mFormat.mDepth);
    if (mFormat.mDepth == 8)
        return row;
    mRow.resize(w);
    if (mFormat.mDepth == 16)
    {
        for (u32 x = 0; x < w; ++x)
            mRow[x] = row[2 * x];
    }
    else
    {
        for (u32 x = 0; x < w; ++x)
            mRow[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 0 : 255;
    }
    return mRow.data();
}

void PixelAssembler::WriteLane(PixelLane lane, const u8* data)
{
    if (mFormat.mWidth == 0)
        return;
    lane.mInit = !mWritten;
    mWritten = true;
    for (u32 y = 0; y < mFormat.mHeight; ++y)
        SpreadRow(RowSamples(data, y), mFormat.mWidth, lane.mFirst + u64(y) * lane.mPitch, lane);
}

bool PixelAssembler::WritePlane(std::vector<u8>& plane, const u8* data)
{
    const u32 w = mFormat.mWidth;
    if (plane.size() < Count())
    {
        if (mBudget && !mBudget->Take(Count() - plane.size()))
            return false;
        mPlaneBytes += Count() - plane.size();
        plane.resize(Count());
    }
    if (w == 0)
        return true;
    for (u32 y = 0; y < mFormat.mHeight; ++y)
        std::memcpy(plane.data() + u64(y) * w, RowSamples(data, y), w);
    return true;
}

bool PixelAssembler::AddChannel(i32 id, const u8* data)
{
    if (id < -1 || id > 3)
        return true;
    if (mDirect)
    {
        PixelLane lane = LaneOf(id);
        if (lane.mFirst)
            WriteLane(lane, data);
        return true;
    }
    return WritePlane(mPlanes[id + 1], data);
}

void PixelAssembler::Finish()
{
    const u64 n = Count();
    if (mDirect)
    {
        // No channel reached the pixels: black, opaque unless transparency was announced.
        if (!mWritten)
            std::fill(mOut, mOut + n, mAlphaComing ? 0u : 0xFF000000u);
        return;
    }
    auto plane = [&](i32 id, u64 i) -> u32
    {
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
            mOut[i] =
                (a << 24) | CmykBytesToRgb(255 - plane(0, i), 255 - plane(1, i), 255 - plane(2, i), 255 - plane(3, i));
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
    default: std::fill(mOut, mOut + n, 0x00FFFFFFu); break;
    }
}
} // namespace psd
