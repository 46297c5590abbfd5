// A layer's channel image data: pixels by colour mode and the user mask.
#include "Core/Psd/ChannelReader.h"
#include "Core/Psd/PixelAssembler.h"

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
    format.mIndexedCount = doc.mIndexedColourCount > 0 ? doc.mIndexedColourCount : static_cast<i32>(doc.mPalette.size());
    format.mTransparentIndex = doc.mTransparentIndex;
    return format;
}

i32 ReadLayerChannels(LoadContext& ctx, LayerRecord& layer)
{
    Reader& r = ctx.mReader;
    const Document& doc = ctx.mDoc;
    const u32 depth = doc.mDepth;
    const ChannelShape shape = MakeShape(layer.mWidth, layer.mHeight, depth);
    const bool maskDepth = depth == 8 || depth == 16;
    const ChannelShape maskShape = MakeShape(maskDepth ? layer.mMask.mWidth : 0, maskDepth ? layer.mMask.mHeight : 0, depth);

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

    const u64 pixelCount = u64(layer.mWidth) * u64(layer.mHeight);
    if (pixelCount > 0)
    {
        if (!ctx.Reserve(pixelCount * 4))
            return kOutOfMemory;
        layer.mPixels.resize(pixelCount);
    }
    bool alphaComing = false;
    for (const ChannelInfo& info : layer.mChannels)
        alphaComing = alphaComing || (info.mId == -1 && info.mLength >= 2 && pixelCount > 0);
    PixelAssembler assembler(DocumentFormat(doc, layer.mWidth, layer.mHeight), layer.mPixels.data(), alphaComing);
    for (const ChannelInfo& info : layer.mChannels)
    {
        // A channel too short for its compression code is absent.
        if (info.mLength < 2)
        {
            r.Skip(info.mLength);
            continue;
        }
        const bool isMask = info.mId == -2;
        const ChannelShape& target = isMask ? maskShape : shape;
        // The real user mask (-3) and channels the mode does not use are skipped undecoded.
        bool wanted = isMask || (info.mId >= -1 && info.mId <= 3);
        if (!wanted || target.Size() == 0 || (!isMask && pixelCount == 0))
        {
            r.Skip(info.mLength);
            continue;
        }
        u16 compression = r.U16();
        bool placed = false;
        i32 status = ReadChannel(ctx, compression, info.mLength - 2, target,
                                 isMask ? PixelLane() : assembler.Lane(info.mId), &placed);
        if (status != kOk)
            return status;
        if (placed)
            continue;
        if (isMask)
            HighBytes(ctx.mChannel.data(), target, layer.mMask.mImage);
        else
            assembler.AddChannel(info.mId, ctx.mChannel.data());
    }
    if (pixelCount > 0)
        assembler.Finish();
    return ctx.CheckOverrun("layer channel data");
}
} // namespace psd
