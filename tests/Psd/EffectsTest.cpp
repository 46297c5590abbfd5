// Layer effects in the old fixed form and the descriptor form.
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{

const psd::EffectsRecord* EffectsOf(const DocPtr& doc, u32 kind)
{
    return doc ? static_cast<const psd::EffectsRecord*>(doc->mLayers[0].FindEntry(kind)) : nullptr;
}

std::string CommonState()
{
    Bytes b;
    b.Key("8BIM").Key("cmnS").U32(7).U32(0).U8(1).U16(0);
    return b.Str();
}

std::string OldShadow(const char* key, u32 version)
{
    Bytes body;
    body.U32(version).U32(5u << 16).U32(10u << 16).U32(90u << 16).U32(7u << 16).Colour(0, 0xFF00, 0, 0);
    body.Key("8BIM").Key("mul ").U8(1).U8(0).U8(128);
    if (version == 2)
        body.Colour(0, 0, 0xFF00, 0);
    Bytes b;
    b.Key("8BIM").Key(key).Block(body.Str());
    return b.Str();
}

std::string OldEffects(u32 count, const std::string& entries)
{
    Bytes b;
    b.U16(0).U16(count).Raw(entries);
    return Tagged("lrFX", b.Str());
}
} // namespace

TEST(Effects, OldFormShadowAloneKeepsEveryOtherDefault)
{
    DocPtr doc = LoadLayerWithExtra(OldEffects(2, CommonState() + OldShadow("dsdw", 0)));
    const psd::EffectsRecord* fx = EffectsOf(doc, psd::kEntryEffectsOld);
    ASSERT_TRUE(fx);
    EXPECT_EQ(1, fx->mVisible);
    EXPECT_EQ(2, fx->mEffectCount);
    EXPECT_EQ(1, fx->mPresent[psd::kDropShadow]);
    EXPECT_EQ(1, fx->mDropShadow.mEnabled);
    EXPECT_EQ(5, fx->mDropShadow.mSize);
    EXPECT_EQ(10, fx->mDropShadow.mSpread);
    EXPECT_EQ(90, fx->mDropShadow.mAngle);
    EXPECT_EQ(7, fx->mDropShadow.mDistance);
    EXPECT_EQ(0xFFFF0000u, fx->mDropShadow.mColour);
    EXPECT_EQ(0xFF000000u, fx->mDropShadow.mNativeColour); // version 0 has none
    EXPECT_EQ(psd::kBlendMultiply, fx->mDropShadow.mBlendMode);
    EXPECT_EQ(128u, fx->mDropShadow.mOpacity);
    EXPECT_EQ(0, fx->mDropShadow.mUseGlobalLight);
    for (int i = 0; i < psd::kEffectCount; ++i)
    {
        if (i == psd::kDropShadow)
            continue;
        EXPECT_EQ(0, fx->mPresent[i]) << i;
    }
    psd::EffectsRecord defaults;
    EXPECT_EQ(defaults.mInnerShadow.mOpacity, fx->mInnerShadow.mOpacity);
    EXPECT_EQ(0xFFFFFFBEu, fx->mOuterGlow.mColour);
    EXPECT_EQ(100, fx->mBevel.mDepth);
    EXPECT_EQ(128u, fx->mSatin.mOpacity);
    EXPECT_EQ(3, fx->mStroke.mSize);
}

TEST(Effects, OldFormVersionTwoAndFailures)
{
    DocPtr doc = LoadLayerWithExtra(OldEffects(1, OldShadow("isdw", 2)));
    const psd::EffectsRecord* fx = EffectsOf(doc, psd::kEntryEffectsOld);
    ASSERT_TRUE(fx);
    EXPECT_EQ(0xFF00FF00u, fx->mInnerShadow.mNativeColour);
    i32 status = 0;
    EXPECT_FALSE(LoadLayerWithExtra(OldEffects(1, OldShadow("dsdw", 1)), &status));
    EXPECT_EQ(psd::kShadowVersion, status);
    Bytes unknown;
    unknown.Key("8BIM").Key("what").U32(0);
    EXPECT_FALSE(LoadLayerWithExtra(OldEffects(1, unknown.Str()), &status));
    EXPECT_EQ(psd::kUnknownEffect, status);
    Bytes badSignature;
    badSignature.Key("8BIX").Key("cmnS");
    EXPECT_FALSE(LoadLayerWithExtra(OldEffects(1, badSignature.Str()), &status));
    EXPECT_EQ(psd::kEffectSignature, status);
    Bytes version;
    version.U16(1).U16(0);
    EXPECT_FALSE(LoadLayerWithExtra(Tagged("lrFX", version.Str()), &status));
    EXPECT_EQ(psd::kEffectsVersion, status);
}

TEST(Effects, OldFormGlowBevelAndFill)
{
    Bytes glow;
    glow.U32(2).U32(12u << 16).U32(3u << 16).Colour(0, 0, 0, 0xFF00).Key("8BIM").Key("scrn").U8(1).U8(200).U8(1).Colour(0, 0, 0, 0);
    Bytes bevel;
    bevel.U32(0).U32(45u << 16).U32(6u << 16).U32(2u << 16).Key("8BIM").Key("scrn").Key("8BIM").Key("mul ");
    bevel.Colour(0, 0xFF00, 0xFF00, 0xFF00).Colour(0, 0, 0, 0).U8(2).U8(100).U8(50).U8(1).U8(1).U8(1);
    Bytes fill;
    fill.U32(2).Key("8BIM").Key("norm").Colour(0, 0, 0xFF00, 0).U8(77).U8(1).Colour(0, 0, 0xFF00, 0);
    Bytes entries;
    entries.Key("8BIM").Key("iglw").Block(glow.Str()).Key("8BIM").Key("bevl").Block(bevel.Str()).Key("8BIM").Key("sofi").Block(fill.Str());
    DocPtr doc = LoadLayerWithExtra(OldEffects(3, entries.Str()));
    const psd::EffectsRecord* fx = EffectsOf(doc, psd::kEntryEffectsOld);
    ASSERT_TRUE(fx);
    EXPECT_EQ(12, fx->mInnerGlow.mSize);
    EXPECT_EQ(0, fx->mInnerGlow.mSourceIsEdge);
    EXPECT_EQ(200u, fx->mInnerGlow.mOpacity);
    EXPECT_EQ(45, fx->mBevel.mAngle);
    EXPECT_EQ(2, fx->mBevel.mStyle);
    EXPECT_EQ(psd::kBlendMultiply, fx->mBevel.mShadowBlendMode);
    EXPECT_EQ(0xFF00FF00u, fx->mColourOverlay.mColour);
    EXPECT_EQ(77u, fx->mColourOverlay.mOpacity);
    EXPECT_EQ(1, fx->mPresent[psd::kBevel]);
    EXPECT_EQ(1, fx->mPresent[psd::kColourOverlay]);
}

TEST(Effects, DescriptorFormSkipsUnknownKeysInAndAroundEffects)
{
    Descriptor shadow("DrSh");
    shadow.Bool("enab", true)
        .Bool("present", true) // a newer writer's item inside the effect
        .Enum("Md  ", "BlnM", "linearDodge")
        .Object("Clr ", RgbColour(0, 0, 255))
        .Unit("Opct", "#Prc", 75.0)
        .Unit("lagl", "#Ang", 135.7)
        .Unit("Dstn", "#Pxl", 4.0)
        .Unit("blur", "#Pxl", 9.0)
        .Bool("layerConceals", true)
        .Bool("showInDialog", false);
    Descriptor stroke("FrFX");
    stroke.Bool("enab", true).Unit("Sz  ", "#Pxl", 6.0).Enum("Styl", "FStl", "InsF").Enum("PntT", "FrFl", "SClr").Object("Clr ", RgbColour(10, 20, 30));
    Descriptor root;
    root.Unit("Scl ", "#Prc", 100.0)
        .Bool("masterFXSwitch", true)
        .Object("DrSh", shadow)
        .Object("brandNewFx", Descriptor().Long("x", 1))
        .Object("FrFX", stroke);
    Bytes data;
    data.U32(0).U32(16).Raw(root.Body());
    DocPtr doc = LoadLayerWithExtra(Tagged("lfx2", data.Str()));
    const psd::EffectsRecord* fx = EffectsOf(doc, psd::kEntryEffects);
    ASSERT_TRUE(fx);
    EXPECT_EQ(1, fx->mVisible);
    EXPECT_EQ(2, fx->mEffectCount);
    EXPECT_EQ(1, fx->mDropShadow.mEnabled);
    EXPECT_EQ(psd::kBlendLinearDodge, fx->mDropShadow.mBlendMode);
    EXPECT_EQ(0xFF0000FFu, fx->mDropShadow.mColour);
    EXPECT_EQ(191u, fx->mDropShadow.mOpacity);
    EXPECT_EQ(135, fx->mDropShadow.mAngle);
    EXPECT_EQ(4, fx->mDropShadow.mDistance);
    EXPECT_EQ(9, fx->mDropShadow.mSize);
    EXPECT_EQ(1, fx->mDropShadow.mLayerKnocksOut);
    EXPECT_EQ(1, fx->mPresent[psd::kStroke]);
    EXPECT_EQ(6, fx->mStroke.mSize);
    EXPECT_EQ(1, fx->mStroke.mPosition);
    EXPECT_EQ(0xFF0A141Eu, fx->mStroke.mColour);
    EXPECT_EQ(0, fx->mPresent[psd::kInnerShadow]);
}

TEST(Effects, ScaleFollowedByAnotherItemIsNotVisibility)
{
    Descriptor root;
    root.Unit("Scl ", "#Prc", 100.0).Bool("somethingElse", true);
    Bytes data;
    data.U32(0).U32(16).Raw(root.Body());
    DocPtr doc = LoadLayerWithExtra(Tagged("lfx2", data.Str()));
    const psd::EffectsRecord* fx = EffectsOf(doc, psd::kEntryEffects);
    ASSERT_TRUE(fx);
    EXPECT_EQ(0, fx->mVisible);
    i32 status = 0;
    Bytes bad;
    bad.U32(0).U32(15);
    EXPECT_FALSE(LoadLayerWithExtra(Tagged("lfx2", bad.Str()), &status));
    EXPECT_EQ(psd::kEffectsVersion, status);
}
