// Reading and decoding one channel image.
#include "Core/Psd/ChannelReader.h"

#include "Core/Psd/Channels.h"

#include <algorithm>
#include <cstring>

namespace psd
{
namespace
{
constexpr u64 kZipPiece = 32768;
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

i32 DecodeChannel(LoadContext& ctx, u16 compression, const u8* source, u64 sourceSize, u8* out,
                  const ChannelShape& shape)
{
    const u64 size = shape.Size();
    switch (compression)
    {
    case kRaw:
        CopyRaw(source, sourceSize, out, shape.mRowBytes, shape.mRows, shape.mRowBytes, 1);
        return kOk;
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
        if (DecompressZip(source, sourceSize, out, size) != kOk)
            return ctx.Fail(kZipFailed, "ZIP channel data is damaged");
        if (compression == kZipPredicted)
            UndoPrediction(out, size, shape.mRowSamples, shape.mDepth);
        return kOk;
    }
    default:
        return ctx.Fail(kBadCompression, "unknown channel compression");
    }
}

i32 ReadChannel(LoadContext& ctx, u16 compression, u64 compressedSize, const ChannelShape& shape,
                const PixelLane& lane, bool* placed)
{
    Reader& r = ctx.mReader;
    if (placed)
        *placed = false;
    if (compressedSize > r.Remaining())
        return ctx.Fail(kReadError, "channel data shorter than announced");
    if (lane.mFirst && shape.mDepth == 8 && (compression == kZip || compression == kZipPredicted))
    {
        if (compressedSize > ctx.mScratch.size())
            ctx.mScratch.resize(compressedSize);
        if (r.Read(ctx.mScratch.data(), compressedSize) < compressedSize)
            return ctx.Fail(kReadError, "channel data shorter than announced");
        // Inflated a few rows at a time into a small buffer, then spread into the lane.
        const u64 rowBytes = shape.mRowBytes;
        const u32 rowsPerPiece = static_cast<u32>(std::max<u64>(1, kZipPiece / std::max<u64>(rowBytes, 1)));
        std::vector<u8> piece(rowsPerPiece * rowBytes);
        ZipStream stream(ctx.mScratch.data(), compressedSize);
        for (u32 y = 0; y < shape.mRows; y += rowsPerPiece)
        {
            const u32 rows = std::min(rowsPerPiece, shape.mRows - y);
            const u64 size = rows * rowBytes;
            if (stream.Next(piece.data(), size) != kOk)
                return ctx.Fail(kZipFailed, "ZIP channel data is damaged");
            if (compression == kZipPredicted)
                UndoPrediction(piece.data(), size, shape.mRowSamples, 8);
            CopyRaw(piece.data(), size, lane.mFirst + u64(y) * lane.mPitch, rowBytes, rows, lane.mPitch, 4);
        }
        if (placed)
            *placed = true;
        return kOk;
    }
    if (lane.mFirst && shape.mDepth == 8 && (compression == kRaw || compression == kPackBits))
    {
        if (compressedSize > ctx.mScratch.size())
            ctx.mScratch.resize(compressedSize);
        if (r.Read(ctx.mScratch.data(), compressedSize) < compressedSize)
            return ctx.Fail(kReadError, "channel data shorter than announced");
        const u8* data = ctx.mScratch.data();
        if (compression == kRaw)
            CopyRaw(data, compressedSize, lane.mFirst, shape.mRowSamples, shape.mRows, lane.mPitch, 4);
        else
        {
            u64 countBytes = u64(shape.mRows) * 2;
            if (compressedSize < countBytes)
                return ctx.Fail(kReadError, "PackBits row counts cut short");
            DecodePackBits(data, shape.mRows, data + countBytes, compressedSize - countBytes, lane.mFirst,
                           shape.mRowSamples, lane.mPitch, 4);
        }
        if (placed)
            *placed = true;
        return kOk;
    }
    u64 size = shape.Size();
    if (size > ctx.mChannel.size())
    {
        if (!ctx.Reserve(size - ctx.mChannel.size()))
            return kOutOfMemory;
        ctx.mChannel.resize(size);
    }
    if (compression == kRaw && compressedSize >= size)
    {
        // Raw data goes straight into the channel image.
        r.Read(ctx.mChannel.data(), size);
        r.Skip(compressedSize - size);
        return ctx.CheckOverrun("raw channel data");
    }
    if (compressedSize > ctx.mScratch.size())
        ctx.mScratch.resize(compressedSize);
    if (r.Read(ctx.mScratch.data(), compressedSize) < compressedSize)
        return ctx.Fail(kReadError, "channel data shorter than announced");
    return DecodeChannel(ctx, compression, ctx.mScratch.data(), compressedSize, ctx.mChannel.data(), shape);
}

void HighBytes(const u8* data, const ChannelShape& shape, std::vector<u8>& out)
{
    const u64 count = shape.mRowSamples * shape.mRows;
    out.resize(count);
    if (shape.mDepth == 16)
    {
        for (u64 i = 0; i < count; ++i)
            out[i] = data[2 * i];
    }
    else
        std::memcpy(out.data(), data, count);
}
} // namespace psd
