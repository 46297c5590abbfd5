// Layer effects, which the game does not draw: one sanity case of the old fixed form (the walk of
// the descriptor form is DescriptorTest's, damage DamagedInputTest's).
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
