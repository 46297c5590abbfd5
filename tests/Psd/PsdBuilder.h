// Test-side writer of big-endian PSD bytes: header, resources, layer records, tagged blocks and
// descriptors, for the edge cases no real tool writes.
#pragma once

#include "Core/Base/Types.h"

#include <optional>
#include <string>
#include <vector>

namespace psdtest
{
// A growable big-endian byte buffer.
class Bytes
{
public:
    Bytes& U8(u32 v) { return Raw(std::string(1, static_cast<char>(v & 0xFF))); }
    Bytes& U16(u32 v) { return U8(v >> 8).U8(v); }
    Bytes& U32(u32 v) { return U16(v >> 16).U16(v); }
    Bytes& I16(i32 v) { return U16(static_cast<u16>(v)); }
    Bytes& I32(i32 v) { return U32(static_cast<u32>(v)); }
    Bytes& F64(double v);
    Bytes& Key(const char* fourChars) { return Raw(std::string(fourChars, 4)); }
    Bytes& Raw(const std::string& bytes)
    {
        mData += bytes;
        return *this;
    }
    Bytes& Zeros(size_t count) { return Raw(std::string(count, '\0')); }
    // u32 length then the bytes.
    Bytes& Block(const std::string& bytes) { return U32(static_cast<u32>(bytes.size())).Raw(bytes); }
    // Length byte and bytes, padded so the whole is a multiple of pad.
    Bytes& Pascal(const std::string& text, size_t pad);
    // u32 count and UTF-16 units.
    Bytes& Unicode(const std::string& ascii, bool terminate = false);
    // Descriptor id: long ids as length + bytes, 4-character codes as 0 + code.
    Bytes& Id(const std::string& id) { return U32(id.size() == 4 ? 0 : static_cast<u32>(id.size())).Raw(id); }
    // Descriptor class: empty class name then the class id.
    Bytes& Class(const std::string& id) { return Unicode("", true).Id(id); }
    // Colour record: space and four components.
    Bytes& Colour(u32 space, u32 a, u32 b, u32 c, u32 d = 0) { return U16(space).U16(a).U16(b).U16(c).U16(d); }

    const std::string& Str() const { return mData; }
    size_t Size() const { return mData.size(); }

private:
    std::string mData;
};

// Descriptor items written in order; nested values are built from other Descriptor objects.
class Descriptor
{
public:
    explicit Descriptor(const std::string& classId = "null") : mClassId(classId) {}
    Descriptor& Long(const std::string& key, i32 v) { return RawItem(key, "long", Bytes().I32(v).Str()); }
    Descriptor& Object(const std::string& key, const Descriptor& value) { return RawItem(key, "Objc", value.Body()); }
    Descriptor& Double(const std::string& key, double v) { return RawItem(key, "doub", Bytes().F64(v).Str()); }
    Descriptor& Unit(const std::string& key, const char* unit, double v)
    {
        return RawItem(key, "UntF", Bytes().Key(unit).F64(v).Str());
    }
    Descriptor& Bool(const std::string& key, bool v) { return RawItem(key, "bool", Bytes().U8(v ? 1 : 0).Str()); }
    Descriptor& Enum(const std::string& key, const std::string& type, const std::string& value)
    {
        return RawItem(key, "enum", Bytes().Id(type).Id(value).Str());
    }
    // An item with raw type and value bytes.
    Descriptor& RawItem(const std::string& key, const char* type, const std::string& value)
    {
        ++mCount;
        mItems.Id(key).Key(type).Raw(value);
        return *this;
    }
    // Body: class name, class id, item count and items.
    std::string Body() const { return Bytes().Class(mClassId).U32(mCount).Raw(mItems.Str()).Str(); }

private:
    std::string mClassId;
    u32 mCount = 0;
    Bytes mItems;
};

struct ChannelSpec
{
    i16 mId = 0;
    u16 mCompression = 0;
    std::string mData;  // the bytes after the compression code
    bool mBare = false; // no compression code: the channel's bytes are mData alone
};

// Every field has a default, so designated initializers name only what a case changes.
struct LayerSpec
{
    i32 mTop = 0, mLeft = 0, mBottom = 0, mRight = 0;
    std::vector<ChannelSpec> mChannels{};
    std::string mBlendSignature = "8BIM";
    std::string mBlendKey = "norm";
    u8 mOpacity = 255;
    u8 mClipping = 0;
    u8 mFlags = 0;
    std::string mMask{};           // the mask block after its length
    std::string mBlendingRanges{}; // the ranges after their length
    std::string mName = "layer";
    std::string mExtra{}; // additional records, already encoded
    // Overrides the channel length field when not -1.
    i64 mChannelLengthOverride = -1;
};

// An additional layer record: "8BIM", key, length (odd lengths padded) and data.
std::string Tagged(const char* key, const std::string& data, bool pad = true);
// A section divider record.
std::string Divider(u32 type, const char* blendKey = nullptr);
// Planar bytes of a raw channel.
std::string Fill(size_t count, u8 value);
// Row counts then rows, as in a layer channel: repeat runs of 3 or more, literal runs between them.
std::string PackBits(const std::string& plane, u32 width, u32 height);
// A zlib stream of the bytes.
std::string Deflate(const std::string& raw);

class PsdBuilder
{
public:
    PsdBuilder(u32 width, u32 height, u32 mode = 3, u32 depth = 8, u32 channels = 3);
    PsdBuilder& Signature(const std::string& s) { return Set(mSignature, s); }
    PsdBuilder& Version(u32 v) { return Set(mVersion, v); }
    PsdBuilder& ColourModeData(const std::string& data) { return Set(mColourMode, data); }
    PsdBuilder& Resource(u32 id, const std::string& data, const std::string& name = "");
    PsdBuilder& RawResources(const std::string& section)
    {
        mResources = section;
        mRawResources = true;
        return *this;
    }
    PsdBuilder& Layer(const LayerSpec& layer)
    {
        mLayers.push_back(layer);
        return *this;
    }
    PsdBuilder& LayerCount(i32 stored) { return Set(mLayerCount, stored); }
    // Replaces the whole layer and mask section body (after its length).
    PsdBuilder& RawLayerSection(const std::string& body) { return Set(mRawLayerSection, body); }
    // Merged image: compression and data; default raw, all channels value.
    PsdBuilder& Merged(u16 compression, const std::string& data)
    {
        mMergedCompression = compression;
        mMerged = data;
        return *this;
    }

    // The layer info block (its length first) as written into the section.
    std::string LayerInfo() const;
    std::string Build() const;

private:
    template <class T, class V> PsdBuilder& Set(T& field, const V& value)
    {
        field = value;
        return *this;
    }

    u32 mWidth, mHeight, mMode, mDepth, mChannels;
    std::string mSignature = "8BPS";
    u32 mVersion = 1;
    std::string mColourMode;
    std::string mResources;
    bool mRawResources = false;
    std::vector<LayerSpec> mLayers;
    std::optional<i32> mLayerCount;
    std::optional<std::string> mRawLayerSection;
    u16 mMergedCompression = 0;
    std::optional<std::string> mMerged;
};
} // namespace psdtest
