// Fixed-layout adjustment records, descriptor-based fills and the type-tool record.
#include "Core/Psd/Adjustments.h"

#include "Core/Psd/Colour.h"
#include "Core/Psd/Descriptor.h"

#include <algorithm>

namespace psd
{
namespace
{
i32 CutShort(LoadContext& ctx, Reader& r, i32 status)
{
    if (status == kOk && r.Overrun())
        return ctx.Fail(kReadError, "adjustment record cut short");
    return status;
}

void ReadLevel(Reader& r, LevelsRecord::Level& level)
{
    level.mInputFloor = r.U16();
    level.mInputCeiling = r.U16();
    level.mOutputFloor = r.U16();
    level.mOutputCeiling = r.U16();
    level.mGamma = r.U16() / 100.0f;
}

i32 ReadLevels(LoadContext& ctx, Reader& r, LevelsRecord& rec)
{
    if (r.U16() != 2)
        return ctx.Fail(kLevelsVersion, "levels version is not 2");
    rec.mLevels.resize(29);
    for (auto& level : rec.mLevels)
        ReadLevel(r, level);
    if (r.Remaining() > 4)
    {
        if (r.Key() != FourCC("Lvls"))
            return ctx.Fail(kLevelsExtraKey, "levels extra block key is not Lvls");
        if (r.U16() != 3)
            return ctx.Fail(kLevelsExtraVersion, "levels extra block version is not 3");
        u32 total = r.U16();
        if (total > 29)
        {
            u64 extra = std::min<u64>(total - 29, r.Remaining() / 10);
            rec.mLevels.resize(29 + extra);
            for (u64 i = 29; i < rec.mLevels.size(); ++i)
                ReadLevel(r, rec.mLevels[i]);
        }
    }
    if (r.Overrun() || r.Position() != r.Length())
        return ctx.Fail(kLevelsLength, "levels record length does not match its contents");
    return kOk;
}

void ReadCurvePoints(Reader& r, CurvesRecord::Curve& curve)
{
    u64 count = r.Count16(4);
    curve.mPoints.resize(count);
    for (auto& p : curve.mPoints)
    {
        p.first = r.U16();
        p.second = r.U16();
    }
}

// 1 when the record is complete and consistent, 0 when the extension differs, else a status.
i32 ReadCurves(LoadContext& ctx, Reader& r, CurvesRecord& rec, bool& consistent)
{
    consistent = false;
    r.U8();
    u16 version = r.U16();
    if (version != 1 && version != 4)
        return ctx.Fail(kCurvesVersion, "curves version is not 1 or 4");
    u32 bits = r.U32();
    for (u32 bit = 0; bit < 32; ++bit)
    {
        if (!(bits & (1u << bit)))
            continue;
        CurvesRecord::Curve& curve = rec.mCurves.emplace_back();
        curve.mChannel = static_cast<u16>(bit);
        ReadCurvePoints(r, curve);
    }
    if (r.Remaining() > 4)
    {
        if (r.Key() != FourCC("Crv "))
            return ctx.Fail(kCurvesExtraKey, "curves extra block key is not Crv");
        if (r.U16() != 4)
            return ctx.Fail(kCurvesExtraVersion, "curves extra block version is not 4");
        u32 count = r.U32();
        for (u32 i = 0; i < count; ++i)
        {
            CurvesRecord::Curve again;
            again.mChannel = r.U16();
            ReadCurvePoints(r, again);
            if (r.Overrun() || i >= rec.mCurves.size() || again.mChannel != rec.mCurves[i].mChannel ||
                again.mPoints != rec.mCurves[i].mPoints)
                return kOk;
        }
    }
    consistent = true;
    return kOk;
}

i32 ReadHue(LoadContext& ctx, Reader& r, HueSaturationRecord& rec)
{
    if (r.U16() != 2)
        return ctx.Fail(kHueVersion, "hue and saturation version is not 2");
    rec.mColourize = r.U8();
    r.U8();
    for (u16& v : rec.mColourizeValues)
        v = r.U16();
    for (u16& v : rec.mMaster)
        v = r.U16();
    for (auto& range : rec.mRanges)
    {
        for (u16& v : range.mRange)
            v = r.U16();
        for (u16& v : range.mSettings)
            v = r.U16();
    }
    return kOk;
}

i32 ReadGradientMap(LoadContext& ctx, Reader& r, GradientMapRecord& rec)
{
    if (r.U16() != 1)
        return ctx.Fail(kGradientMapVersion, "gradient map version is not 1");
    rec.mReverse = r.Bool();
    rec.mDither = r.Bool();
    u64 units = r.Count32(2);
    rec.mName.resize(units);
    for (u16& u : rec.mName)
        u = r.U16();
    u64 colours = r.Count16(20);
    rec.mColourStops.resize(colours);
    for (auto& stop : rec.mColourStops)
    {
        stop.mLocation = r.U32();
        stop.mMidpoint = r.U32();
        stop.mColour = ReadColourRecord(r);
        r.Skip(2);
    }
    u64 alphas = r.Count16(10);
    rec.mTransparencyStops.resize(alphas);
    for (auto& stop : rec.mTransparencyStops)
    {
        stop.mLocation = r.U32();
        stop.mMidpoint = r.U32();
        stop.mOpacity = r.U16();
    }
    rec.mExpansionCount = r.U16();
    if (rec.mExpansionCount > 0)
    {
        rec.mInterpolation = r.U16();
        u16 length = r.U16();
        if (length >= 32)
        {
            rec.mMode = r.U16();
            rec.mRandomSeed = r.U32();
            rec.mShowTransparency = r.U16();
            rec.mUseVectorColour = r.U16();
            rec.mRoughness = r.U32();
            rec.mColourModel = r.U16();
            u16 minimum[4], maximum[4];
            for (u16& v : minimum)
                v = r.U16();
            for (u16& v : maximum)
                v = r.U16();
            rec.mMinColour = ColourRecordToArgb(rec.mColourModel, minimum);
            rec.mMaxColour = ColourRecordToArgb(rec.mColourModel, maximum);
        }
    }
    r.Skip(2);
    return kOk;
}

void ReadPascal(Reader& r, std::string& out)
{
    u8 length = r.U8();
    out.resize(length);
    out.resize(r.Read(out.data(), length));
}

i32 ReadTypeTool(Reader& r, TypeToolRecord& rec)
{
    for (double& v : rec.mTransform)
        v = r.F64();
    u64 fonts = r.Count16(15);
    rec.mFonts.resize(fonts);
    for (auto& font : rec.mFonts)
    {
        font.mTag = r.U16();
        font.mType = r.U32();
        ReadPascal(r, font.mName);
        ReadPascal(r, font.mFamily);
        ReadPascal(r, font.mStyle);
        font.mScript = r.U16();
        u64 axes = r.Count32(4);
        font.mAxes.resize(axes);
        for (u32& a : font.mAxes)
            a = r.U32();
    }
    u64 styles = r.Count16(27);
    rec.mStyles.resize(styles);
    for (auto& style : rec.mStyles)
    {
        style.mTag = r.U16();
        style.mFaceTag = r.U16();
        style.mSize = r.U32();
        style.mTracking = r.U32();
        style.mKerning = r.U32();
        style.mLeading = r.U32();
        style.mBaseShift = r.U32();
        style.mAutoKern = r.Bool();
        r.U8();
        style.mRotate = r.Bool();
    }
    rec.mType = r.U16();
    rec.mScaling = r.U32();
    rec.mCharacterCount = r.U32();
    rec.mHorizontalPlacement = r.U32();
    rec.mVerticalPlacement = r.U32();
    rec.mSelectionStart = r.U32();
    rec.mSelectionEnd = r.U32();
    u64 lines = r.Count16(12);
    rec.mLines.resize(lines);
    for (auto& line : rec.mLines)
    {
        line.mCharacters = r.U32();
        line.mOrientation = r.U16();
        line.mAlignment = r.U16();
        line.mCharacter = r.U16();
        line.mStyle = r.U16();
    }
    rec.mColour = ReadColourRecord(r);
    rec.mAntiAlias = r.Bool();
    return kOk;
}

// Descriptor-based fills: version 16, then a descriptor (a value of unknown type ends the walk).
i32 ReadSolidColour(LoadContext& ctx, Reader& r, SolidColourRecord& rec)
{
    if (r.U32() != 16)
        return ctx.Fail(kSolidColourVersion, "solid colour descriptor version is not 16");
    std::string classId;
    WalkDescriptor(r, 0, &classId,
                   [&](const std::string& key, u32 type)
                   {
                       if (key != "Clr ")
                           return 0;
                       return ReadColourValue(r, type, 1, rec.mColour) ? 1 : -1;
                   });
    u8 id[4] = {};
    std::copy_n(classId.begin(), std::min<size_t>(4, classId.size()), id);
    rec.mClassId = (u32(id[0]) << 24) | (u32(id[1]) << 16) | (u32(id[2]) << 8) | id[3];
    return kOk;
}

i32 ReadGradientFill(LoadContext& ctx, Reader& r, GradientFillRecord& rec)
{
    if (r.U32() != 16)
        return ctx.Fail(kGradientFillVersion, "gradient fill descriptor version is not 16");
    WalkDescriptor(r, 0, nullptr,
                   [&](const std::string& key, u32 type)
                   {
                       bool ok = true;
                       if (key == "Grad")
                           ok = ReadGradientValue(r, type, 1, rec.mGradient);
                       else if (key == "Algn")
                           ok = ReadBoolValue(r, type, 1, rec.mAlign);
                       else if (key == "Angl")
                           ok = ReadNumber(r, type, 1, rec.mAngle);
                       else if (key == "Dthr")
                           ok = ReadBoolValue(r, type, 1, rec.mDither);
                       else if (key == "Rvrs")
                           ok = ReadBoolValue(r, type, 1, rec.mReverse);
                       else if (key == "Scl ")
                       {
                           double scale = rec.mScale;
                           ok = ReadNumber(r, type, 1, scale);
                           rec.mScale = TruncToInt(scale);
                       }
                       else if (key == "Type")
                       {
                           std::string style;
                           ok = ReadEnumValue(r, type, 1, style);
                           rec.mStyle = GradientStyleFromEnum(style);
                       }
                       else
                           return 0;
                       return ok ? 1 : -1;
                   });
    return kOk;
}

i32 ReadPatternFill(LoadContext& ctx, Reader& r, PatternFillRecord& rec)
{
    if (r.U32() != 16)
        return ctx.Fail(kPatternFillVersion, "pattern fill descriptor version is not 16");
    WalkDescriptor(r, 0, nullptr,
                   [&](const std::string& key, u32 type)
                   {
                       bool ok = true;
                       if (key == "Ptrn")
                           ok = ReadPatternValue(r, type, 1, rec.mPattern);
                       else if (key == "Scl ")
                       {
                           double scale = rec.mScale;
                           ok = ReadNumber(r, type, 1, scale);
                           rec.mScale = TruncToInt(scale);
                       }
                       else
                           return 0;
                       return ok ? 1 : -1;
                   });
    return kOk;
}

template <class T, class F> i32 Parse(LoadContext& ctx, LayerRecord& layer, Reader& r, u32 kind, F&& read)
{
    auto rec = std::make_unique<T>();
    i32 status = read(*rec);
    StoreEntry(layer, kind, std::move(rec));
    return CutShort(ctx, r, status);
}
} // namespace

i32 ReadAdjustmentRecord(LoadContext& ctx, LayerRecord& layer, u32 key, Reader& r)
{
    auto adjust = [&](u32 type)
    {
        layer.mType = type;
        layer.mAdjustment = 1;
    };
    i32 status;
    switch (key)
    {
    case FourCC("levl"):
        adjust(kLayerLevels);
        return Parse<LevelsRecord>(ctx, layer, r, kEntryLevels,
                                   [&](LevelsRecord& rec) { return ReadLevels(ctx, r, rec); });
    case FourCC("curv"):
    {
        layer.mType = kLayerCurves;
        bool consistent = false;
        status = Parse<CurvesRecord>(ctx, layer, r, kEntryCurves,
                                     [&](CurvesRecord& rec) { return ReadCurves(ctx, r, rec, consistent); });
        if (status == kOk && consistent)
            layer.mAdjustment = 1;
        return status;
    }
    case FourCC("brit"):
        adjust(kLayerBrightness);
        return Parse<BrightnessRecord>(ctx, layer, r, kEntryBrightness,
                                       [&](BrightnessRecord& rec)
                                       {
                                           rec.mBrightness = r.U16();
                                           rec.mContrast = r.U16();
                                           rec.mMean = r.U16();
                                           rec.mLabOnly = r.U8();
                                           return kOk;
                                       });
    case FourCC("blnc"):
        adjust(kLayerColourBalance);
        return Parse<ColourBalanceRecord>(ctx, layer, r, kEntryColourBalance,
                                          [&](ColourBalanceRecord& rec)
                                          {
                                              for (int range = 0; range < 3; ++range)
                                              {
                                                  rec.mCyanRed[range] = r.U16();
                                                  rec.mMagentaGreen[range] = r.U16();
                                                  rec.mYellowBlue[range] = r.U16();
                                              }
                                              rec.mPreserveLuminosity = r.U8();
                                              return kOk;
                                          });
    case FourCC("hue2"):
        adjust(kLayerHueSaturation);
        return Parse<HueSaturationRecord>(ctx, layer, r, kEntryHueSaturation,
                                          [&](HueSaturationRecord& rec) { return ReadHue(ctx, r, rec); });
    case FourCC("selc"):
        adjust(kLayerSelectiveColour);
        return Parse<SelectiveColourRecord>(ctx, layer, r, kEntrySelectiveColour,
                                            [&](SelectiveColourRecord& rec)
                                            {
                                                if (r.U16() != 1)
                                                    return ctx.Fail(kSelectiveVersion,
                                                                    "selective colour version is not 1");
                                                rec.mMethod = r.U16();
                                                for (auto& row : rec.mCorrections)
                                                    for (u16& v : row)
                                                        v = r.U16();
                                                return static_cast<i32>(kOk);
                                            });
    case FourCC("thrs"):
        adjust(kLayerThreshold);
        return Parse<ThresholdRecord>(ctx, layer, r, kEntryThreshold,
                                      [&](ThresholdRecord& rec)
                                      {
                                          rec.mLevel = r.U16();
                                          return kOk;
                                      });
    case FourCC("nvrt"): adjust(kLayerInvert); return kOk;
    case FourCC("post"):
        adjust(kLayerPosterize);
        return Parse<PosterizeRecord>(ctx, layer, r, kEntryPosterize,
                                      [&](PosterizeRecord& rec)
                                      {
                                          rec.mLevels = r.U16();
                                          return kOk;
                                      });
    case FourCC("mixr"):
        adjust(kLayerChannelMixer);
        return Parse<ChannelMixerRecord>(ctx, layer, r, kEntryChannelMixer,
                                         [&](ChannelMixerRecord& rec)
                                         {
                                             if (r.U16() != 1)
                                                 return ctx.Fail(kMixerVersion, "channel mixer version is not 1");
                                             rec.mMonochrome = r.U16();
                                             for (auto& row : rec.mMix)
                                                 for (u16& v : row)
                                                     v = r.U16();
                                             return static_cast<i32>(kOk);
                                         });
    case FourCC("grdm"):
        adjust(kLayerGradientMap);
        return Parse<GradientMapRecord>(ctx, layer, r, kEntryGradientMap,
                                        [&](GradientMapRecord& rec) { return ReadGradientMap(ctx, r, rec); });
    case FourCC("phfl"):
        adjust(kLayerPhotoFilter);
        return Parse<PhotoFilterRecord>(ctx, layer, r, kEntryPhotoFilter,
                                        [&](PhotoFilterRecord& rec)
                                        {
                                            if (r.U16() != 3)
                                                return ctx.Fail(kPhotoFilterVersion, "photo filter version is not 3");
                                            for (u32& c : rec.mColour)
                                                c = r.U32() >> 8;
                                            rec.mDensity = r.U32();
                                            rec.mPreserveLuminosity = r.Bool();
                                            return static_cast<i32>(kOk);
                                        });
    case FourCC("SoCo"):
        layer.mType = kLayerSolidFill;
        return Parse<SolidColourRecord>(ctx, layer, r, kEntrySolidColour,
                                        [&](SolidColourRecord& rec) { return ReadSolidColour(ctx, r, rec); });
    case FourCC("GdFl"):
        layer.mType = kLayerGradientFill;
        return Parse<GradientFillRecord>(ctx, layer, r, kEntryGradientFill,
                                         [&](GradientFillRecord& rec) { return ReadGradientFill(ctx, r, rec); });
    case FourCC("PtFl"):
        layer.mType = kLayerPatternFill;
        return Parse<PatternFillRecord>(ctx, layer, r, kEntryPatternFill,
                                        [&](PatternFillRecord& rec) { return ReadPatternFill(ctx, r, rec); });
    case FourCC("tySh"):
        return Parse<TypeToolRecord>(ctx, layer, r, kEntryTypeTool,
                                     [&](TypeToolRecord& rec) { return ReadTypeTool(r, rec); });
    default: return kOk;
    }
}
} // namespace psd
