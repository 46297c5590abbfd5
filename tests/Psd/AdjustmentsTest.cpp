// Adjustment, fill and type-tool records.
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{

template <class T> const T* Entry(const DocPtr& doc, u32 kind)
{
    return doc ? static_cast<const T*>(doc->mLayers[0].FindEntry(kind)) : nullptr;
}

std::string Levels(u32 extraRecords, bool marker)
{
    Bytes b;
    b.U16(2);
    for (int i = 0; i < 29; ++i)
        b.U16(i).U16(255).U16(0).U16(255).U16(100);
    if (marker)
    {
        b.Key("Lvls").U16(3).U16(29 + extraRecords);
        for (u32 i = 0; i < extraRecords; ++i)
            b.U16(1).U16(2).U16(3).U16(4).U16(150);
    }
    return b.Str();
}

std::string Curves(u32 bits, u32 count)
{
    Bytes b;
    b.U8(0).U16(1).U32(bits);
    for (u32 i = 0; i < count; ++i)
        b.U16(2).U16(0).U16(0).U16(255).U16(255);
    return b.Str();
}
} // namespace

TEST(Adjustments, LevelsLengthMustMatch)
{
    DocPtr doc = LoadLayerWithExtra(Tagged("levl", Levels(0, false)));
    const auto* levels = Entry<psd::LevelsRecord>(doc, psd::kEntryLevels);
    ASSERT_TRUE(levels);
    EXPECT_EQ(29u, levels->mLevels.size());
    EXPECT_EQ(psd::kLayerLevels, doc->mLayers[0].mType);
    EXPECT_EQ(1, doc->mLayers[0].mAdjustment);
    EXPECT_FLOAT_EQ(1.0f, levels->mLevels[3].mGamma);
    i32 status = 0;
    EXPECT_FALSE(LoadLayerWithExtra(Tagged("levl", Levels(0, false) + "x"), &status));
    EXPECT_EQ(psd::kLevelsLength, status);
    doc = LoadLayerWithExtra(Tagged("levl", Levels(2, true)));
    levels = Entry<psd::LevelsRecord>(doc, psd::kEntryLevels);
    ASSERT_TRUE(levels);
    ASSERT_EQ(31u, levels->mLevels.size());
    EXPECT_FLOAT_EQ(1.5f, levels->mLevels[30].mGamma);
    std::string wrongMarker = Levels(0, false) + "LvlX" + std::string(4, '\0');
    EXPECT_FALSE(LoadLayerWithExtra(Tagged("levl", wrongMarker), &status));
    EXPECT_EQ(psd::kLevelsExtraKey, status);
}

TEST(Adjustments, CurvesByChannelBitsAndTheirExtension)
{
    DocPtr doc = LoadLayerWithExtra(Tagged("curv", Curves(0x7, 3)));
    const auto* curves = Entry<psd::CurvesRecord>(doc, psd::kEntryCurves);
    ASSERT_TRUE(curves);
    ASSERT_EQ(3u, curves->mCurves.size());
    EXPECT_EQ(2, curves->mCurves[2].mChannel);
    EXPECT_EQ(255, curves->mCurves[1].mPoints[1].first);
    EXPECT_EQ(1, doc->mLayers[0].mAdjustment);

    Bytes same;
    same.Key("Crv ").U16(4).U32(1).U16(0).U16(2).U16(0).U16(0).U16(255).U16(255);
    doc = LoadLayerWithExtra(Tagged("curv", Curves(0x1, 1) + same.Str()));
    ASSERT_TRUE(doc);
    EXPECT_EQ(1, doc->mLayers[0].mAdjustment);

    Bytes differs;
    differs.Key("Crv ").U16(4).U32(1).U16(0).U16(2).U16(0).U16(9).U16(255).U16(255);
    doc = LoadLayerWithExtra(Tagged("curv", Curves(0x1, 1) + differs.Str()));
    ASSERT_TRUE(doc);
    EXPECT_EQ(0, doc->mLayers[0].mAdjustment);
    EXPECT_EQ(psd::kLayerCurves, doc->mLayers[0].mType);
}

TEST(Adjustments, VersionChecks)
{
    const std::pair<const char*, i32> cases[] = {
        {"levl", psd::kLevelsVersion}, {"hue2", psd::kHueVersion}, {"selc", psd::kSelectiveVersion},
        {"mixr", psd::kMixerVersion},  {"phfl", psd::kPhotoFilterVersion}, {"grdm", psd::kGradientMapVersion},
        {"SoCo", psd::kSolidColourVersion}, {"GdFl", psd::kGradientFillVersion}, {"PtFl", psd::kPatternFillVersion},
        {"curv", psd::kCurvesVersion},
    };
    for (const auto& [key, expected] : cases)
    {
        i32 status = 0;
        EXPECT_FALSE(LoadLayerWithExtra(Tagged(key, std::string(120, '\x09')), &status)) << key;
        EXPECT_EQ(expected, status) << key;
    }
}

TEST(Adjustments, FixedRecords)
{
    Bytes brit, hue, mixr, phfl;
    brit.U16(10).U16(20).U16(30).U8(1);
    hue.U16(2).U8(1).U8(0);
    for (int i = 0; i < 6; ++i)
        hue.U16(i);
    for (int i = 0; i < 42; ++i)
        hue.U16(100 + i);
    mixr.U16(1).U16(1);
    for (int i = 0; i < 20; ++i)
        mixr.U16(i);
    phfl.U16(3).U32(0x1200).U32(0x3400).U32(0x5600).U32(25).U8(1).U8(0);
    DocPtr doc = LoadLayerWithExtra(Tagged("brit", brit.Str()) + Tagged("hue2", hue.Str()) + Tagged("mixr", mixr.Str()) +
                               Tagged("phfl", phfl.Str()) + Tagged("nvrt", ""));
    ASSERT_TRUE(doc);
    const auto* b = Entry<psd::BrightnessRecord>(doc, psd::kEntryBrightness);
    ASSERT_TRUE(b);
    EXPECT_EQ(20, b->mContrast);
    const auto* h = Entry<psd::HueSaturationRecord>(doc, psd::kEntryHueSaturation);
    ASSERT_TRUE(h);
    EXPECT_EQ(1, h->mColourize);
    EXPECT_EQ(5, h->mMaster[2]);
    EXPECT_EQ(141, h->mRanges[5].mSettings[2]);
    const auto* m = Entry<psd::ChannelMixerRecord>(doc, psd::kEntryChannelMixer);
    ASSERT_TRUE(m);
    EXPECT_EQ(19, m->mMix[3][4]);
    const auto* p = Entry<psd::PhotoFilterRecord>(doc, psd::kEntryPhotoFilter);
    ASSERT_TRUE(p);
    EXPECT_EQ(0x34u, p->mColour[1]);
    // The last adjustment key decides the type: invert.
    EXPECT_EQ(psd::kLayerInvert, doc->mLayers[0].mType);
    EXPECT_EQ(4, doc->mLayers[0].mTypedCount);
}

TEST(Adjustments, GradientMapWithExpansion)
{
    Bytes b;
    b.U16(1).U8(1).U8(0).Unicode("Map").U16(2);
    b.U32(0).U32(50).Colour(0, 0xFF00, 0, 0).U16(0);
    b.U32(4096).U32(50).Colour(0, 0, 0, 0xFF00).U16(0);
    b.U16(1).U32(0).U32(50).U16(100);
    b.U16(1).U16(4096).U16(32).U16(1).U32(99).U16(0).U16(1).U32(2048).U16(0);
    b.U16(0).U16(0).U16(0).U16(0).U16(0xFFFF).U16(0xFFFF).U16(0xFFFF).U16(0).U16(0);
    DocPtr doc = LoadLayerWithExtra(Tagged("grdm", b.Str()));
    const auto* map = Entry<psd::GradientMapRecord>(doc, psd::kEntryGradientMap);
    ASSERT_TRUE(map);
    EXPECT_EQ(1, map->mReverse);
    EXPECT_EQ(3u, map->mName.size());
    ASSERT_EQ(2u, map->mColourStops.size());
    EXPECT_EQ(0xFF0000FFu, map->mColourStops[1].mColour);
    ASSERT_EQ(1u, map->mTransparencyStops.size());
    EXPECT_EQ(99u, map->mRandomSeed);
    EXPECT_EQ(2048u, map->mRoughness);
    EXPECT_EQ(0xFF000000u, map->mMinColour);
    EXPECT_EQ(0xFFFFFFFFu, map->mMaxColour);
}

TEST(Adjustments, HostileCountsAreBoundedByTheRecord)
{
    Bytes b;
    b.U16(1).U8(0).U8(0).U32(0xFFFFFFFF).U16(0xFFFF);
    i32 status = 0;
    LoadLayerWithExtra(Tagged("grdm", b.Str()), &status);
    EXPECT_EQ(psd::kReadError, status);
}

TEST(Adjustments, FillLayers)
{
    Bytes soco;
    soco.U32(16).Raw(Descriptor("null").Object("Clr ", RgbColour(1, 2, 3)).Body());
    DocPtr doc = LoadLayerWithExtra(Tagged("SoCo", soco.Str()));
    const auto* solid = Entry<psd::SolidColourRecord>(doc, psd::kEntrySolidColour);
    ASSERT_TRUE(solid);
    EXPECT_EQ(0xFF010203u, solid->mColour);
    EXPECT_EQ(psd::kLayerSolidFill, doc->mLayers[0].mType);

    Descriptor gradient("Grdn");
    gradient.Text("Nm  ", "Grad").Double("Intr", 4096.0).ObjectList(
        "Clrs", {Descriptor("Clrt").Object("Clr ", RgbColour(255, 0, 0)).Enum("Type", "Clry", "UsrS").Long("Lctn", 0).Long("Mdpn", 50),
                 Descriptor("Clrt").Object("Clr ", RgbColour(0, 0, 255)).Enum("Type", "Clry", "BckC").Long("Lctn", 4096).Long("Mdpn", 50)});
    gradient.ObjectList("Trns", {Descriptor("TrnS").Unit("Opct", "#Prc", 100).Long("Lctn", 0).Long("Mdpn", 50)});
    Bytes gdfl;
    gdfl.U32(16).Raw(Descriptor("null").Bool("Dthr", true).Unit("Angl", "#Ang", 30.0).Enum("Type", "GrdT", "Rdl ").Object("Grad", gradient).Unit("Scl ", "#Prc", 80.6).Body());
    doc = LoadLayerWithExtra(Tagged("GdFl", gdfl.Str()));
    const auto* fill = Entry<psd::GradientFillRecord>(doc, psd::kEntryGradientFill);
    ASSERT_TRUE(fill);
    EXPECT_EQ(1u, fill->mStyle);
    EXPECT_EQ(80, fill->mScale);
    EXPECT_DOUBLE_EQ(30.0, fill->mAngle);
    EXPECT_EQ(1, fill->mDither);
    EXPECT_EQ(4096, fill->mGradient.mInterpolation);
    ASSERT_EQ(2u, fill->mGradient.mColourStops.size());
    EXPECT_EQ(1u, fill->mGradient.mColourStops[1].mType);
    EXPECT_EQ(4096u, fill->mGradient.mColourStops[1].mLocation);
    EXPECT_EQ(0xFF0000FFu, fill->mGradient.mColourStops[1].mColour);
    ASSERT_EQ(1u, fill->mGradient.mTransparencyStops.size());
    EXPECT_EQ(100, fill->mGradient.mTransparencyStops[0].mOpacity);

    Bytes ptfl;
    ptfl.U32(16).Raw(Descriptor("null").Object("Ptrn", Descriptor("Ptrn").Text("Nm  ", "Dots").Text("Idnt", "id-1")).Unit("Scl ", "#Prc", 50).Body());
    doc = LoadLayerWithExtra(Tagged("PtFl", ptfl.Str()));
    const auto* pattern = Entry<psd::PatternFillRecord>(doc, psd::kEntryPatternFill);
    ASSERT_TRUE(pattern);
    EXPECT_EQ(50, pattern->mScale);
    EXPECT_EQ(4u, pattern->mPattern.mName.size());
    EXPECT_EQ(u16('-'), pattern->mPattern.mId[2]);
    EXPECT_EQ(psd::kLayerPatternFill, doc->mLayers[0].mType);
}

TEST(Adjustments, TypeToolRecordWithOneFontStyleAndLine)
{
    Bytes b;
    for (int i = 0; i < 6; ++i)
        b.F64(i + 0.5);
    b.U16(1).U16(7).U32(1).Pascal("Arial", 1).Pascal("Arial", 1).Pascal("Bold", 1).U16(0).U32(2).U32(10).U32(20);
    b.U16(1).U16(1).U16(7).U32(12).U32(0).U32(0).U32(14).U32(0).U8(1).U8(0).U8(0);
    b.U16(0).U32(100).U32(5).U32(10).U32(20).U32(0).U32(5);
    b.U16(1).U32(5).U16(0).U16(1).U16(65).U16(1);
    b.Colour(0, 0xFF00, 0xFF00, 0).U8(1);
    DocPtr doc = LoadLayerWithExtra(Tagged("tySh", b.Str()));
    const auto* type = Entry<psd::TypeToolRecord>(doc, psd::kEntryTypeTool);
    ASSERT_TRUE(type);
    EXPECT_DOUBLE_EQ(5.5, type->mTransform[5]);
    ASSERT_EQ(1u, type->mFonts.size());
    EXPECT_EQ("Bold", type->mFonts[0].mStyle);
    EXPECT_EQ((std::vector<u32>{10, 20}), type->mFonts[0].mAxes);
    ASSERT_EQ(1u, type->mStyles.size());
    EXPECT_EQ(12u, type->mStyles[0].mSize);
    ASSERT_EQ(1u, type->mLines.size());
    EXPECT_EQ(65, type->mLines[0].mCharacter);
    EXPECT_EQ(0xFFFFFF00u, type->mColour);
    EXPECT_EQ(1, type->mAntiAlias);
    EXPECT_EQ(psd::kLayerPixels, doc->mLayers[0].mType);
}
