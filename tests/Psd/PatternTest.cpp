// Patterns of the "Patt" blocks: decoded pixels, and damage that stops only the pattern block.
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{
std::string PatternChannel(u32 depth, const std::string& data, bool written = true)
{
    Bytes b;
    b.U32(written ? 1 : 0);
    if (!written)
        return b.U32(0).Str();
    b.U32(static_cast<u32>(23 + data.size())).U32(depth).Zeros(18).U8(0).Raw(data);
    return b.Str();
}

std::string Pattern(u32 mode, u32 width, u32 height, const std::vector<std::string>& channels, u32 version = 1)
{
    Bytes body;
    body.U32(version).U32(mode).U16(height).U16(width).Unicode("Dots").U8(2).Raw("id");
    if (mode == 2)
    {
        std::string rgb(768, '\0');
        rgb[3] = 0x11, rgb[4] = 0x22, rgb[5] = 0x33;
        body.Raw(rgb);
    }
    body.U32(3).U32(0).U32(0).U32(0).U32(height).U32(width).U32(static_cast<u32>(channels.size()));
    for (const std::string& c : channels)
        body.Raw(c);
    while (body.Size() % 4)
        body.U8(0);
    Bytes out;
    out.Block(body.Str());
    return out.Str();
}

DocPtr LoadPatterns(const std::string& patterns, u32 depth = 8)
{
    Bytes block;
    block.Key("8BIM").Key("Patt").Block(patterns);
    Bytes section;
    section.U32(0).U32(0).Raw(block.Str());
    return LoadBytes(PsdBuilder(2, 2, 3, depth).RawLayerSection(section.Str()).Build());
}
} // namespace

TEST(Patterns, RgbPatternWithAnUnwrittenChannel)
{
    std::string rgb = Pattern(3, 2, 1,
                              {PatternChannel(8, "\x10\x11"), PatternChannel(8, "", false), PatternChannel(8, "\x20\x21"),
                               PatternChannel(8, "\x30\x31")});
    DocPtr doc = LoadPatterns(rgb);
    ASSERT_TRUE(doc);
    ASSERT_EQ(1u, doc->mPatterns.size());
    const psd::Pattern& p = doc->mPatterns[0];
    EXPECT_EQ(2, p.mWidth);
    EXPECT_EQ(1, p.mHeight);
    EXPECT_EQ("id", p.mId);
    EXPECT_EQ(4u, p.mName.size());
    EXPECT_EQ(3, p.mChannelImages);
    EXPECT_EQ((std::vector<u32>{0xFF102030u, 0xFF112131u}), p.mPixels);
}

TEST(Patterns, ExtraChannelsBeyondTheSlotsAreSkipped)
{
    std::vector<std::string> channels;
    for (int i = 0; i < 8; ++i)
        channels.push_back(PatternChannel(8, std::string(1, static_cast<char>(i))));
    DocPtr doc = LoadPatterns(Pattern(1, 1, 1, channels));
    ASSERT_TRUE(doc);
    ASSERT_EQ(1u, doc->mPatterns.size());
    EXPECT_EQ(2, doc->mPatterns[0].mChannelImages);
    EXPECT_EQ(0xFF000000u, doc->mPatterns[0].mPixels[0]);
}

TEST(Patterns, DamagedPatternStopsOnlyThePatternBlock)
{
    std::string good = Pattern(3, 1, 1, {PatternChannel(8, "\x01"), PatternChannel(8, "\x02"), PatternChannel(8, "\x03")});
    std::string bad = Pattern(3, 1, 1, {}, 7);
    DocPtr doc = LoadPatterns(good + bad + good);
    ASSERT_TRUE(doc);
    EXPECT_EQ(1u, doc->mPatterns.size());
    EXPECT_EQ(0xFF010203u, doc->mPatterns[0].mPixels[0]);
}
