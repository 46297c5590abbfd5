// Patterns of the "Patt" and "Pat2" blocks: a header and a virtual-memory array of channels.
#include "Core/Psd/ChannelReader.h"
#include "Core/Psd/Channels.h"
#include "Core/Psd/PixelAssembler.h"

#include <algorithm>

namespace psd
{
namespace
{
u32 PatternSlots(u32 mode)
{
    switch (mode)
    {
    case kModeRgb:
    case kModeMultichannel:
    case kModeLab: return 4;
    case kModeGrey:
    case kModeDuotone: return 2;
    case kModeCmyk: return 5;
    default: return 1;
    }
}

bool ValidMode(u32 mode) { return mode <= 4 || mode == 7 || mode == 8 || mode == 9; }
} // namespace

i32 ReadPattern(LoadContext& ctx, u64 blockEnd)
{
    Reader& r = ctx.mReader;
    const Document& doc = ctx.mDoc;
    u64 length = r.U32();
    length = (length + 3) & ~u64(3);
    const u64 end = std::min(r.Position() + length, blockEnd);
    if (r.U32() != 1)
        return ctx.Fail(kPatternVersion, "pattern version is not 1");
    Pattern pattern;
    pattern.mMode = r.U32();
    if (!ValidMode(pattern.mMode))
        return ctx.Fail(kBadColourMode, "unknown pattern colour mode");
    pattern.mHeight = r.U16();
    pattern.mWidth = r.U16();
    if (pattern.mWidth > kMaxDimension || pattern.mHeight > kMaxDimension)
        return ctx.Fail(kReadError, "pattern larger than 30000");
    u32 units = r.U32();
    if (u64(units) * 2 > end - std::min(end, r.Position()))
        return ctx.Fail(kReadError, "pattern name runs past the pattern");
    pattern.mName.resize(units);
    for (u16& u : pattern.mName)
        u = r.U16();
    u8 idLength = r.U8();
    pattern.mId.resize(idLength);
    r.Read(pattern.mId.data(), idLength);
    std::vector<u32> palette;
    if (pattern.mMode == kModeIndexed)
    {
        u8 rgb[768];
        r.Read(rgb, sizeof rgb);
        palette.resize(256);
        for (int i = 0; i < 256; ++i)
            palette[i] = 0xFF000000u | (u32(rgb[3 * i]) << 16) | (u32(rgb[3 * i + 1]) << 8) | rgb[3 * i + 2];
    }
    pattern.mVmVersion = r.U32();
    r.U32();
    pattern.mTop = static_cast<u16>(r.U32());
    pattern.mLeft = static_cast<u16>(r.U32());
    pattern.mBottom = static_cast<u16>(r.U32());
    pattern.mRight = static_cast<u16>(r.U32());
    u32 channels = r.U32();
    if (r.Overrun())
        return ctx.CheckOverrun("pattern header");

    const ChannelShape shape = MakeShape(pattern.mWidth, pattern.mHeight, doc.mDepth);
    const u32 slots = PatternSlots(pattern.mMode);
    std::vector<std::vector<u8>> images;
    // The channel images are copies held until the pattern is converted.
    struct Held
    {
        Budget& budget;
        u64 bytes = 0;
        ~Held() { budget.Give(bytes); }
    } held{ctx.mBudget};
    u32 pixelDepth = 0;
    for (u32 c = 0; c < channels && r.Position() + 12 < end; ++c)
    {
        u32 written = r.U32() & 0xFF;
        u64 channelLength = r.U32();
        u64 channelEnd = r.Position() + channelLength;
        if (!written)
        {
            r.SkipTo(channelEnd);
            continue;
        }
        if (channelLength < 23)
        {
            r.SkipTo(channelEnd);
            continue;
        }
        u32 depth = r.U32();
        if (images.empty() && pixelDepth == 0)
            pixelDepth = depth;
        r.Skip(18);
        u8 compression = r.U8();
        u64 dataSize = channelLength - 23;
        // Channels beyond the slots of the mode are skipped.
        if (images.size() >= slots || shape.Size() == 0)
        {
            r.SkipTo(channelEnd);
            continue;
        }
        i32 status = ReadChannel(ctx, compression, dataSize, shape);
        if (status != kOk)
            return status;
        if (!ctx.Reserve(shape.Size(), "pattern channels"))
            return kOutOfMemory;
        held.bytes += shape.Size();
        images.emplace_back(ctx.mChannel.data(), ctx.mChannel.data() + shape.Size());
        r.SkipTo(channelEnd);
    }
    pattern.mChannelImages = static_cast<i32>(images.size());

    const u64 count = u64(pattern.mWidth) * pattern.mHeight;
    if (!ctx.Reserve(count * 4, "pattern pixels"))
        return kOutOfMemory;
    pattern.mPixels.resize(count);
    if (pattern.mMode == kModeBitmap)
    {
        // Only 1-bit bitmap patterns have a defined meaning; others stay transparent white.
        std::fill(pattern.mPixels.begin(), pattern.mPixels.end(), 0x00FFFFFFu);
        if (pixelDepth == 1 && !images.empty() && RowBytes(pattern.mWidth, 1) * pattern.mHeight <= images[0].size())
        {
            PixelFormat format;
            format.mMode = kModeBitmap;
            format.mDepth = 1;
            format.mWidth = pattern.mWidth;
            format.mHeight = pattern.mHeight;
            PixelAssembler assembler(format, pattern.mPixels.data());
            assembler.AddChannel(0, images[0].data()); // bitmap is written straight into the pixels
            assembler.Finish();
        }
    }
    else
    {
        PixelFormat format;
        format.mMode = pattern.mMode;
        format.mDepth = doc.mDepth == 1 ? 8 : doc.mDepth;
        format.mWidth = pattern.mWidth;
        format.mHeight = pattern.mHeight;
        format.mPalette = &palette;
        format.mIndexedCount = static_cast<i32>(palette.size());
        format.mTransparentIndex = -1;
        if (MakeShape(pattern.mWidth, pattern.mHeight, format.mDepth).Size() <= shape.Size())
        {
            PixelAssembler assembler(format, pattern.mPixels.data(), false, &ctx.mBudget);
            u32 colours = pattern.mMode == kModeCmyk ? 4
                          : pattern.mMode == kModeGrey || pattern.mMode == kModeDuotone || pattern.mMode == kModeIndexed
                              ? 1
                              : 3;
            for (u32 i = 0; i < images.size() && i < colours; ++i)
                if (!assembler.AddChannel(static_cast<i32>(i), images[i].data()))
                    return ctx.Fail(kOutOfMemory, "colour planes would pass the memory limit");
            assembler.Finish();
        }
    }
    ctx.mDoc.mPatterns.push_back(std::move(pattern));
    r.SkipTo(end);
    return ctx.CheckOverrun("pattern");
}
} // namespace psd
