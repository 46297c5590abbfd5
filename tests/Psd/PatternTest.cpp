// Patterns of the "Patt" blocks: decoded pixels, and damage that stops only the pattern block.
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{
std::string PatternChannel(u32 depth, const std::string& data)
{
    Bytes b;
    b.U32(1).U32(static_cast<u32>(23 + data.size())).U32(depth).Zeros(18).U8(0).Raw(data);
    return b.Str();
}

std::string Pattern(u32 mode, u32 width, u32 height, const std::vector<std::string>& channels, u32 version = 1)
{
    Bytes body;
    body.U32(version).U32(mode).U16(height).U16(width).Unicode("Dots").U8(2).Raw("id");
    body.U32(3).U32(0).U32(0).U32(0).U32(height).U32(width).U32(static_cast<u32>(channels.size()));
    for (const std::string& c : channels)
        body.Raw(c);
    while (body.Size() % 4)
        body.U8(0);
    Bytes out;
    out.Block(body.Str());
    return out.Str();
}

DocPtr LoadPatterns(const std::string& patterns)
{
    Bytes block;
    block.Key("8BIM").Key("Patt").Block(patterns);
    Bytes section;
    section.U32(0).U32(0).Raw(block.Str());
    return LoadBytes(PsdBuilder(2, 2).RawLayerSection(section.Str()).Build());
}
} // namespace

TEST(Patterns, DamagedPatternStopsOnlyThePatternBlock)
{
    std::string good = Pattern(3, 1, 1, {PatternChannel(8, "\x01"), PatternChannel(8, "\x02"), PatternChannel(8, "\x03")});
    std::string bad = Pattern(3, 1, 1, {}, 7);
    DocPtr doc = LoadPatterns(good + bad + good);
    ASSERT_TRUE(doc);
    EXPECT_EQ(1u, doc->mPatterns.size());
    EXPECT_EQ(0xFF010203u, doc->mPatterns[0].mPixels[0]);
}
