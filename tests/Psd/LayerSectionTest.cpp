// Layer records: counts, names, masks, flags, blending ranges, groups, additional records.
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{
std::string Mask(i32 top, i32 left, i32 bottom, i32 right, u8 colour, u8 flags)
{
    Bytes b;
    b.I32(top).I32(left).I32(bottom).I32(right).U8(colour).U8(flags);
    return b.Str();
}
} // namespace

TEST(LayerSection, NamesMasksAndRangesKeepTheRecordAlignedAndANegativeCountReadsAsItsAbsoluteValue)
{
    const char* const names[] = {"", "abc", "abcd", "abcdefg"};
    PsdBuilder builder(2, 2);
    for (u32 i = 0; i < 4; ++i)
    {
        builder.Layer({.mName = names[i], .mExtra = Tagged("lyid", Bytes().U32(42 + i).Str())});
    }
    DocPtr doc = LoadBytes(builder.LayerCount(-4).Build());
    ASSERT_TRUE(doc);
    ASSERT_EQ(4, doc->LayerCount());
    for (u32 i = 0; i < 4; ++i)
    {
        EXPECT_STREQ(names[i], doc->mLayers[i].mName);
        EXPECT_EQ(42u + i, doc->mLayers[i].mLayerId) << names[i];
    }

    // Flags: bit 1 hides, bit 0 protects transparency, bit 4 with bit 3 marks the pixels
    // irrelevant; any non-zero clipping is clipping.
    doc = LoadBytes(PsdBuilder(2, 2)
                        .Layer({.mClipping = 3, .mFlags = 0x18, .mName = "a"})
                        .Layer({.mFlags = 0x10 | 0x02 | 0x01, .mName = "b"})
                        .Build());
    ASSERT_TRUE(doc);
    EXPECT_EQ(1, doc->mLayers[0].mPixelDataIrrelevant);
    EXPECT_EQ(1, doc->mLayers[0].mClipping);
    EXPECT_EQ(1, doc->mLayers[0].mVisible);
    EXPECT_EQ(0, doc->mLayers[0].mTransparencyProtected);
    EXPECT_EQ(0, doc->mLayers[1].mPixelDataIrrelevant);
    EXPECT_EQ(0, doc->mLayers[1].mVisible);
    EXPECT_EQ(1, doc->mLayers[1].mTransparencyProtected);
    EXPECT_EQ(0, doc->mLayers[1].mClipping);

    // Non-zero padding never enters the name.
    Bytes extra;
    extra.U32(0).U32(0).U8(1).Raw("x").Raw("\xFF\xFF"); // "x" padded with junk
    Bytes info;
    info.I16(1).I32(0).I32(0).I32(0).I32(0).I16(0).Key("8BIM").Key("norm").U8(255).U8(0).U8(0).U8(0).Block(extra.Str());
    Bytes section;
    section.Block(info.Str()).U32(0);
    doc = LoadBytes(PsdBuilder(2, 2).RawLayerSection(section.Str()).Build());
    ASSERT_TRUE(doc);
    EXPECT_STREQ("x", doc->mLayers[0].mName);

    // Mask lengths, blending ranges and flipped rectangles keep the name aligned.
    // 20 bytes: rectangle, colour, flags, padding.
    const LayerSpec twenty{.mMask = Mask(1, 2, 5, 10, 0, 0x04) + std::string(2, '\0'), .mName = "m20"};
    // 36 bytes: the "real" values replace the first ones.
    Bytes real;
    real.U8(0x01).U8(200).I32(10).I32(20).I32(30).I32(60);
    const LayerSpec thirtySix{.mMask = Mask(1, 2, 5, 10, 0, 0x04) + real.Str(), .mName = "m36"};
    // 28 bytes (mask parameters): only what fits is read, the name stays aligned.
    const LayerSpec other{.mMask = Mask(0, 0, 4, 4, 9, 0) + std::string(10, '\x7F'), .mName = "m28"};
    // Ranges for the composite and four channels; length 0 (GIMP, ImageMagick) is no ranges.
    const LayerSpec full{.mBlendingRanges = std::string(40, '\x01'), .mName = "full"};
    // A rectangle upside down is an empty layer.
    const LayerSpec flipped{.mTop = 10, .mName = "flipped"};
    PsdBuilder masks(2, 2);
    doc = LoadBytes(masks.Layer(twenty).Layer(thirtySix).Layer(other).Layer(full).Layer(flipped).Build());
    ASSERT_TRUE(doc);
    EXPECT_EQ(8, doc->mLayers[0].mMask.mWidth);
    EXPECT_EQ(40, doc->mLayers[1].mMask.mWidth);
    EXPECT_STREQ("m36", doc->mLayers[1].mName);
    EXPECT_STREQ("m28", doc->mLayers[2].mName);
    EXPECT_EQ(0, doc->mLayers[0].mBlendingRanges.ChannelCount());
    EXPECT_EQ(4, doc->mLayers[3].mBlendingRanges.ChannelCount());
    EXPECT_STREQ("full", doc->mLayers[3].mName);
    EXPECT_EQ(0, doc->mLayers[4].mHeight);
    EXPECT_TRUE(doc->mLayers[4].mPixels.empty());

    // Groups parent their layers across nesting; typed entries are capped.
    // Bottom to top: below, [outer: [inner: deep], middle], top. "deep" hangs over the top left.
    const LayerSpec groupEnd{.mName = "</Layer group>", .mExtra = Divider(3)};
    const LayerSpec inner{.mName = "inner", .mExtra = Divider(2, "pass")};
    const LayerSpec outer{.mName = "outer", .mExtra = Divider(1, "mul ")};
    doc = LoadBytes(PsdBuilder(2, 2)
                        .Layer({.mName = "below"})
                        .Layer(groupEnd)
                        .Layer({.mName = "middle"})
                        .Layer(groupEnd)
                        .Layer(RawRgbaLayer(-3, -5, 4, 6, 1, 2, 3, 4, "deep"))
                        .Layer(inner)
                        .Layer({.mName = "sibling"})
                        .Layer(outer)
                        .Layer({.mName = "top"})
                        .Build());
    ASSERT_TRUE(doc);
    const auto& l = doc->mLayers;
    EXPECT_EQ(psd::kLayerGroupEnd, l[1].mType);
    EXPECT_EQ(psd::kLayerGroupStart, l[5].mType);
    EXPECT_EQ(psd::kLayerGroupStart, l[7].mType);
    EXPECT_EQ(psd::kBlendMultiply, l[7].mSectionBlendMode);
    EXPECT_EQ(1, l[7].mSectionType);
    // "middle" lies below the inner group, still in the outer one; parents lead from the deepest
    // layer through both groups to the top.
    const std::pair<size_t, const psd::LayerRecord*> parents[] = {
        {0, nullptr}, {1, nullptr}, {2, &l[7]}, {4, &l[5]}, {5, &l[7]}, {6, &l[7]}, {7, nullptr}, {8, nullptr}};
    for (auto [i, parent] : parents)
        EXPECT_EQ(parent, l[i].mParent) << l[i].mName;
    // The rectangle keeps its negative offset and its pixels their size.
    EXPECT_EQ(-3, l[4].mTop);
    EXPECT_EQ(-5, l[4].mLeft);
    EXPECT_EQ(6, l[4].mWidth);
    EXPECT_EQ(4, l[4].mHeight);
    EXPECT_EQ(std::vector<u32>(24, 0x04010203u), l[4].mPixels);

    // At most twenty typed entries; handlers read only their own record.
    LayerSpec many{.mName = "a"};
    for (int i = 0; i < 25; ++i)
        many.mExtra += Tagged("thrs", Bytes().U16(128).U16(0).Str());
    many.mExtra += Tagged("lyid", std::string("\0\0\0\x09", 4));
    // A "luni" claiming 1000 units in 4 bytes, and an "fxrp" of 2 bytes: neither reaches into the
    // record after it.
    const LayerSpec claims{.mName = "b",
                           .mExtra = Tagged("luni", std::string("\0\0\x03\xE8", 4)) + Tagged("fxrp", "ab") +
                                     Tagged("lyid", std::string("\0\0\0\x05", 4))};
    doc = LoadBytes(PsdBuilder(2, 2).Layer(many).Layer(claims).Build());
    ASSERT_TRUE(doc);
    EXPECT_EQ(psd::kMaxTypedEntries, doc->mLayers[0].mTypedCount);
    EXPECT_EQ(9u, doc->mLayers[0].mLayerId);
    EXPECT_TRUE(doc->mLayers[1].mUnicodeName.empty());
    EXPECT_EQ(5u, doc->mLayers[1].mLayerId);

    // An empty sixteen-bit block keeps the layers read before it (files whose layers are all in
    // "Lr16" are RealFiles', predicted16.psd).
    section = Bytes();
    section.Raw(PsdBuilder(2, 1).Layer({.mName = "kept"}).LayerInfo()).U32(0).Raw("8BIMLr16").U32(0).U32(0);
    doc = LoadBytes(PsdBuilder(2, 1).RawLayerSection(section.Str()).Build());
    ASSERT_TRUE(doc);
    ASSERT_EQ(1, doc->LayerCount());
    EXPECT_STREQ("kept", doc->mLayers[0].mName);
}
