// Layer effects. Old-form numbers are 16.16 fixed point: their integer parts are kept.
#include "Core/Psd/Effects.h"

#include "Core/Psd/Colour.h"
#include "Core/Psd/Descriptor.h"

namespace psd
{
namespace
{
i32 Fixed(u32 value) { return static_cast<i32>(value) >> 16; }

void MarkRead(EffectsRecord& rec, EffectIndex index)
{
    rec.mPresent[index] = 1;
    rec.mRead[index] = 1;
}

// ---- old form ----

i32 ReadOldShadow(LoadContext& ctx, Reader& r, ShadowEffect& e)
{
    u32 size = r.U32();
    u64 end = r.Position() + size;
    u32 version = r.U32();
    if (version != 0 && version != 2)
        return ctx.Fail(kShadowVersion, "shadow effect version is not 0 or 2");
    e.mSize = Fixed(r.U32());
    e.mSpread = Fixed(r.U32());
    e.mAngle = Fixed(r.U32());
    e.mDistance = Fixed(r.U32());
    e.mColour = ReadColourRecord(r);
    if (r.Key() != FourCC("8BIM"))
        return ctx.Fail(kBadBlendSignature, "shadow effect blend signature is not 8BIM");
    e.mBlendMode = BlendModeFromKey(r.Key());
    e.mEnabled = r.Bool();
    e.mUseGlobalLight = r.Bool();
    e.mOpacity = r.U8();
    if (version == 2)
        e.mNativeColour = ReadColourRecord(r);
    r.SkipTo(end);
    return kOk;
}

i32 ReadOldGlow(LoadContext& ctx, Reader& r, GlowEffect& e, bool inner)
{
    u32 size = r.U32();
    u64 end = r.Position() + size;
    u32 version = r.U32();
    if (version != 0 && version != 2)
        return ctx.Fail(inner ? kInnerGlowVersion : kOuterGlowVersion, "glow effect version is not 0 or 2");
    e.mSize = Fixed(r.U32());
    e.mSpread = Fixed(r.U32());
    e.mColour = ReadColourRecord(r);
    if (r.Key() != FourCC("8BIM"))
        return ctx.Fail(kBadBlendSignature, "glow effect blend signature is not 8BIM");
    e.mBlendMode = BlendModeFromKey(r.Key());
    e.mEnabled = r.Bool();
    e.mOpacity = r.U8();
    if (version == 2)
    {
        if (inner && r.Bool())
            e.mSourceIsEdge = 0;
        e.mNativeColour = ReadColourRecord(r);
    }
    r.SkipTo(end);
    return kOk;
}

i32 ReadOldBevel(LoadContext& ctx, Reader& r, BevelEffect& e)
{
    u32 size = r.U32();
    u64 end = r.Position() + size;
    u32 version = r.U32();
    if (version != 0 && version != 2)
        return ctx.Fail(kBevelVersion, "bevel effect version is not 0 or 2");
    e.mAngle = Fixed(r.U32());
    e.mSize = Fixed(r.U32());
    e.mSoften = Fixed(r.U32());
    if (r.Key() != FourCC("8BIM"))
        return ctx.Fail(kBadBlendSignature, "bevel highlight blend signature is not 8BIM");
    e.mHighlightBlendMode = BlendModeFromKey(r.Key());
    if (r.Key() != FourCC("8BIM"))
        return ctx.Fail(kBadBlendSignature, "bevel shadow blend signature is not 8BIM");
    e.mShadowBlendMode = BlendModeFromKey(r.Key());
    e.mHighlightColour = ReadColourRecord(r);
    e.mShadowColour = ReadColourRecord(r);
    e.mStyle = r.U8();
    e.mHighlightOpacity = r.U8();
    e.mShadowOpacity = r.U8();
    e.mEnabled = r.Bool();
    e.mUseGlobalLight = r.Bool();
    e.mDirection = r.U8();
    if (version == 2)
    {
        e.mHighlightNativeColour = ReadColourRecord(r);
        e.mShadowNativeColour = ReadColourRecord(r);
    }
    r.SkipTo(end);
    return kOk;
}

i32 ReadOldSolidFill(LoadContext& ctx, Reader& r, ColourOverlayEffect& e)
{
    u32 size = r.U32();
    u64 end = r.Position() + size;
    if (r.U32() != 2)
        return ctx.Fail(kSolidFillVersion, "solid fill effect version is not 2");
    if (r.Key() != FourCC("8BIM"))
        return ctx.Fail(kBadBlendSignature, "solid fill blend signature is not 8BIM");
    e.mBlendMode = BlendModeFromKey(r.Key());
    e.mColour = ReadColourRecord(r);
    e.mOpacity = r.U8();
    e.mEnabled = r.Bool();
    e.mNativeColour = ReadColourRecord(r);
    r.SkipTo(end);
    return kOk;
}

i32 ReadOldEntries(LoadContext& ctx, Reader& r, EffectsRecord& rec)
{
    if (r.U16() != 0)
        return ctx.Fail(kEffectsVersion, "effects version is not 0");
    rec.mEffectCount = r.U16();
    for (u32 i = 0; i < rec.mEffectCount; ++i)
    {
        if (r.Overrun())
            return ctx.Fail(kReadError, "effects record cut short");
        if (r.Key() != FourCC("8BIM"))
            return ctx.Fail(kEffectSignature, "effect signature is not 8BIM");
        u32 key = r.Key();
        i32 status = kOk;
        switch (key)
        {
        case FourCC("cmnS"):
        {
            u32 size = r.U32();
            u64 end = r.Position() + size;
            if (r.U32() != 0)
                return ctx.Fail(kCommonStateVersion, "common effect state version is not 0");
            rec.mVisible = r.Bool();
            r.SkipTo(end);
            break;
        }
        case FourCC("dsdw"):
            status = ReadOldShadow(ctx, r, rec.mDropShadow);
            MarkRead(rec, kDropShadow);
            break;
        case FourCC("isdw"):
            status = ReadOldShadow(ctx, r, rec.mInnerShadow);
            MarkRead(rec, kInnerShadow);
            break;
        case FourCC("oglw"):
            status = ReadOldGlow(ctx, r, rec.mOuterGlow, false);
            MarkRead(rec, kOuterGlow);
            break;
        case FourCC("iglw"):
            status = ReadOldGlow(ctx, r, rec.mInnerGlow, true);
            MarkRead(rec, kInnerGlow);
            break;
        case FourCC("bevl"):
            status = ReadOldBevel(ctx, r, rec.mBevel);
            MarkRead(rec, kBevel);
            break;
        case FourCC("sofi"):
            status = ReadOldSolidFill(ctx, r, rec.mColourOverlay);
            MarkRead(rec, kColourOverlay);
            break;
        default: return ctx.Fail(kUnknownEffect, "unknown effect key");
        }
        if (status != kOk)
            return status;
    }
    return kOk;
}

// ---- descriptor form ----

// Reads one item's value into a field when the type fits; otherwise skips it by its type.
struct Field
{
    Reader& r;
    u32 type;
    int depth;
    bool ok = true;

    void Int(i32& out)
    {
        double v = 0.0;
        bool number = type == FourCC("doub") || type == FourCC("UntF") || type == FourCC("long");
        ok = ok && ReadNumber(r, type, depth, v);
        if (number)
            out = TruncToInt(v);
    }
    template <class T> void Percent(T& out)
    {
        double v = 0.0;
        bool number = type == FourCC("doub") || type == FourCC("UntF") || type == FourCC("long");
        ok = ok && ReadNumber(r, type, depth, v);
        if (number)
            out = static_cast<T>(PercentToByte(v));
    }
    void Bool(u8& out) { ok = ok && ReadBoolValue(r, type, depth, out); }
    void Blend(u32& out)
    {
        std::string id;
        ok = ok && ReadEnumValue(r, type, depth, id);
        if (type == FourCC("enum"))
            out = BlendModeFromEnum(id);
    }
    std::string Enum()
    {
        std::string id;
        ok = ok && ReadEnumValue(r, type, depth, id);
        return id;
    }
    void Colour(u32& out) { ok = ok && ReadColourValue(r, type, depth, out); }
    void ContourValue(Contour& out) { ok = ok && ReadContourValue(r, type, depth, out); }
    void GradientValue(Gradient& out) { ok = ok && ReadGradientValue(r, type, depth, out); }
    void PatternValue(PatternRef& out) { ok = ok && ReadPatternValue(r, type, depth, out); }
    void PointValue(Point& out) { ok = ok && ReadPointValue(r, type, depth, out); }
    int Result() const { return ok ? 1 : -1; }
};

template <class Handler> bool ReadEffect(Reader& r, u32 type, int depth, Handler&& handler)
{
    if (type != FourCC("Objc"))
        return SkipValue(r, type, depth);
    return WalkDescriptor(r, depth + 1, nullptr,
                          [&](const std::string& key, u32 t)
                          {
                              Field f{r, t, depth + 2};
                              if (!handler(key, f))
                                  return 0; // unknown keys are skipped by their type
                              return f.Result();
                          });
}

bool ReadShadowDescriptor(Reader& r, u32 type, int depth, ShadowEffect& e)
{
    return ReadEffect(r, type, depth,
                      [&](const std::string& k, Field& f)
                      {
                          if (k == "enab")
                              f.Bool(e.mEnabled);
                          else if (k == "Md  ")
                              f.Blend(e.mBlendMode);
                          else if (k == "Clr ")
                          {
                              f.Colour(e.mColour);
                              e.mNativeColour = e.mColour;
                          }
                          else if (k == "Opct")
                              f.Percent(e.mOpacity);
                          else if (k == "lagl")
                              f.Int(e.mAngle);
                          else if (k == "uglg")
                              f.Bool(e.mUseGlobalLight);
                          else if (k == "Dstn")
                              f.Int(e.mDistance);
                          else if (k == "Ckmt")
                              f.Int(e.mSpread);
                          else if (k == "blur")
                              f.Int(e.mSize);
                          else if (k == "TrnS")
                              f.ContourValue(e.mContour);
                          else if (k == "AntA")
                              f.Bool(e.mAntiAliased);
                          else if (k == "Nose")
                              f.Int(e.mNoise);
                          else if (k == "layerConceals")
                              f.Bool(e.mLayerKnocksOut);
                          else
                              return false;
                          return true;
                      });
}

bool ReadGlowDescriptor(Reader& r, u32 type, int depth, GlowEffect& e)
{
    return ReadEffect(r, type, depth,
                      [&](const std::string& k, Field& f)
                      {
                          if (k == "enab")
                              f.Bool(e.mEnabled);
                          else if (k == "Md  ")
                              f.Blend(e.mBlendMode);
                          else if (k == "Opct")
                              f.Percent(e.mOpacity);
                          else if (k == "Nose")
                              f.Int(e.mNoise);
                          else if (k == "Clr ")
                          {
                              f.Colour(e.mColour);
                              e.mNativeColour = e.mColour;
                              e.mFillKind = 0;
                          }
                          else if (k == "Grad")
                          {
                              f.GradientValue(e.mGradient);
                              e.mFillKind = 1;
                          }
                          else if (k == "GlwT")
                              e.mTechnique = BevelTechniqueFromEnum(f.Enum());
                          else if (k == "glwS")
                              e.mSourceIsEdge = f.Enum() == "SrcC" ? 0 : 1;
                          else if (k == "Ckmt")
                              f.Int(e.mSpread);
                          else if (k == "blur")
                              f.Int(e.mSize);
                          else if (k == "TrnS")
                              f.ContourValue(e.mContour);
                          else if (k == "AntA")
                              f.Bool(e.mAntiAliased);
                          else if (k == "Inpr")
                              f.Int(e.mRange);
                          else if (k == "ShdN")
                              f.Int(e.mJitter);
                          else
                              return false;
                          return true;
                      });
}

bool ReadBevelDescriptor(Reader& r, u32 type, int depth, BevelEffect& e)
{
    return ReadEffect(
        r, type, depth,
        [&](const std::string& k, Field& f)
        {
            if (k == "enab")
                f.Bool(e.mEnabled);
            else if (k == "bvlS")
            {
                std::string s = f.Enum();
                e.mStyle = s == "OtrB" ? 0 : s == "Embs" ? 2 : s == "PlEb" ? 3 : s == "strokeEmboss" ? 4 : 1;
            }
            else if (k == "bvlT")
                e.mTechnique = BevelTechniqueFromEnum(f.Enum());
            else if (k == "srgR")
                f.Int(e.mDepth);
            else if (k == "bvlD")
                e.mDirection = f.Enum() == "Out " ? 1 : 0;
            else if (k == "blur")
                f.Int(e.mSize);
            else if (k == "Sftn")
                f.Int(e.mSoften);
            else if (k == "lagl")
                f.Int(e.mAngle);
            else if (k == "uglg")
                f.Bool(e.mUseGlobalLight);
            else if (k == "Lald")
                f.Int(e.mAltitude);
            else if (k == "TrnS")
                f.ContourValue(e.mGlossContour);
            else if (k == "antialiasGloss")
                f.Bool(e.mAntiAliasGloss);
            else if (k == "hglM")
                f.Blend(e.mHighlightBlendMode);
            else if (k == "hglC")
            {
                f.Colour(e.mHighlightColour);
                e.mHighlightNativeColour = e.mHighlightColour;
            }
            else if (k == "hglO")
                f.Percent(e.mHighlightOpacity);
            else if (k == "sdwM")
                f.Blend(e.mShadowBlendMode);
            else if (k == "sdwC")
            {
                f.Colour(e.mShadowColour);
                e.mShadowNativeColour = e.mShadowColour;
            }
            else if (k == "sdwO")
                f.Percent(e.mShadowOpacity);
            else if (k == "MpgS")
                f.ContourValue(e.mContour);
            else if (k == "AntA")
                f.Bool(e.mAntiAliased);
            else if (k == "Inpr")
                f.Int(e.mRange);
            else if (k == "useShape")
                f.Bool(e.mUseShape);
            else if (k == "useTexture")
                f.Bool(e.mUseTexture);
            else if (k == "Ptrn")
                f.PatternValue(e.mPattern);
            else if (k == "Scl ")
                f.Int(e.mTextureScale);
            else if (k == "textureDepth")
                f.Int(e.mTextureDepth);
            else if (k == "InvT")
                f.Bool(e.mTextureInvert);
            else if (k == "Algn")
                f.Bool(e.mTextureAlign);
            else
                return false;
            return true;
        });
}

bool ReadColourOverlayDescriptor(Reader& r, u32 type, int depth, ColourOverlayEffect& e)
{
    return ReadEffect(r, type, depth,
                      [&](const std::string& k, Field& f)
                      {
                          if (k == "enab")
                              f.Bool(e.mEnabled);
                          else if (k == "Md  ")
                              f.Blend(e.mBlendMode);
                          else if (k == "Clr ")
                          {
                              f.Colour(e.mColour);
                              e.mNativeColour = e.mColour;
                          }
                          else if (k == "Opct")
                              f.Percent(e.mOpacity);
                          else
                              return false;
                          return true;
                      });
}

bool ReadGradientOverlayDescriptor(Reader& r, u32 type, int depth, GradientOverlayEffect& e)
{
    return ReadEffect(r, type, depth,
                      [&](const std::string& k, Field& f)
                      {
                          if (k == "enab")
                              f.Bool(e.mEnabled);
                          else if (k == "Md  ")
                              f.Blend(e.mBlendMode);
                          else if (k == "Opct")
                              f.Percent(e.mOpacity);
                          else if (k == "Grad")
                              f.GradientValue(e.mGradient);
                          else if (k == "Angl")
                              f.Int(e.mAngle);
                          else if (k == "Type")
                              e.mStyle = GradientStyleFromEnum(f.Enum());
                          else if (k == "Rvrs")
                              f.Bool(e.mReverse);
                          else if (k == "Algn")
                              f.Bool(e.mAlign);
                          else if (k == "Scl ")
                              f.Int(e.mScale);
                          else if (k == "Ofst")
                              f.PointValue(e.mOffset);
                          else
                              return false;
                          return true;
                      });
}

bool ReadPatternOverlayDescriptor(Reader& r, u32 type, int depth, PatternOverlayEffect& e)
{
    return ReadEffect(r, type, depth,
                      [&](const std::string& k, Field& f)
                      {
                          if (k == "enab")
                              f.Bool(e.mEnabled);
                          else if (k == "Md  ")
                              f.Blend(e.mBlendMode);
                          else if (k == "Opct")
                              f.Percent(e.mOpacity);
                          else if (k == "Ptrn")
                              f.PatternValue(e.mPattern);
                          else if (k == "Scl ")
                              f.Int(e.mScale);
                          else if (k == "Algn")
                              f.Bool(e.mAlign);
                          else if (k == "phase")
                              f.PointValue(e.mPhase);
                          else
                              return false;
                          return true;
                      });
}

bool ReadStrokeDescriptor(Reader& r, u32 type, int depth, StrokeEffect& e)
{
    return ReadEffect(r, type, depth,
                      [&](const std::string& k, Field& f)
                      {
                          if (k == "enab")
                              f.Bool(e.mEnabled);
                          else if (k == "Sz  ")
                              f.Int(e.mSize);
                          else if (k == "Styl")
                          {
                              std::string s = f.Enum();
                              e.mPosition = s == "InsF" ? 1 : s == "CtrF" ? 2 : 0;
                          }
                          else if (k == "Md  ")
                              f.Blend(e.mBlendMode);
                          else if (k == "Opct")
                              f.Percent(e.mOpacity);
                          else if (k == "PntT")
                          {
                              std::string s = f.Enum();
                              e.mPaintType = s == "GrFl" ? 1 : s == "Ptrn" ? 2 : 0;
                          }
                          else if (k == "Clr ")
                              f.Colour(e.mColour);
                          else if (k == "Grad")
                              f.GradientValue(e.mGradient);
                          else if (k == "Rvrs")
                              f.Bool(e.mReverse);
                          else if (k == "Type")
                              e.mGradientStyle = GradientStyleFromEnum(f.Enum());
                          else if (k == "Algn")
                              f.Bool(e.mAlign);
                          else if (k == "Angl")
                              f.Int(e.mAngle);
                          else if (k == "Scl ")
                              f.Int(e.mGradientScale);
                          else if (k == "Ofst")
                              f.PointValue(e.mOffset);
                          else if (k == "Ptrn")
                              f.PatternValue(e.mPattern);
                          else if (k == "Lnkd")
                              f.Bool(e.mLinked);
                          else if (k == "phase")
                              f.PointValue(e.mPhase);
                          else
                              return false;
                          return true;
                      });
}

bool ReadSatinDescriptor(Reader& r, u32 type, int depth, SatinEffect& e)
{
    return ReadEffect(r, type, depth,
                      [&](const std::string& k, Field& f)
                      {
                          if (k == "enab")
                              f.Bool(e.mEnabled);
                          else if (k == "Md  ")
                              f.Blend(e.mBlendMode);
                          else if (k == "Clr ")
                              f.Colour(e.mColour);
                          else if (k == "Opct")
                              f.Percent(e.mOpacity);
                          else if (k == "lagl")
                              f.Int(e.mAngle);
                          else if (k == "Dstn")
                              f.Int(e.mDistance);
                          else if (k == "blur")
                              f.Int(e.mSize);
                          else if (k == "AntA")
                              f.Bool(e.mAntiAliased);
                          else if (k == "Invr")
                              f.Bool(e.mInvert);
                          else if (k == "MpgS")
                              f.ContourValue(e.mContour);
                          else
                              return false;
                          return true;
                      });
}
} // namespace

i32 ReadOldEffects(LoadContext& ctx, LayerRecord& layer, Reader& r)
{
    auto rec = std::make_unique<EffectsRecord>();
    i32 status = ReadOldEntries(ctx, r, *rec);
    StoreEntry(layer, kEntryEffectsOld, std::move(rec));
    return status;
}

i32 ReadObjectEffects(LoadContext& ctx, LayerRecord& layer, Reader& r)
{
    if (r.U32() != 0 || r.U32() != 16)
        return ctx.Fail(kEffectsVersion, "object effects version is not 0 or descriptor version not 16");
    auto rec = std::make_unique<EffectsRecord>();
    EffectsRecord& e = *rec;
    // A value of an unknown type stops the walk; what was read stays.
    WalkDescriptor(r, 0, nullptr,
                   [&](const std::string& key, u32 type)
                   {
                       bool ok;
                       EffectIndex index;
                       if (key == "DrSh")
                           ok = ReadShadowDescriptor(r, type, 1, e.mDropShadow), index = kDropShadow;
                       else if (key == "IrSh")
                           ok = ReadShadowDescriptor(r, type, 1, e.mInnerShadow), index = kInnerShadow;
                       else if (key == "OrGl")
                           ok = ReadGlowDescriptor(r, type, 1, e.mOuterGlow), index = kOuterGlow;
                       else if (key == "IrGl")
                           ok = ReadGlowDescriptor(r, type, 1, e.mInnerGlow), index = kInnerGlow;
                       else if (key == "ebbl")
                           ok = ReadBevelDescriptor(r, type, 1, e.mBevel), index = kBevel;
                       else if (key == "SoFi")
                           ok = ReadColourOverlayDescriptor(r, type, 1, e.mColourOverlay), index = kColourOverlay;
                       else if (key == "GrFl")
                           ok = ReadGradientOverlayDescriptor(r, type, 1, e.mGradientOverlay), index = kGradientOverlay;
                       else if (key == "patternFill")
                           ok = ReadPatternOverlayDescriptor(r, type, 1, e.mPatternOverlay), index = kPatternOverlay;
                       else if (key == "FrFX")
                           ok = ReadStrokeDescriptor(r, type, 1, e.mStroke), index = kStroke;
                       else if (key == "ChFX")
                           ok = ReadSatinDescriptor(r, type, 1, e.mSatin), index = kSatin;
                       else if (key == "masterFXSwitch" && type == FourCC("bool"))
                       {
                           e.mVisible = r.Bool();
                           return 1;
                       }
                       else
                           return 0;
                       if (type == FourCC("Objc"))
                       {
                           ++e.mEffectCount;
                           MarkRead(e, index);
                       }
                       return ok ? 1 : -1;
                   });
    StoreEntry(layer, kEntryEffects, std::move(rec));
    return kOk;
}
} // namespace psd
