// Layer info: the layer records with their masks, blending ranges, names and additional records,
// then every layer's channel data and the enclosing groups.
#include "Core/Psd/ByteStream.h"
#include "Core/Psd/LoadContext.h"

#include <algorithm>
#include <cstring>

namespace psd
{
namespace
{
constexpr u64 kMinRecordBytes = 16 + 2 + 4 + 4 + 4 + 4; // rectangle, count, blend, flags, extra length

// Size of a stored rectangle edge pair; negative extents make an empty area.
bool Extent(LoadContext& ctx, i32 from, i32 to, i32& out)
{
    i64 extent = i64(to) - i64(from);
    if (extent < 0)
        extent = 0;
    if (extent > kMaxDimension)
    {
        ctx.Fail(kReadError, "layer rectangle larger than 30000");
        return false;
    }
    out = static_cast<i32>(extent);
    return true;
}

i32 ReadMask(LoadContext& ctx, LayerMask& mask)
{
    Reader& r = ctx.mReader;
    u32 length = r.U32();
    u64 start = r.Position();
    if (length == 0)
        return kOk;
    if (length > r.Remaining())
        return ctx.Fail(kReadError, "layer mask runs past the end of the file");
    auto rectangle = [&]
    {
        mask.mTop = r.I32();
        mask.mLeft = r.I32();
        mask.mBottom = r.I32();
        mask.mRight = r.I32();
    };
    auto flags = [&]
    {
        u8 bits = r.U8();
        mask.mPositionRelative = bits & 1;
        mask.mDisabled = (bits >> 1) & 1;
        mask.mInverted = (bits >> 2) & 1;
    };
    // Read the fields that fit, then continue at the block's end whatever its length.
    if (length >= 18)
    {
        rectangle();
        mask.mDefaultColour = r.U8();
        flags();
    }
    if (length >= 36)
    {
        // The "real" mask values replace the first ones.
        flags();
        mask.mDefaultColour = r.U8();
        rectangle();
    }
    r.SkipTo(start + length);
    if (!Extent(ctx, mask.mLeft, mask.mRight, mask.mWidth) || !Extent(ctx, mask.mTop, mask.mBottom, mask.mHeight))
        return kReadError;
    return kOk;
}

i32 ReadBlendingRanges(LoadContext& ctx, BlendingRanges& ranges)
{
    Reader& r = ctx.mReader;
    u32 length = r.U32();
    u64 start = r.Position();
    // Length 0 (GIMP, ImageMagick, ag-psd) means no ranges: the defaults stay.
    if (length == 0)
        return kOk;
    if (length > r.Remaining())
        return ctx.Fail(kReadError, "blending ranges run past the end of the file");
    if (length < 16)
        return ctx.Fail(kNoBlendingRanges, "blending ranges hold no channel range");
    ranges.mGreySource[0] = r.U16();
    ranges.mGreySource[1] = r.U16();
    ranges.mGreyDestination[0] = r.U16();
    ranges.mGreyDestination[1] = r.U16();
    u32 count = (length - 8) / 8;
    ranges.mSourceLow.resize(count);
    ranges.mSourceHigh.resize(count);
    ranges.mDestinationLow.resize(count);
    ranges.mDestinationHigh.resize(count);
    for (u32 i = 0; i < count; ++i)
    {
        ranges.mSourceLow[i] = r.U16();
        ranges.mSourceHigh[i] = r.U16();
        ranges.mDestinationLow[i] = r.U16();
        ranges.mDestinationHigh[i] = r.U16();
    }
    r.SkipTo(start + length);
    return kOk;
}

i32 ReadName(LoadContext& ctx, LayerRecord& layer)
{
    Reader& r = ctx.mReader;
    u32 length = r.U8();
    u32 field = ((length + 4) & ~3u) - 1; // the Pascal string is padded to a multiple of 4
    u8 bytes[258];
    r.Read(bytes, field);
    // Only the string itself: padding never enters the name.
    std::memcpy(layer.mName, bytes, length);
    layer.mName[length] = 0;
    return kOk;
}

i32 ReadAdditionalRecords(LoadContext& ctx, LayerRecord& layer, u64 end)
{
    Reader& r = ctx.mReader;
    while (r.Position() + 12 <= end)
    {
        u32 signature = r.Key();
        if (signature != FourCC("8BIM") && signature != FourCC("8B64"))
            return ctx.Fail(kAdditionalSignature, "additional layer information signature is not 8BIM");
        u32 key = r.Key();
        u64 length = r.U32();
        length += length & 1;
        u64 start = r.Position();
        if (start + length > end || r.Overrun())
            return ctx.Fail(kReadError, "additional layer information runs past its layer record");
        std::vector<u8> data(length);
        r.Read(data.data(), length);
        ByteStream bytes(data.data(), static_cast<u32>(length));
        Reader block(bytes);
        i32 status = ReadAdditionalRecord(ctx, layer, key, block);
        if (status != kOk)
            return status;
    }
    return kOk;
}

i32 ReadLayerRecord(LoadContext& ctx, LayerRecord& layer)
{
    Reader& r = ctx.mReader;
    layer.mTop = r.I32();
    layer.mLeft = r.I32();
    layer.mBottom = r.I32();
    layer.mRight = r.I32();
    if (!Extent(ctx, layer.mLeft, layer.mRight, layer.mWidth) || !Extent(ctx, layer.mTop, layer.mBottom, layer.mHeight))
        return kReadError;
    i16 channels = r.I16();
    if (channels < 0 || channels > kMaxChannels)
        return ctx.Fail(kReadError, "layer channel count outside 0..56");
    layer.mChannels.resize(channels);
    for (ChannelInfo& info : layer.mChannels)
    {
        info.mId = r.I16();
        info.mLength = r.U32();
    }
    if (r.Key() != FourCC("8BIM"))
        return ctx.Fail(kBadBlendSignature, "layer blend signature is not 8BIM");
    layer.mBlendMode = BlendModeFromKey(r.Key());
    layer.mOpacity = r.U8();
    layer.mClipping = r.U8() > 0 ? 1 : 0;
    u8 flags = r.U8();
    layer.mTransparencyProtected = flags & 1;
    layer.mVisible = (flags & 2) ? 0 : 1;
    layer.mObsolete = (flags >> 2) & 1;
    layer.mPixelDataIrrelevant = (flags & 8) ? ((flags >> 4) & 1) : 0;
    r.U8();
    u32 extraLength = r.U32();
    u64 extraEnd = r.Position() + extraLength;
    if (r.Overrun() || extraEnd > r.Length())
        return ctx.Fail(kReadError, "layer record runs past the end of the file");
    i32 status = ReadMask(ctx, layer.mMask);
    if (status == kOk)
        status = ReadBlendingRanges(ctx, layer.mBlendingRanges);
    if (status == kOk)
        status = ReadName(ctx, layer);
    if (status == kOk)
        status = ReadAdditionalRecords(ctx, layer, extraEnd);
    if (status != kOk)
        return status;
    r.SkipTo(extraEnd);
    return ctx.CheckOverrun("layer record");
}
} // namespace

u32 BlendModeFromKey(u32 key)
{
    static const u32 kKeys[] = {FourCC("norm"), FourCC("diss"), FourCC("dark"), FourCC("mul "), FourCC("idiv"),
                                FourCC("lbrn"), FourCC("lite"), FourCC("scrn"), FourCC("div "), FourCC("lddg"),
                                FourCC("over"), FourCC("sLit"), FourCC("hLit"), FourCC("vLit"), FourCC("lLit"),
                                FourCC("pLit"), FourCC("hMix"), FourCC("diff"), FourCC("smud"), FourCC("hue "),
                                FourCC("sat "), FourCC("colr"), FourCC("lum "), FourCC("pass")};
    for (u32 i = 0; i < sizeof kKeys / sizeof kKeys[0]; ++i)
        if (kKeys[i] == key)
            return i;
    return kBlendNormal;
}

void AssignParentGroups(std::vector<LayerRecord>& layers)
{
    // Top-down with a stack, so layers of an outer group below an inner group keep their parent.
    std::vector<LayerRecord*> groups;
    for (size_t i = layers.size(); i-- > 0;)
    {
        LayerRecord& layer = layers[i];
        layer.mParent = nullptr;
        if (layer.mType == kLayerGroupStart)
        {
            // A nested group belongs to the group around it, so parents lead up to the top.
            if (!groups.empty())
                layer.mParent = groups.back();
            groups.push_back(&layer);
        }
        else if (layer.mType == kLayerGroupEnd)
        {
            if (!groups.empty())
                groups.pop_back();
        }
        else if (layer.mType == kLayerPixels && !groups.empty())
            layer.mParent = groups.back();
    }
}

i32 ReadLayerInfo(LoadContext& ctx)
{
    Reader& r = ctx.mReader;
    Document& doc = ctx.mDoc;
    u64 length = r.U32();
    length += length & 1;
    u64 start = r.Position();
    if (r.Overrun())
        return ctx.CheckOverrun("layer info length");
    if (length < 1)
        return kOk;
    // A later block ("Lr16") replaces what an earlier one read; an empty one keeps it.
    doc.mLayers.clear();
    ctx.mBudget.Give(ctx.mLayerBytes);
    ctx.mLayerBytes = 0;
    i16 stored = r.I16();
    i32 count = stored < 0 ? -i32(stored) : stored;
    ctx.mNegativeLayerCount = stored < 0;
    if (u64(count) * kMinRecordBytes > r.Remaining())
        return ctx.Fail(kReadError, "layer count larger than the file can hold");
    if (!ctx.Reserve(u64(count) * sizeof(LayerRecord), "layer records"))
        return kOutOfMemory;
    ctx.mLayerBytes = u64(count) * sizeof(LayerRecord);
    doc.mLayers.resize(count);
    for (LayerRecord& layer : doc.mLayers)
    {
        i32 status = ReadLayerRecord(ctx, layer);
        if (status != kOk)
            return status;
    }
    for (LayerRecord& layer : doc.mLayers)
    {
        i32 status = ReadLayerChannels(ctx, layer);
        if (status != kOk)
            return status;
    }
    r.SkipTo(start + length);
    AssignParentGroups(doc.mLayers);
    return ctx.CheckOverrun("layer info");
}
} // namespace psd
