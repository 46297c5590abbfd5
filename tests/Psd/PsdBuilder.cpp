// Test-side writer of big-endian PSD bytes.
#include "PsdBuilder.h"

#include <algorithm>
#include <cstring>

#include <zlib.h>

namespace psdtest
{
Bytes& Bytes::F64(double v)
{
    u64 bits;
    std::memcpy(&bits, &v, 8);
    return U32(static_cast<u32>(bits >> 32)).U32(static_cast<u32>(bits));
}

Bytes& Bytes::Pascal(const std::string& text, size_t pad)
{
    return U8(static_cast<u32>(text.size())).Raw(text).Zeros((pad - (text.size() + 1) % pad) % pad);
}

Bytes& Bytes::Unicode(const std::string& ascii, bool terminate)
{
    U32(static_cast<u32>(ascii.size() + (terminate ? 1 : 0)));
    for (char c : ascii)
        U16(static_cast<u8>(c));
    if (terminate)
        U16(0);
    return *this;
}

std::string Tagged(const char* key, const std::string& data, bool pad)
{
    Bytes out;
    out.Key("8BIM").Key(key).U32(static_cast<u32>(data.size())).Raw(data);
    if (pad && data.size() % 2)
        out.U8(0);
    return out.Str();
}

std::string Divider(u32 type, const char* blendKey)
{
    Bytes data;
    data.U32(type);
    if (blendKey)
        data.Key("8BIM").Key(blendKey);
    return Tagged("lsct", data.Str());
}

std::string Fill(size_t count, u8 value) { return std::string(count, static_cast<char>(value)); }

namespace
{
std::string PackRow(const u8* row, u32 width)
{
    Bytes out;
    u32 i = 0;
    while (i < width)
    {
        u32 run = 1;
        while (i + run < width && run < 128 && row[i + run] == row[i])
            ++run;
        if (run >= 3)
        {
            out.U8(257 - run).U8(row[i]);
            i += run;
            continue;
        }
        u32 length = std::min<u32>(128, width - i);
        for (u32 k = 1; k < length; ++k)
            if (i + k + 2 < width && row[i + k] == row[i + k + 1] && row[i + k] == row[i + k + 2])
            {
                length = k;
                break;
            }
        out.U8(length - 1).Raw(std::string(reinterpret_cast<const char*>(row + i), length));
        i += length;
    }
    return out.Str();
}
} // namespace

std::string PackBits(const std::string& plane, u32 width, u32 height)
{
    Bytes counts;
    std::string rows;
    for (u32 y = 0; y < height; ++y)
    {
        std::string row = PackRow(reinterpret_cast<const u8*>(plane.data()) + size_t(y) * width, width);
        counts.U16(static_cast<u32>(row.size()));
        rows += row;
    }
    return counts.Str() + rows;
}

std::string Deflate(const std::string& raw)
{
    uLongf size = compressBound(raw.size());
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    out.resize(size);
    return out;
}

PsdBuilder::PsdBuilder(u32 width, u32 height, u32 mode, u32 depth, u32 channels)
    : mWidth(width), mHeight(height), mMode(mode), mDepth(depth), mChannels(channels)
{
}

PsdBuilder& PsdBuilder::Resource(u32 id, const std::string& data, const std::string& name)
{
    Bytes block;
    block.Key("8BIM").U16(id).Pascal(name, 2).U32(static_cast<u32>(data.size())).Raw(data);
    if (data.size() % 2)
        block.U8(0);
    mResources += block.Str();
    return *this;
}

std::string PsdBuilder::LayerInfo() const
{
    Bytes info;
    info.I16(mLayerCount.value_or(static_cast<i32>(mLayers.size())));
    for (const LayerSpec& layer : mLayers)
    {
        info.I32(layer.mTop).I32(layer.mLeft).I32(layer.mBottom).I32(layer.mRight);
        info.I16(static_cast<i32>(layer.mChannels.size()));
        for (const ChannelSpec& c : layer.mChannels)
        {
            u32 length = layer.mChannelLengthOverride >= 0 ? static_cast<u32>(layer.mChannelLengthOverride)
                                                           : static_cast<u32>(c.mData.size() + (c.mBare ? 0 : 2));
            info.I16(c.mId).U32(length);
        }
        info.Raw(layer.mBlendSignature).Raw(layer.mBlendKey);
        info.U8(layer.mOpacity).U8(layer.mClipping).U8(layer.mFlags).U8(0);
        Bytes extra;
        extra.Block(layer.mMask).Block(layer.mBlendingRanges);
        extra.Pascal(layer.mName, 4).Raw(layer.mExtra);
        info.Block(extra.Str());
    }
    for (const LayerSpec& layer : mLayers)
        for (const ChannelSpec& c : layer.mChannels)
        {
            if (!c.mBare)
                info.U16(c.mCompression);
            info.Raw(c.mData);
        }
    if (info.Size() % 2)
        info.U8(0);
    Bytes out;
    out.Block(info.Str());
    return out.Str();
}

std::string PsdBuilder::Build() const
{
    Bytes out;
    out.Raw(mSignature).U16(mVersion).Zeros(6).U16(mChannels).U32(mHeight).U32(mWidth).U16(mDepth).U16(mMode);
    out.Block(mColourMode);
    out.Block(mResources);
    if (mRawLayerSection)
        out.Block(*mRawLayerSection);
    else if (mLayers.empty() && !mLayerCount)
        out.U32(0);
    else
        out.Block(LayerInfo() + std::string(4, '\0')); // and an empty global mask
    out.U16(mMergedCompression);
    if (mMerged)
        out.Raw(*mMerged);
    else
    {
        u64 rowBytes = mDepth == 1 ? (mWidth + 7) / 8 : mDepth == 16 ? mWidth * 2 : mWidth;
        out.Zeros(rowBytes * mHeight * mChannels);
    }
    return out.Str();
}
} // namespace psdtest
