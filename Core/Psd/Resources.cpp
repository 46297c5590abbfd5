// Image resources: each block's data is read into memory and its handler reads only from there.
#include "Core/Psd/ByteStream.h"
#include "Core/Psd/Colour.h"
#include "Core/Psd/LoadContext.h"
#include "Core/Psd/Thumbnail.h"

#include <algorithm>
#include <cstring>

namespace psd
{
namespace
{
constexpr u64 kMaxThumbnailSide = 4096;

void ReadPascalInto(Reader& r, char* out, size_t capacity)
{
    u8 length = r.U8();
    u8 bytes[255];
    u64 got = r.Read(bytes, length);
    size_t n = std::min<size_t>(got, capacity - 1);
    std::memcpy(out, bytes, n);
    out[n] = 0;
}

// The first alpha-channel resource decides how many alpha channels there are.
void EnsureAlphaRecords(Document& doc, i32 count)
{
    if (doc.mAlphaCount > 0 || count <= 0)
        return;
    count = std::min(count, static_cast<i32>(kMaxChannels));
    doc.mAlphaCount = static_cast<i16>(count);
    doc.mColourChannels = static_cast<i16>(std::max(0, doc.mChannelCount - count));
    doc.mAlphaChannels.assign(count, AlphaChannel());
}

Utf16Units ReadUnits(Reader& r, u32 count)
{
    count = static_cast<u32>(std::min<u64>(count, r.Remaining() / 2));
    Utf16Units units(count);
    for (u16& u : units)
        u = r.U16();
    return units;
}

void ReadAlphaNames(Document& doc, const std::vector<u8>& data)
{
    i32 count = 0;
    for (size_t pos = 0; pos + 2 <= data.size(); pos += 1 + data[pos])
        ++count;
    EnsureAlphaRecords(doc, count);
    size_t pos = 0;
    for (AlphaChannel& alpha : doc.mAlphaChannels)
    {
        if (pos + 2 > data.size())
            break;
        size_t n = std::min<size_t>(data[pos], data.size() - pos - 1);
        std::memcpy(alpha.mName, &data[pos + 1], std::min<size_t>(n, 255));
        alpha.mName[std::min<size_t>(n, 255)] = 0;
        pos += 1 + data[pos];
    }
    doc.mAlphaPresent = 1;
}

i32 ReadThumbnail(LoadContext& ctx, Reader& r)
{
    Thumbnail& t = ctx.mDoc.mThumbnail;
    t = Thumbnail();
    t.mFormat = r.U32();
    t.mWidth = r.U32();
    t.mHeight = r.U32();
    t.mRowBytes = r.U32();
    t.mTotalSize = r.U32();
    t.mCompressedSize = r.U32();
    t.mBitsPerPixel = r.U16();
    t.mPlanes = r.U16();
    t.mPresent = 1;
    if (t.mFormat == 0)
        return kOk;
    if (t.mCompressedSize > r.Remaining())
        return ctx.Fail(kBadThumbnail, "thumbnail data shorter than announced");
    std::vector<u8> jpeg(t.mCompressedSize);
    r.Read(jpeg.data(), jpeg.size());
    // Thumbnails are small; a header claiming more is damage. The decoder holds the pixels twice
    // on their way into the record, both within what is left of the budget.
    const u64 maxPixels = std::min<u64>(kMaxThumbnailSide * kMaxThumbnailSide, ctx.mBudget.Left() / 8);
    u32 width = 0, height = 0;
    i32 status = DecodeJpeg(jpeg.data(), jpeg.size(), t.mPixels, width, height, maxPixels);
    if (status != kOk)
        return ctx.Fail(status, "thumbnail JPEG cannot be decoded");
    if (!ctx.Reserve(u64(width) * height * 4, "thumbnail"))
        return kOutOfMemory;
    return kOk;
}

i32 HandleResource(LoadContext& ctx, u16 id, const std::vector<u8>& data)
{
    Document& doc = ctx.mDoc;
    ByteStream bytes(data.data(), static_cast<u32>(data.size()));
    Reader r(bytes);
    switch (id)
    {
    case 1005:
        doc.mHorizontalResolution = static_cast<float>(r.U32() / 65536.0);
        doc.mHorizontalUnit = r.U16();
        doc.mWidthUnit = r.U16();
        doc.mVerticalResolution = static_cast<float>(r.U32() / 65536.0);
        doc.mVerticalUnit = r.U16();
        doc.mHeightUnit = r.U16();
        doc.mResolutionPresent = 1;
        break;
    case 1006: ReadAlphaNames(doc, data); break;
    case 1007:
        doc.mDisplayColour = ReadColourRecord(r);
        doc.mDisplayOpacity = r.U16();
        doc.mDisplayKind = r.U8();
        doc.mDisplayPresent = 1;
        break;
    case 1008: ReadPascalInto(r, doc.mCaption, sizeof doc.mCaption); break;
    case 1024: doc.mTargetLayer = r.U16(); break;
    case 1026:
        doc.mGroupIds.resize(data.size() / 2);
        for (u16& g : doc.mGroupIds)
            g = r.U16();
        doc.mGroupInfoPresent = 1;
        break;
    case 1033:
    case 1036: return ReadThumbnail(ctx, r);
    case 1034: doc.mProtected = r.U8(); break;
    case 1037: doc.mGlobalAngle = r.I32(); break;
    case 1042: doc.mEffectsVisible = r.U8(); break;
    case 1045:
    {
        std::vector<Utf16Units> names;
        while (r.Remaining() >= 4)
        {
            u32 count = r.U32();
            if (u64(count) * 2 > r.Remaining())
                break;
            names.push_back(ReadUnits(r, count));
        }
        EnsureAlphaRecords(doc, static_cast<i32>(names.size()));
        for (size_t i = 0; i < names.size() && i < doc.mAlphaChannels.size(); ++i)
            doc.mAlphaChannels[i].mUnicodeName = std::move(names[i]);
        doc.mAlphaPresent = 1;
        break;
    }
    case 1046: doc.mIndexedColourCount = r.I16(); break;
    case 1047: doc.mTransparentIndex = r.I16(); break;
    case 1049: doc.mGlobalAltitude = r.I32(); break;
    case 1053:
    {
        EnsureAlphaRecords(doc, static_cast<i32>(data.size() / 4));
        for (size_t i = 0; i < data.size() / 4 && i < doc.mAlphaChannels.size(); ++i)
            doc.mAlphaChannels[i].mIdentifier = r.U32();
        doc.mAlphaPresent = 1;
        break;
    }
    case 1057:
        doc.mVersion = r.U32();
        doc.mHasRealMergedData = r.Bool();
        doc.mWriterName = ReadUnits(r, r.U32());
        doc.mReaderName = ReadUnits(r, r.U32());
        doc.mFileVersion = r.U32();
        doc.mVersionPresent = 1;
        break;
    default: break;
    }
    return kOk;
}
} // namespace

i32 ReadImageResources(LoadContext& ctx)
{
    Reader& r = ctx.mReader;
    Document& doc = ctx.mDoc;
    u32 length = r.U32();
    if (r.Overrun())
        return ctx.CheckOverrun("image-resource length");
    if (length < 1)
        return kOk;
    u64 end = r.Position() + length;
    if (end > r.Length())
        return ctx.Fail(kReadError, "image resources run past the end of the file");
    doc.mGlobalAngle = 30;
    doc.mGlobalAltitude = 30;
    while (r.Position() < end)
    {
        if (r.Key() != FourCC("8BIM"))
            return ctx.Fail(kBadResourceSignature, "image resource signature is not 8BIM");
        u16 id = r.U16();
        u8 nameLength = r.U8();
        r.Skip(nameLength + ((nameLength % 2 == 0) ? 1 : 0));
        u64 dataLength = r.U32();
        u64 rounded = dataLength + (dataLength & 1);
        if (r.Overrun() || r.Position() + dataLength > end)
            return ctx.Fail(kReadError, "image resource runs past its section");
        u64 dataEnd = std::min(r.Position() + rounded, end);
        if (dataLength > 0)
        {
            std::vector<u8> data(dataLength);
            r.Read(data.data(), dataLength);
            i32 status = HandleResource(ctx, id, data);
            if (status != kOk)
                return status;
        }
        r.SkipTo(dataEnd);
    }
    r.SkipTo(end);
    return ctx.CheckOverrun("image resources");
}
} // namespace psd
