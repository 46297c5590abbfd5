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

TEST(Effects, OldFormVersionTwoReadsItsNativeColour)
{
    DocPtr doc = LoadLayerWithExtra(OldEffects(1, OldShadow("isdw", 2)));
    const psd::EffectsRecord* fx = EffectsOf(doc, psd::kEntryEffectsOld);
    ASSERT_TRUE(fx);
    EXPECT_EQ(0xFF00FF00u, fx->mInnerShadow.mNativeColour);
}

TEST(Effects, DescriptorFormSkipsUnknownKeysInAndAroundEffects)
{
    Descriptor shadow("DrSh");
    shadow.Bool("enab", true)
        .Bool("present", true) // a newer writer's item inside the effect
        .Object("Clr ", RgbColour(0, 0, 255))
        .Unit("blur", "#Pxl", 9.0)
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
    EXPECT_EQ(9, fx->mDropShadow.mSize); // read past the unknown item inside it
    EXPECT_EQ(0xFF0A141Eu, fx->mStroke.mColour); // read past the unknown effect before it
}
