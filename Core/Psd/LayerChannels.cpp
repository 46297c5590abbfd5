// A layer's channel image data: pixels by colour mode and the user mask.
#include "Core/Psd/ChannelReader.h"
#include "Core/Psd/PixelAssembler.h"
#include "Core/Psd/RowCombiner.h"

#include <algorithm>

namespace psd
{
PixelFormat DocumentFormat(const Document& doc, u32 width, u32 height)
{
    PixelFormat format;
    format.mMode = doc.mMode;
    format.mDepth = doc.mDepth;
    format.mWidth = width;
    format.mHeight = height;
    format.mPalette = &doc.mPalette;
    // Without resource 1046 every palette entry is in use; without 1047 none is transparent.
    format.mIndexedCount =
        doc.mIndexedColourCount > 0 ? doc.mIndexedColourCount : static_cast<i32>(doc.mPalette.size());
    format.mTransparentIndex = doc.mTransparentIndex;
    return format;
}

namespace
{
// Every channel goes to a pixel lane (no mask, no unused ids): the layer's data can then be decoded
// from memory in one pass.
bool AllInLanes(const LayerRecord& layer, const PixelAssembler& assembler)
{
    for (const ChannelInfo& info : layer.mChannels)
        if (info.mLength >= 2 && !assembler.HasLane(info.mId))
            return false;
    return true;
}

// The area a channel decodes into, or null for a channel that is skipped undecoded: one too short
// for its compression code (absent), the real user mask (-3), ids the modes do not use, and
// channels of an empty area.
const ChannelShape* TargetOf(const ChannelInfo& info, const ChannelShape& shape, const ChannelShape& maskShape)
{
    if (info.mLength < 2)
        return nullptr;
    if (info.mId == -2)
        return maskShape.Size() > 0 ? &maskShape : nullptr;
    if (info.mId < -1 || info.mId > 3 || shape.Size() == 0)
        return nullptr;
    return &shape;
}

// With the layer's data in ctx.mScratch: every channel to be decoded can fill its area.
i32 CheckChannelsInMemory(LoadContext& ctx, const LayerRecord& layer, const ChannelShape& shape,
                          const ChannelShape& maskShape)
{
    const u8* data = ctx.mScratch.data();
    u64 offset = 0;
    for (const ChannelInfo& info : layer.mChannels)
    {
        const u8* channel = data + offset;
        offset += info.mLength;
        if (const ChannelShape* target = TargetOf(info, shape, maskShape))
        {
            const u16 compression = static_cast<u16>((channel[0] << 8) | channel[1]);
            i32 status = CheckChannel(ctx, compression, info.mLength - 2, *target);
            if (status != kOk)
                return status;
        }
    }
    return kOk;
}

// The layer's data in ctx.mScratch: when every channel is PackBits, all are decoded row by row
// together. False when some other compression asks for one channel at a time.
bool CombineFromMemory(LoadContext& ctx, const LayerRecord& layer, const ChannelShape& shape, u32* pixels)
{
    std::vector<PackedPlane> planes;
    const u8* data = ctx.mScratch.data();
    const u64 countBytes = u64(shape.mRows) * 2;
    u64 offset = 0;
    for (const ChannelInfo& info : layer.mChannels)
    {
        const u8* channel = data + offset;
        offset += info.mLength;
        if (info.mLength < 2)
            continue;
        const u16 compression = static_cast<u16>((channel[0] << 8) | channel[1]);
        if (compression != kPackBits || info.mLength - 2 < countBytes)
            return false;
        PackedPlane plane;
        plane.mId = info.mId;
        plane.mCounts = channel + 2;
        plane.mData = channel + 2 + countBytes;
        plane.mDataSize = info.mLength - 2 - countBytes;
        planes.push_back(plane);
    }
    CombinePackBits(planes.data(), static_cast<u32>(planes.size()), shape.mRowSamples, shape.mRows,
                    ctx.mDoc.mMode != kModeRgb, pixels, shape.mRowSamples, ctx.mRow);
    return true;
}
bool IsZip(u16 compression) { return compression == kZip || compression == kZipPredicted; }

// With the layer's data in ctx.mScratch and its pixels untouched: when the first two channels are
// both ZIP, one is inflated into the channel image and the other into the last quarter of the
// pixels, and both are written in one pass of plain stores. handled gets a bit per channel done.
i32 InflatePair(LoadContext& ctx, const LayerRecord& layer, const ChannelShape& shape, PixelAssembler& assembler,
                u32* pixels, u64& handled)
{
    handled = 0;
    size_t picks[2] = {0, 0};
    const u8* data[2] = {nullptr, nullptr};
    int found = 0;
    u64 offset = 0;
    for (size_t k = 0; k < layer.mChannels.size() && found < 2; ++k)
    {
        const u64 start = offset;
        offset += layer.mChannels[k].mLength;
        if (layer.mChannels[k].mLength < 2)
            continue;
        picks[found] = k;
        data[found] = ctx.mScratch.data() + start;
        ++found;
    }
    if (found < 2)
        return kOk;
    const ChannelInfo& first = layer.mChannels[picks[0]];
    const ChannelInfo& second = layer.mChannels[picks[1]];
    const u16 firstCompression = static_cast<u16>((data[0][0] << 8) | data[0][1]);
    const u16 secondCompression = static_cast<u16>((data[1][0] << 8) | data[1][1]);
    if (first.mId == second.mId || !IsZip(firstCompression) || !IsZip(secondCompression))
        return kOk;
    i32 status = DecodeChannelBytes(ctx, firstCompression, data[0] + 2, first.mLength - 2, shape);
    if (status != kOk)
        return status;
    const u64 count = shape.Size();
    u8* quarter = reinterpret_cast<u8*>(pixels) + 3 * count;
    if (ctx.mInflater.Inflate(data[1] + 2, second.mLength - 2, quarter, count) != kOk)
        return ctx.Fail(kZipFailed, "ZIP channel data is damaged");
    if (secondCompression == kZipPredicted)
        UndoPrediction(quarter, count, shape.mRowSamples, 8);
    WritePairInPlace(ctx.mChannel.data(), assembler.Lane(first.mId), assembler.Lane(second.mId), pixels, count);
    handled = (u64(1) << picks[0]) | (u64(1) << picks[1]);
    return kOk;
}
} // namespace

i32 ReadLayerChannels(LoadContext& ctx, LayerRecord& layer)
{
    Reader& r = ctx.mReader;
    const Document& doc = ctx.mDoc;
    const u32 depth = doc.mDepth;
    const ChannelShape shape = MakeShape(layer.mWidth, layer.mHeight, depth);
    const bool maskDepth = depth == 8 || depth == 16;
    const ChannelShape maskShape =
        MakeShape(maskDepth ? layer.mMask.mWidth : 0, maskDepth ? layer.mMask.mHeight : 0, depth);

    u64 total = 0;
    for (const ChannelInfo& info : layer.mChannels)
        total += info.mLength;
    if (total > r.Remaining())
        return ctx.Fail(kReadError, "layer channel data shorter than announced");
    if (shape.Size() == 0 && maskShape.Size() == 0)
    {
        r.Skip(total);
        return ctx.CheckOverrun("layer channel data");
    }

    // Data no larger than one channel image is read whole and checked before the layer's pixels are
    // reserved, so a few bytes cannot claim a huge layer. Larger data comes a channel at a time,
    // each checked before it is decoded: the pixels are then in proportion to the file's bytes.
    const bool inMemory = total <= std::max(shape.Size(), maskShape.Size());
    if (inMemory)
    {
        if (i32 status = ReadChannelBytes(ctx, total, "layer channel data shorter than announced"))
            return status;
        i32 status = CheckChannelsInMemory(ctx, layer, shape, maskShape);
        if (status != kOk)
            return status;
    }
    const u64 pixelCount = u64(layer.mWidth) * u64(layer.mHeight);
    if (pixelCount > 0)
    {
        if (!ctx.Reserve(pixelCount * 4, "layer pixels"))
            return kOutOfMemory;
        ctx.mLayerBytes += pixelCount * 4;
        layer.mPixels.Allocate(pixelCount);
    }
    bool alphaComing = false;
    for (const ChannelInfo& info : layer.mChannels)
        alphaComing = alphaComing || (info.mId == -1 && info.mLength >= 2 && pixelCount > 0);
    PixelAssembler assembler(DocumentFormat(doc, layer.mWidth, layer.mHeight), layer.mPixels.data(), alphaComing,
                             &ctx.mBudget);

    u64 handled = 0; // channels already in the pixels
    if (inMemory && pixelCount > 0 && depth == 8 && AllInLanes(layer, assembler))
    {
        if (CombineFromMemory(ctx, layer, shape, layer.mPixels.data()))
            return ctx.CheckOverrun("layer channel data");
        i32 status = InflatePair(ctx, layer, shape, assembler, layer.mPixels.data(), handled);
        if (status != kOk)
            return status;
    }
    u64 offset = 0;
    for (size_t index = 0; index < layer.mChannels.size(); ++index)
    {
        const ChannelInfo& info = layer.mChannels[index];
        const u64 channelStart = offset;
        offset += info.mLength;
        if ((handled >> index) & 1)
            continue;
        const ChannelShape* target = TargetOf(info, shape, maskShape);
        if (!target)
        {
            if (!inMemory)
                r.Skip(info.mLength);
            continue;
        }
        const bool isMask = info.mId == -2;
        const PixelLane lane = isMask ? PixelLane() : assembler.Lane(info.mId);
        const u8* channel = inMemory ? ctx.mScratch.data() + channelStart : nullptr;
        const u16 compression = inMemory ? static_cast<u16>((channel[0] << 8) | channel[1]) : r.U16();
        i32 status = inMemory ? kOk : CheckChannel(ctx, compression, info.mLength - 2, *target);
        // The mask is kept: each masked layer reserves its own before it is decoded, whatever the
        // channel buffer already holds.
        const u64 maskBytes = isMask ? target->mRowSamples * target->mRows : 0;
        if (status == kOk && layer.mMask.mImage.size() < maskBytes)
        {
            if (!ctx.Reserve(maskBytes - layer.mMask.mImage.size(), "layer masks"))
                return kOutOfMemory;
            ctx.mLayerBytes += maskBytes - layer.mMask.mImage.size();
        }
        bool placed = false;
        if (status == kOk && inMemory)
            status = DecodeChannelBytes(ctx, compression, channel + 2, info.mLength - 2, *target, lane, &placed);
        else if (status == kOk)
            status = ReadChannel(ctx, compression, info.mLength - 2, *target, lane, &placed);
        if (status != kOk)
            return status;
        if (placed)
            continue;
        if (isMask)
            HighBytes(ctx.mChannel.data(), *target, layer.mMask.mImage);
        else if (!assembler.AddChannel(info.mId, ctx.mChannel.data()))
            return ctx.Fail(kOutOfMemory, "colour planes would pass the memory limit");
    }
    if (pixelCount > 0)
        assembler.Finish();
    return ctx.CheckOverrun("layer channel data");
}
} // namespace psd
