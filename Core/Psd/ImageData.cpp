// The image-data section: the merged image, the alpha channels and, for a file without layers,
// the one layer made from the merged image.
#include "Core/Psd/ChannelReader.h"
#include "Core/Psd/Channels.h"
#include "Core/Psd/PixelAssembler.h"
#include "Core/Psd/RowCombiner.h"

#include <algorithm>
#include <cstring>

namespace psd
{
namespace
{
// Colour channels the mode itself needs.
u32 ModeColourChannels(const Document& doc)
{
    switch (doc.mMode)
    {
    case kModeRgb:
    case kModeLab: return 3;
    case kModeCmyk: return 4;
    case kModeMultichannel: return doc.mChannelCount;
    default: return 1;
    }
}

// The channel id of stored channel image i: colour planes come first, then transparency.
i32 MergedChannelId(const LoadContext& ctx, u32 index)
{
    const Document& doc = ctx.mDoc;
    if (doc.mMode == kModeMultichannel)
    {
        // c, m, y, and the fourth as k only with exactly four colour channels.
        if (index < 3)
            return static_cast<i32>(index);
        return (index == 3 && doc.mColourChannels == 4) ? -1 : -100;
    }
    u32 colours = ModeColourChannels(doc);
    if (index < colours)
        return static_cast<i32>(index);
    u32 extra = doc.mChannelCount - colours;
    bool transparency = ctx.mNegativeLayerCount || doc.mAlphaCount < static_cast<i32>(extra);
    if (index == colours && transparency && doc.mMode != kModeIndexed && doc.mMode != kModeBitmap)
        return -1;
    return -100;
}

void MakeSyntheticLayer(Document& doc)
{
    LayerRecord& layer = doc.mLayers.emplace_back();
    layer.mBottom = layer.mHeight = static_cast<i32>(doc.mHeight);
    layer.mRight = layer.mWidth = static_cast<i32>(doc.mWidth);
    i32 colours = std::max<i32>(doc.mColourChannels, 0);
    i32 firstId = 0;
    layer.mChannels.resize(colours);
    for (i32 i = 0; i < colours; ++i)
        layer.mChannels[i].mId = static_cast<i16>(firstId + i);
    // The stored transparency plane follows the colour planes.
    if ((doc.mMode == kModeRgb && colours == 4) || (doc.mMode == kModeCmyk && colours == 5))
        layer.mChannels[colours - 1].mId = -1;
    layer.mBlendingRanges.mGreySource[1] = 65535;
    layer.mBlendingRanges.mGreyDestination[1] = 65535;
    layer.mBlendingRanges.mSourceLow.assign(colours, 0);
    layer.mBlendingRanges.mSourceHigh.assign(colours, 65535);
    layer.mBlendingRanges.mDestinationLow.assign(colours, 0);
    layer.mBlendingRanges.mDestinationHigh.assign(colours, 65535);
    layer.mPixels = doc.mMerged.Share();
}

// The alpha-channel record stored channel image index goes to, or null.
AlphaChannel* AlphaOf(Document& doc, u32 index)
{
    i32 alpha = static_cast<i32>(index) - std::max<i32>(doc.mColourChannels, 0);
    if (alpha < 0 || alpha >= static_cast<i32>(doc.mAlphaChannels.size()) || doc.mDepth == 1)
        return nullptr;
    return &doc.mAlphaChannels[alpha];
}

// Hands each decoded channel image to the assembler or its alpha-channel record (whose image was
// reserved with the merged pixels).
i32 TakeChannel(LoadContext& ctx, PixelAssembler& assembler, u32 index, const ChannelShape& shape)
{
    i32 id = MergedChannelId(ctx, index);
    if (id >= -1 && !assembler.AddChannel(id, ctx.mChannel.data()))
        return ctx.Fail(kOutOfMemory, "colour planes would pass the memory limit");
    if (AlphaChannel* alpha = AlphaOf(ctx.mDoc, index))
        HighBytes(ctx.mChannel.data(), shape, alpha->mImage);
    return kOk;
}

// The pixel lane a stored channel can go straight into, unless an alpha-channel record wants it too.
PixelLane LaneFor(const LoadContext& ctx, PixelAssembler& assembler, u32 index)
{
    i32 alpha = static_cast<i32>(index) - std::max<i32>(ctx.mDoc.mColourChannels, 0);
    if (alpha >= 0 && alpha < static_cast<i32>(ctx.mDoc.mAlphaChannels.size()))
        return PixelLane();
    i32 id = MergedChannelId(ctx, index);
    return id >= -1 ? assembler.Lane(id) : PixelLane();
}

i32 ReadRaw(LoadContext& ctx, PixelAssembler& assembler, const ChannelShape& shape)
{
    for (u32 c = 0; c < ctx.mDoc.mChannelCount; ++c)
    {
        bool placed = false;
        i32 status = ReadChannel(ctx, kRaw, shape.Size(), shape, LaneFor(ctx, assembler, c), &placed);
        if (status != kOk)
            return status;
        if (!placed)
            status = TakeChannel(ctx, assembler, c, shape);
        if (status != kOk)
            return status;
    }
    return kOk;
}

// All channels decoded row by row together when each goes to a pixel lane (or nowhere) and their
// data fits in one channel's room. False: nothing was read (status stays 0 unless the data could
// not be read).
bool CombineMerged(LoadContext& ctx, PixelAssembler& assembler, const ChannelShape& shape,
                   const std::vector<u8>& counts, i32& status)
{
    const u32 channels = ctx.mDoc.mChannelCount;
    if (shape.mDepth != 8 || !assembler.Direct() || shape.mRowSamples == 0)
        return false;
    std::vector<u64> packed(channels, 0);
    u64 total = 0;
    for (u32 c = 0; c < channels; ++c)
    {
        for (u32 y = 0; y < shape.mRows; ++y)
            packed[c] +=
                (u32(counts[(u64(c) * shape.mRows + y) * 2]) << 8) | counts[(u64(c) * shape.mRows + y) * 2 + 1];
        total += packed[c];
        i32 alpha = static_cast<i32>(c) - std::max<i32>(ctx.mDoc.mColourChannels, 0);
        if (alpha >= 0 && alpha < static_cast<i32>(ctx.mDoc.mAlphaChannels.size()))
            return false; // an alpha-channel record keeps its own copy
    }
    if (total > shape.Size() || total > ctx.mReader.Remaining())
        return false;
    std::vector<PackedPlane> planes(channels);
    for (u32 c = 0; c < channels; ++c)
    {
        planes[c].mId = MergedChannelId(ctx, c);
        if (planes[c].mId >= -1 && !assembler.HasLane(planes[c].mId))
            return false;
    }
    status = ReadChannelBytes(ctx, total, "merged image data shorter than its row counts");
    if (status != kOk)
        return false;
    u64 offset = 0;
    for (u32 c = 0; c < channels; ++c)
    {
        planes[c].mCounts = counts.data() + u64(c) * shape.mRows * 2;
        planes[c].mData = ctx.mScratch.data() + offset;
        planes[c].mDataSize = packed[c];
        offset += packed[c];
    }
    CombinePackBits(planes.data(), channels, shape.mRowSamples, shape.mRows, ctx.mDoc.mMode != kModeRgb,
                    ctx.mDoc.mMerged.data(), shape.mRowSamples, ctx.mRow);
    assembler.SetWritten();
    return true;
}

// The row counts of every channel, read before the merged pixels are reserved; -5 when the data
// is shorter than they claim.
i32 ReadRowCounts(LoadContext& ctx, const ChannelShape& shape, std::vector<u8>& counts)
{
    Reader& r = ctx.mReader;
    const u64 size = u64(shape.mRows) * ctx.mDoc.mChannelCount * 2;
    if (size > r.Remaining())
        return ctx.Fail(kReadError, "merged image row counts cut short");
    counts.resize(size);
    r.Read(counts.data(), size);
    u64 packed = 0;
    for (u64 i = 0; i < size; i += 2)
        packed += (u32(counts[i]) << 8) | counts[i + 1];
    if (packed > r.Remaining())
        return ctx.Fail(kReadError, "merged image data shorter than its row counts");
    return kOk;
}

i32 ReadPackBits(LoadContext& ctx, PixelAssembler& assembler, const ChannelShape& shape, const std::vector<u8>& counts)
{
    Reader& r = ctx.mReader;
    const u32 channels = ctx.mDoc.mChannelCount;
    i32 status = kOk;
    if (CombineMerged(ctx, assembler, shape, counts, status))
        return ctx.CheckOverrun("merged image data");
    if (status != kOk)
        return status;
    // One row at a time: a packed row is at most 65535 bytes, so no channel's data is held whole.
    std::vector<u8> packedRow;
    for (u32 c = 0; c < channels; ++c)
    {
        const u8* rowCounts = counts.data() + u64(c) * shape.mRows * 2;
        PixelLane lane = LaneFor(ctx, assembler, c);
        if (!lane.mFirst && !ctx.Grow(ctx.mChannel, shape.Size(), "channel buffer"))
            return kOutOfMemory;
        if (lane.mFirst && ctx.mRow.size() < shape.mRowSamples)
            ctx.mRow.resize(shape.mRowSamples);
        for (u32 y = 0; y < shape.mRows; ++y)
        {
            const u32 size = (u32(rowCounts[2 * y]) << 8) | rowCounts[2 * y + 1];
            if (packedRow.size() < size)
                packedRow.resize(size);
            r.Read(packedRow.data(), size);
            const u8* in = packedRow.data();
            if (lane.mFirst)
            {
                if (shape.mRowSamples == 0)
                    continue;
                UnpackBitsRow(in, in + size, ctx.mRow.data(), shape.mRowSamples);
                SpreadRow(ctx.mRow.data(), shape.mRowSamples, lane.mFirst + u64(y) * lane.mPitch, lane);
            }
            else
                UnpackBitsRow(in, in + size, ctx.mChannel.data() + u64(y) * shape.mRowBytes, shape.mRowBytes);
        }
        if (!lane.mFirst && (status = TakeChannel(ctx, assembler, c, shape)) != kOk)
            return status;
    }
    return kOk;
}

i32 ReadZip(LoadContext& ctx, PixelAssembler& assembler, const ChannelShape& shape, bool predicted)
{
    // The compressed image is read whole, then inflated one channel at a time.
    const u64 size = ctx.mReader.Remaining();
    if (i32 status = ReadChannelBytes(ctx, size, "merged image data"))
        return status;
    if (!ctx.Grow(ctx.mChannel, shape.Size(), "channel buffer"))
        return kOutOfMemory;
    ZipStream stream(ctx.mScratch.data(), size);
    for (u32 c = 0; c < ctx.mDoc.mChannelCount; ++c)
    {
        if (stream.Next(ctx.mChannel.data(), shape.Size()) != kOk)
            return ctx.Fail(kZipFailed, "ZIP merged image is damaged");
        if (predicted)
            UndoPrediction(ctx.mChannel.data(), shape.Size(), shape.mRowSamples, shape.mDepth);
        if (i32 status = TakeChannel(ctx, assembler, c, shape))
            return status;
    }
    return kOk;
}
} // namespace

i32 ReadImageData(LoadContext& ctx)
{
    Reader& r = ctx.mReader;
    Document& doc = ctx.mDoc;
    const ChannelShape shape = MakeShape(doc.mWidth, doc.mHeight, doc.mDepth);
    // The layers' work buffers go before the merged pixels arrive.
    ctx.ReleaseWorkBuffers();
    if (r.Remaining() < 2)
        return ctx.Fail(kReadError, "image data missing");
    u16 compression = r.U16();
    // The data must hold what its compression needs before the merged pixels are reserved.
    std::vector<u8> counts;
    i32 status = kOk;
    switch (compression)
    {
    case kRaw:
        if (u64(doc.mChannelCount) * shape.Size() > r.Remaining())
            status = ctx.Fail(kReadError, "raw merged image shorter than its channel images");
        break;
    case kPackBits: status = ReadRowCounts(ctx, shape, counts); break;
    case kZip:
    case kZipPredicted: break;
    default: status = ctx.Fail(kBadCompression, "unknown merged image compression"); break;
    }
    if (status != kOk)
        return status;
    // The merged pixels and the alpha-channel images are kept: all reserved before any is allocated.
    const u64 pixels = u64(doc.mWidth) * doc.mHeight;
    u64 alphaImages = 0;
    for (u32 c = 0; c < doc.mChannelCount; ++c)
        alphaImages += AlphaOf(doc, c) ? pixels : 0;
    if (!ctx.Reserve(pixels * 4, "merged pixels") || !ctx.Reserve(alphaImages, "alpha channels"))
        return kOutOfMemory;
    // Modes that combine their channels at the end hold a plane per channel id and the channel
    // buffer as well: refused before anything is allocated when those cannot fit either.
    if (!PixelAssembler::Direct(doc.mMode))
    {
        bool seen[5] = {};
        u64 planes = 0;
        for (u32 c = 0; c < doc.mChannelCount; ++c)
        {
            const i32 id = MergedChannelId(ctx, c);
            if (id >= -1 && id <= 3 && !seen[id + 1])
            {
                seen[id + 1] = true;
                ++planes;
            }
        }
        if (planes * pixels + shape.Size() > ctx.mBudget.Left())
            return ctx.Fail(kOutOfMemory, "colour planes would pass the memory limit");
    }
    doc.mMerged.Allocate(pixels);
    bool alphaComing = false;
    for (u32 c = 0; c < doc.mChannelCount; ++c)
        alphaComing = alphaComing || MergedChannelId(ctx, c) == -1;
    PixelAssembler assembler(DocumentFormat(doc, doc.mWidth, doc.mHeight), doc.mMerged.data(), alphaComing,
                             &ctx.mBudget);
    if (compression == kRaw)
        status = ReadRaw(ctx, assembler, shape);
    else if (compression == kPackBits)
        status = ReadPackBits(ctx, assembler, shape, counts);
    else
        status = ReadZip(ctx, assembler, shape, compression == kZipPredicted);
    ctx.ReleaseWorkBuffers();
    if (status != kOk)
        return status;
    assembler.Finish();
    if (doc.mLayers.empty())
        MakeSyntheticLayer(doc);
    return kOk;
}
} // namespace psd
