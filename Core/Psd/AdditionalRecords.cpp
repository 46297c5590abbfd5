// Additional layer records: the simple keys here; effects, adjustments, fills and type elsewhere.
#include "Core/Psd/Adjustments.h"
#include "Core/Psd/Effects.h"
#include "Core/Psd/LoadContext.h"

#include <algorithm>
#include <cmath>

namespace psd
{
namespace
{
i32 ReadSectionDivider(LoadContext& ctx, LayerRecord& layer, Reader& r)
{
    layer.mSectionType = r.I32();
    if (layer.mSectionType == 1 || layer.mSectionType == 2)
        layer.mType = kLayerGroupStart;
    else if (layer.mSectionType == 3)
        layer.mType = kLayerGroupEnd;
    if (r.Length() >= 12)
    {
        if (r.Key() != FourCC("8BIM"))
            return ctx.Fail(kDividerSignature, "section divider signature is not 8BIM");
        layer.mSectionBlendMode = BlendModeFromKey(r.Key());
    }
    return kOk;
}

i32 TruncatedDouble(double value)
{
    if (!(value == value))
        return 0;
    return static_cast<i32>(std::clamp(std::trunc(value), -2147483648.0, 2147483647.0));
}
} // namespace

i32 ReadAdditionalRecord(LoadContext& ctx, LayerRecord& layer, u32 key, Reader& r)
{
    switch (key)
    {
    case FourCC("lsct"): return ReadSectionDivider(ctx, layer, r);
    case FourCC("luni"):
    {
        u64 count = r.Count32(2);
        layer.mUnicodeName.resize(count);
        for (u16& u : layer.mUnicodeName)
            u = r.U16();
        return kOk;
    }
    case FourCC("lyid"): layer.mLayerId = r.U32(); return kOk;
    case FourCC("lyvr"): layer.mLayerVersion = r.U32(); return kOk;
    case FourCC("lnsr"): layer.mNameSource = r.U32(); return kOk;
    case FourCC("lspf"):
    {
        u32 flags = r.U32();
        layer.mProtectTransparency = flags & 1;
        layer.mProtectComposite = (flags >> 1) & 1;
        layer.mProtectPosition = (flags >> 2) & 1;
        return kOk;
    }
    case FourCC("lclr"):
    {
        // The value is a colour index; the RGB reading is kept for compatibility, the bytes too.
        r.Read(layer.mSheetColourBytes, sizeof layer.mSheetColourBytes);
        layer.mSheetColour = 0xFF000000u | (u32(layer.mSheetColourBytes[0]) << 16) |
                             (u32(layer.mSheetColourBytes[1]) << 8) | layer.mSheetColourBytes[2];
        return kOk;
    }
    case FourCC("iOpa"): layer.mFillOpacity = r.U8(); return kOk;
    case FourCC("clbl"): layer.mBlendClipped = r.Bool(); return kOk;
    case FourCC("infx"): layer.mBlendInterior = r.Bool(); return kOk;
    case FourCC("knko"): layer.mKnockout = r.Bool(); return kOk;
    case FourCC("tsly"): layer.mTransparencyShapes = r.Bool(); return kOk;
    case FourCC("lmgm"): layer.mLayerMaskAsGlobal = r.Bool(); return kOk;
    case FourCC("vmgm"): layer.mVectorMaskAsGlobal = r.Bool(); return kOk;
    case FourCC("fxrp"):
        layer.mReferenceX = TruncatedDouble(r.F64());
        layer.mReferenceY = TruncatedDouble(r.F64());
        return kOk;
    case FourCC("brst"):
    {
        u64 count = r.Length() / 4;
        for (u64 i = 0; i < count; ++i)
        {
            i32 id = r.I32();
            for (ChannelInfo& info : layer.mChannels)
                if (info.mId == id)
                    info.mRestricted = 1;
        }
        return kOk;
    }
    case FourCC("lrFX"): return ReadOldEffects(ctx, layer, r);
    case FourCC("lfx2"): return ReadObjectEffects(ctx, layer, r);
    default: return ReadAdjustmentRecord(ctx, layer, key, r);
    }
}
} // namespace psd
