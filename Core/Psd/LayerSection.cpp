// The layer and mask section: layer info, global layer mask and document-level tagged blocks.
#include "Core/Psd/Colour.h"
#include "Core/Psd/LoadContext.h"

namespace psd
{
namespace
{
void ReadGlobalMask(LoadContext& ctx)
{
    Reader& r = ctx.mReader;
    u32 length = r.U32();
    u64 start = r.Position();
    if (length == 0)
        return;
    if (length >= 13)
    {
        ctx.mDoc.mGlobalMaskColour = ReadColourRecord(r);
        ctx.mDoc.mGlobalMaskOpacity = r.U16();
        ctx.mDoc.mGlobalMaskKind = r.U8();
    }
    r.SkipTo(start + length);
}

void ReadPatterns(LoadContext& ctx, u64 end)
{
    Reader& r = ctx.mReader;
    // A damaged pattern stops this block only: the layers do not depend on patterns.
    bool logged = ctx.mLogged;
    while (r.Position() + 3 < end)
    {
        if (ReadPattern(ctx, end) != kOk)
            break;
    }
    ctx.mLogged = logged;
}
} // namespace

i32 ReadLayerAndMaskSection(LoadContext& ctx)
{
    Reader& r = ctx.mReader;
    u64 length = r.U32();
    u64 start = r.Position();
    if (r.Overrun())
        return ctx.CheckOverrun("layer and mask section length");
    if (length < 1)
        return kOk;
    u64 end = start + length;
    i32 status = ReadLayerInfo(ctx);
    ctx.ReleaseWorkBuffers();
    if (status != kOk)
        return status;
    if (r.Position() + 4 <= end)
        ReadGlobalMask(ctx);
    while (r.Position() + 12 < end)
    {
        u32 signature = r.Key();
        if (signature != FourCC("8BIM") && signature != FourCC("8B64"))
            break;
        u32 key = r.Key();
        if (key == FourCC("Lr16") || key == FourCC("Lr32"))
        {
            status = ReadLayerInfo(ctx);
            ctx.ReleaseWorkBuffers();
            if (status != kOk)
                return status;
            continue;
        }
        u64 blockLength = r.U32();
        u64 blockStart = r.Position();
        u64 blockEnd = blockStart + blockLength;
        if ((key == FourCC("Patt") || key == FourCC("Pat2") || key == FourCC("Pat3")) && blockLength > 3)
        {
            ReadPatterns(ctx, std::min(blockEnd, r.Length()));
            ctx.mReader.ClearOverrun();
        }
        r.SkipTo(blockEnd);
    }
    // Tolerates a section declared shorter than what was read (ImageMagick writes that).
    r.SkipTo(end);
    return ctx.CheckOverrun("layer and mask section");
}
} // namespace psd
