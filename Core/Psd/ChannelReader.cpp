// Reading and decoding one channel image.
#include "Core/Psd/ChannelReader.h"

#include "Core/Psd/Channels.h"

#include <algorithm>

namespace psd
{
namespace
{
// Grows the channel image to the shape's size, accounted against the limits.
bool ChannelRoom(LoadContext& ctx, u64 size) { return ctx.Grow(ctx.mChannel, size, "channel buffer"); }

// Decodes 8-bit samples into a pixel lane.
i32 DecodeToLane(LoadContext& ctx, u16 compression, const u8* data, u64 compressedSize, const ChannelShape& shape,
                 const PixelLane& lane)
{
    switch (compression)
    {
    case kRaw: RawToLane(data, compressedSize, shape.mRowSamples, shape.mRows, lane, ctx.mRow); return kOk;
    case kPackBits:
    {
        const u64 countBytes = u64(shape.mRows) * 2;
        if (compressedSize < countBytes)
            return ctx.Fail(kReadError, "PackBits row counts cut short");
        DecodePackBitsToLane(data, shape.mRows, data + countBytes, compressedSize - countBytes, shape.mRowSamples, lane,
                             ctx.mRow);
        return kOk;
    }
    case kZip:
    case kZipPredicted:
    {
        // Inflated whole into the channel image (its size is known), then spread row by row.
        const u64 size = shape.Size();
        if (!ChannelRoom(ctx, size))
            return kOutOfMemory;
        if (ctx.mInflater.Inflate(data, compressedSize, ctx.mChannel.data(), size) != kOk)
            return ctx.Fail(kZipFailed, "ZIP channel data is damaged");
        if (compression == kZipPredicted)
            UndoPrediction(ctx.mChannel.data(), size, shape.mRowSamples, 8);
        RawToLane(ctx.mChannel.data(), size, shape.mRowSamples, shape.mRows, lane, ctx.mRow);
        return kOk;
    }
    default: return ctx.Fail(kBadCompression, "unknown channel compression");
    }
}
} // namespace

ChannelShape MakeShape(u64 width, u64 height, u32 depth)
{
    ChannelShape shape;
    shape.mRowBytes = RowBytes(width, depth);
    shape.mRows = static_cast<u32>(height);
    shape.mRowSamples = width;
    shape.mDepth = depth;
    return shape;
}

i32 CheckChannel(LoadContext& ctx, u16 compression, u64 compressedSize, const ChannelShape& shape)
{
    switch (compression)
    {
    case kRaw:
        if (compressedSize < shape.Size())
            return ctx.Fail(kReadError, "raw channel shorter than its channel image");
        return kOk;
    case kPackBits:
        if (compressedSize < u64(shape.mRows) * 2)
            return ctx.Fail(kReadError, "PackBits channel shorter than its row counts");
        return kOk;
    case kZip:
    case kZipPredicted: return kOk;
    default: return ctx.Fail(kBadCompression, "unknown channel compression");
    }
}

i32 DecodeChannel(LoadContext& ctx, u16 compression, const u8* source, u64 sourceSize, u8* out,
                  const ChannelShape& shape)
{
    const u64 size = shape.Size();
    switch (compression)
    {
    case kRaw: CopyRaw(source, sourceSize, out, shape.mRowBytes, shape.mRows); return kOk;
    case kPackBits:
    {
        u64 countBytes = u64(shape.mRows) * 2;
        if (sourceSize < countBytes)
            return ctx.Fail(kReadError, "PackBits row counts cut short");
        DecodePackBitsRows(source, shape.mRows, source + countBytes, sourceSize - countBytes, out, shape.mRowBytes);
        return kOk;
    }
    case kZip:
    case kZipPredicted:
    {
        if (ctx.mInflater.Inflate(source, sourceSize, out, size) != kOk)
            return ctx.Fail(kZipFailed, "ZIP channel data is damaged");
        if (compression == kZipPredicted)
            UndoPrediction(out, size, shape.mRowSamples, shape.mDepth);
        return kOk;
    }
    default: return ctx.Fail(kBadCompression, "unknown channel compression");
    }
}

i32 ReadChannel(LoadContext& ctx, u16 compression, u64 compressedSize, const ChannelShape& shape, const PixelLane& lane,
                bool* placed)
{
    Reader& r = ctx.mReader;
    if (placed)
        *placed = false;
    if (compressedSize > r.Remaining())
        return ctx.Fail(kReadError, "channel data shorter than announced");
    const u64 size = shape.Size();
    if (!(lane.mFirst && shape.mDepth == 8) && compression == kRaw && compressedSize >= size)
    {
        // Raw data goes straight into the channel image.
        if (!ChannelRoom(ctx, size))
            return kOutOfMemory;
        r.Read(ctx.mChannel.data(), size);
        r.Skip(compressedSize - size);
        return ctx.CheckOverrun("raw channel data");
    }
    if (i32 status = ReadChannelBytes(ctx, compressedSize, "channel data shorter than announced"))
        return status;
    return DecodeChannelBytes(ctx, compression, ctx.mScratch.data(), compressedSize, shape, lane, placed);
}

i32 DecodeChannelBytes(LoadContext& ctx, u16 compression, const u8* data, u64 compressedSize, const ChannelShape& shape,
                       const PixelLane& lane, bool* placed)
{
    if (placed)
        *placed = false;
    if (lane.mFirst && shape.mDepth == 8)
    {
        i32 status = DecodeToLane(ctx, compression, data, compressedSize, shape, lane);
        if (status == kOk && placed)
            *placed = true;
        return status;
    }
    if (!ChannelRoom(ctx, shape.Size()))
        return kOutOfMemory;
    return DecodeChannel(ctx, compression, data, compressedSize, ctx.mChannel.data(), shape);
}

i32 ReadChannelBytes(LoadContext& ctx, u64 size, const char* what)
{
    if (size > ctx.mReader.Remaining())
        return ctx.Fail(kReadError, what);
    if (!ctx.Grow(ctx.mScratch, size, "compressed data buffer"))
        return kOutOfMemory;
    if (ctx.mReader.Read(ctx.mScratch.data(), size) != size)
        return ctx.Fail(kReadError, what);
    return kOk;
}

void HighBytes(const u8* data, const ChannelShape& shape, std::vector<u8>& out)
{
    const u64 count = shape.mRowSamples * shape.mRows;
    if (shape.mDepth != 16)
    {
        out.assign(data, data + count); // copied once, not cleared first
        return;
    }
    out.resize(count);
    for (u64 i = 0; i < count; ++i)
        out[i] = data[2 * i];
}
} // namespace psd
