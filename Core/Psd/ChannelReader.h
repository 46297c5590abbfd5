// Reads one channel's compressed bytes and decodes them into a cleared channel image.
#pragma once

#include "Core/Psd/LoadContext.h"
#include "Core/Psd/PixelLane.h"

namespace psd
{
struct ChannelShape
{
    u64 mRowBytes = 0;
    u32 mRows = 0;
    u64 mRowSamples = 0;
    u32 mDepth = 8;
    u64 Size() const { return mRowBytes * mRows; }
};

ChannelShape MakeShape(u64 width, u64 height, u32 depth);

// Whether compressedSize bytes (after the compression code) can fill the area: PackBits data must
// hold its row-count table and raw data the whole channel image, else -5; an unknown code gives
// -20. ZIP passes (a stream may end early, the rest reads 0). Logged; 0 when the channel fits.
i32 CheckChannel(LoadContext& ctx, u16 compression, u64 compressedSize, const ChannelShape& shape);

// Decodes source (without the compression code) into out, which is cleared first.
i32 DecodeChannel(LoadContext& ctx, u16 compression, const u8* source, u64 sourceSize, u8* out,
                  const ChannelShape& shape);

// Reads compressedSize bytes and decodes them: 8-bit data goes into the lane when one is given
// (*placed set; ZIP passes through ctx.mChannel first), everything else into ctx.mChannel (resized
// to the shape).
i32 ReadChannel(LoadContext& ctx, u16 compression, u64 compressedSize, const ChannelShape& shape,
                const PixelLane& lane = PixelLane(), bool* placed = nullptr);

// The same for compressed bytes already in memory (not inside ctx.mChannel).
i32 DecodeChannelBytes(LoadContext& ctx, u16 compression, const u8* data, u64 compressedSize, const ChannelShape& shape,
                       const PixelLane& lane = PixelLane(), bool* placed = nullptr);
// Reads size bytes into ctx.mScratch: 0, -4 when they would pass the budget, or -5 (logged as
// what) when the data ends first.
i32 ReadChannelBytes(LoadContext& ctx, u64 size, const char* what);

// The high byte of each sample of a decoded 8- or 16-bit channel image.
void HighBytes(const u8* data, const ChannelShape& shape, std::vector<u8>& out);
} // namespace psd
