// The file header and the colour-mode data (the palette of indexed images).
#include "Core/Psd/LoadContext.h"

namespace psd
{
i32 ReadHeader(LoadContext& ctx)
{
    Reader& r = ctx.mReader;
    Document& doc = ctx.mDoc;
    if (r.Remaining() < 26)
        return ctx.Fail(kReadError, "header shorter than 26 bytes");
    if (r.Key() != FourCC("8BPS"))
        return ctx.Fail(kBadSignature, "signature is not 8BPS");
    if (r.U16() != 1)
        return ctx.Fail(kBadVersion, "version is not 1");
    r.Skip(6);
    doc.mChannelCount = r.U16();
    doc.mColourChannels = static_cast<i16>(doc.mChannelCount);
    doc.mHeight = r.U32();
    doc.mWidth = r.U32();
    doc.mDepth = r.U16();
    doc.mMode = r.U16();
    if (doc.mDepth != 1 && doc.mDepth != 8 && doc.mDepth != 16)
        return ctx.Fail(kBadDepth, "depth is not 1, 8 or 16");
    switch (doc.mMode)
    {
    case kModeBitmap:
    case kModeGrey:
    case kModeIndexed:
    case kModeRgb:
    case kModeCmyk:
    case kModeMultichannel:
    case kModeDuotone:
    case kModeLab: break;
    default: return ctx.Fail(kBadColourMode, "unknown colour mode");
    }
    if (doc.mChannelCount < 1 || doc.mChannelCount > kMaxChannels)
        return ctx.Fail(kReadError, "channel count outside 1..56");
    if (doc.mWidth > kMaxDimension || doc.mHeight > kMaxDimension)
        return ctx.Fail(kReadError, "image larger than 30000 x 30000");
    return kOk;
}

i32 ReadColourModeData(LoadContext& ctx)
{
    Reader& r = ctx.mReader;
    u32 length = r.U32();
    u64 end = r.Position() + length;
    if (length > 0)
    {
        if (length > r.Remaining())
            return ctx.Fail(kReadError, "colour-mode data runs past the end of the file");
        u32 n = length / 3;
        std::vector<u8> bytes(static_cast<size_t>(n) * 3);
        r.Read(bytes.data(), bytes.size());
        ctx.mDoc.mPalette.resize(n);
        for (u32 i = 0; i < n; ++i)
            ctx.mDoc.mPalette[i] = 0xFF000000u | (u32(bytes[i]) << 16) | (u32(bytes[n + i]) << 8) | bytes[2 * n + i];
    }
    r.SkipTo(end);
    return ctx.CheckOverrun("colour-mode data");
}
} // namespace psd
