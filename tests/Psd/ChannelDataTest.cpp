// Channel compressions, conversion by colour mode and depth, buffer reuse, the merged image, and
// layers wide enough for the row-at-a-time decoders (every compression gives the same pixels; lanes
// keep each other's bytes).
#include "Core/Psd/Channels.h"
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{
LayerSpec OneLayer(i32 height, i32 width, std::vector<ChannelSpec> channels)
{
    return {.mBottom = height, .mRight = width, .mChannels = std::move(channels)};
}

DocPtr LoadLayer(u32 mode, u32 depth, const LayerSpec& layer, PsdBuilder* base = nullptr, i32* status = nullptr)
{
    PsdBuilder builder = base ? *base : PsdBuilder(4, 4, mode, depth, 3);
    builder.Layer(layer);
    return LoadBytes(builder.Build(), status);
}

typedef std::vector<u8> Plane;

// Runs and noise, so PackBits writes both kinds of run; smooth planes pack to a small part of
// their size (all channels of a layer then fit in one channel's room and are decoded together).
Plane MakePlane(u32 width, u32 height, u32 seed, bool smooth = false)
{
    Plane plane(size_t(width) * height);
    const u32 noisyStripe = smooth ? 16 : 2;
    for (u32 y = 0; y < height; ++y)
        for (u32 x = 0; x < width; ++x)
            plane[size_t(y) * width + x] = static_cast<u8>(
                (x / 40) % noisyStripe ? seed * 31 + y : (x * 7 + y * 13 + seed * 5) * 2654435761u >> 24);
    return plane;
}

std::string Encode(const Plane& plane, u32 width, u32 height, u16 compression)
{
    const std::string bytes(plane.begin(), plane.end());
    switch (compression)
    {
    case psd::kRaw: return bytes;
    case psd::kPackBits: return PackBits(bytes, width, height);
    case psd::kZip: return Deflate(bytes);
    default:
    {
        std::string deltas = bytes;
        for (u32 y = 0; y < height; ++y)
            for (u32 x = width - 1; x > 0; --x)
                deltas[size_t(y) * width + x] =
                    static_cast<char>(plane[size_t(y) * width + x] - plane[size_t(y) * width + x - 1]);
        return Deflate(deltas);
    }
    }
}
} // namespace

// Each layer's buffers held the larger layer before it: what a stream leaves out reads 0.
TEST(ChannelData, FallingSizesAndOddChannelsKeepNoStaleBytesAndEveryModeAndCompressionLoads)
{
    PsdBuilder builder(64, 64);
    for (int i = 50; i >= 2; --i)
    {
        u8 value = static_cast<u8>(i);
        builder.Layer(OneLayer(
            i, i,
            {{0, 1, PackBits(Fill(size_t(i) * i, value), i, i)}, {1, 2, Deflate(Fill(size_t(i) * i / 2, value))}}));
    }
    DocPtr doc = LoadBytes(builder.Build());
    ASSERT_TRUE(doc);
    for (int k = 0; k < 49; ++k)
    {
        const psd::LayerRecord& layer = doc->mLayers[k];
        u32 v = static_cast<u32>(50 - k);
        size_t n = layer.mPixels.size();
        ASSERT_EQ(size_t(50 - k) * (50 - k), n);
        EXPECT_EQ(0xFF000000u | (v << 16) | (v << 8), layer.mPixels[0]) << k;
        // The green stream covers half the layer: the rest is 0.
        EXPECT_EQ(0xFF000000u | (v << 16), layer.mPixels[n - 1]) << k;
    }

    // Empty, short, mask and overlong PackBits channels keep their neighbours in step.
    builder = PsdBuilder(4, 4);
    // An empty layer skips its channels' data.
    builder.Layer(OneLayer(0, 0, {{0, 0, "junk"}, {-1, 0, "more"}}));
    // A one-byte channel must not eat the next channel's compression code.
    LayerSpec shortChannel = RawRgbaLayer(0, 0, 1, 2, 9, 8, 7, 6, "a");
    shortChannel.mChannels.insert(shortChannel.mChannels.begin(), ChannelSpec{0, 0, "\x01", true});
    builder.Layer(shortChannel);
    // A user mask is read at the mask's size; the real user mask (-3) is skipped.
    LayerSpec masked = RawRgbaLayer(0, 0, 2, 2, 1, 1, 1, 255, "m");
    Bytes mask;
    mask.I32(0).I32(0).I32(1).I32(3).U8(0).U8(0).U16(0);
    masked.mMask = mask.Str();
    masked.mChannels.push_back({-2, 0, "\x0A\x14\x1E"});
    masked.mChannels.push_back({-3, 0, "ignored!"});
    builder.Layer(masked);
    // PackBits row counts claiming more than the data holds, and runs longer than the row.
    Bytes packed;
    packed.U16(200).U16(200).Raw("\x81\x44\x81\x55");
    builder.Layer(OneLayer(2, 3, {{0, 1, packed.Str()}}));
    doc = LoadBytes(builder.Build());
    ASSERT_TRUE(doc);
    EXPECT_EQ(0xFF440000u, doc->mLayers[3].mPixels[0]);
    EXPECT_EQ(0xFF440000u, doc->mLayers[3].mPixels[2]);
    EXPECT_EQ(0xFF000000u, doc->mLayers[3].mPixels[3]); // row 2 starts past the data: zero
    EXPECT_TRUE(doc->mLayers[0].mPixels.empty());
    EXPECT_EQ(0x06090807u, doc->mLayers[1].mPixels[1]);
    EXPECT_EQ((std::vector<u8>{10, 20, 30}), doc->mLayers[2].mMask.mImage);
    EXPECT_EQ(0xFF010101u, doc->mLayers[2].mPixels[3]);

    // Indexed hides its transparent index, other modes load opaque, the merged image reads in
    // each compression.
    std::string planar(768, '\0');
    for (int i = 0; i < 256; ++i)
        planar[i] = static_cast<char>(i);
    builder = PsdBuilder(2, 1, 2, 8, 1);
    builder.ColourModeData(planar)
        .Resource(1046, std::string("\x00\xC8", 2))
        .Resource(1047, std::string("\x00\x05", 2));
    doc = LoadLayer(2, 8, OneLayer(1, 2, {{0, 0, "\x04\x05"}}), &builder);
    ASSERT_TRUE(doc);
    EXPECT_EQ(0xFF040000u, doc->mLayers[0].mPixels[0]);
    EXPECT_EQ(0x00FFFFFFu, doc->mLayers[0].mPixels[1]);
    // Grey at 16 bits keeps the high byte.
    DocPtr grey = LoadLayer(1, 16, OneLayer(1, 1, {{0, 0, "\x12\x34"}, {-1, 0, "\x80\xFF"}}));
    ASSERT_TRUE(grey);
    EXPECT_EQ(0x80121212u, grey->mLayers[0].mPixels[0]);
    // CMYK, multichannel, Lab and 1-bit bitmap layers load with every pixel written and opaque.
    const std::pair<u32, u32> modes[] = {{4, 8}, {7, 8}, {9, 8}, {0, 1}};
    for (auto [mode, depth] : modes)
    {
        DocPtr other =
            LoadLayer(mode, depth,
                      OneLayer(1, 2, {{0, 0, "\x80\x80"}, {1, 0, "\x80\x80"}, {2, 0, "\x80\x80"}, {3, 0, "\x80\x80"}}));
        ASSERT_TRUE(other) << mode;
        ASSERT_EQ(2u, other->mLayers[0].mPixels.size()) << mode;
        EXPECT_EQ(0xFF000000u, other->mLayers[0].mPixels[1] & 0xFF000000u) << mode;
    }
    // Their colours: CMYK and multichannel store ink (255 is none), bitmaps 1 for black, most
    // significant bit first; at depths outside their tables, bitmaps read as grey, 16-bit samples
    // keep the high byte, and 1-bit data carries no prediction.
    const std::string none(1, '\xFF'), ink(1, '\0'), none16("\xFF\x00", 2);
    const struct
    {
        u32 mode, depth;
        LayerSpec layer;
        std::vector<u32> pixels;
    } colours[] = {
        {4, 8, OneLayer(1, 1, {{0, 0, none}, {1, 0, none}, {2, 0, none}, {3, 0, none}}), {0xFFFFFFFFu}},
        {4, 8, OneLayer(1, 1, {{0, 0, none}, {1, 0, none}, {2, 0, none}, {3, 0, ink}}), {0xFF000000u}},
        {7, 8, OneLayer(1, 1, {{0, 0, none}, {1, 0, none}, {2, 0, none}}), {0xFFFFFFFFu}},
        {7, 16, OneLayer(1, 1, {{0, 0, none16}, {1, 0, none16}, {2, 0, none16}}), {0xFFFFFFFFu}},
        {0, 1, OneLayer(1, 3, {{0, 0, "\xA0"}}), {0xFF000000u, 0xFFFFFFFFu, 0xFF000000u}},
        {0, 8, OneLayer(1, 2, {{0, 0, std::string("\x00\x80", 2)}}), {0xFF000000u, 0xFF808080u}},
        {0,
         1,
         OneLayer(1, 9, {{0, 3, Deflate(std::string("\x80\x80", 2))}}),
         {0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
          0xFF000000u}},
    };
    for (const auto& c : colours)
    {
        DocPtr doc = LoadLayer(c.mode, c.depth, c.layer);
        ASSERT_TRUE(doc) << c.mode << " at " << c.depth;
        EXPECT_EQ(c.pixels, doc->mLayers[0].mPixels) << c.mode << " at " << c.depth;
    }
    // Lab: L 255 (100) with a and b at 128 (0) is white, L 0 black.
    DocPtr lab =
        LoadLayer(9, 8, OneLayer(1, 2, {{0, 0, std::string("\xFF\x00", 2)}, {1, 0, "\x80\x80"}, {2, 0, "\x80\x80"}}));
    ASSERT_TRUE(lab);
    EXPECT_GE(lab->mLayers[0].mPixels[0] & 0xFF, 0xFCu);
    EXPECT_EQ(0xFF000000u, lab->mLayers[0].mPixels[1]);
    // Indexed at 16 bits takes the high byte as the index.
    std::string palette(768, '\0');
    palette[2] = '\x40';
    PsdBuilder indexed(2, 1, 2, 16, 1);
    indexed.ColourModeData(palette);
    DocPtr indexed16 = LoadLayer(2, 16, OneLayer(1, 1, {{0, 0, std::string("\x02\xFF", 2)}}), &indexed);
    ASSERT_TRUE(indexed16);
    EXPECT_EQ(0xFF400000u, indexed16->mLayers[0].mPixels[0]);
    // The merged image in each compression.
    // 2x2 RGB, channel planes 1..4, 5..8, 9..12.
    std::string planes = "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C";
    Bytes rle;
    for (int c = 0; c < 3; ++c)
        for (int y = 0; y < 2; ++y)
            rle.U16(3);
    for (int c = 0; c < 3; ++c)
        for (int y = 0; y < 2; ++y)
            rle.U8(1).U8(planes[c * 4 + y * 2]).U8(planes[c * 4 + y * 2 + 1]);
    std::vector<u32> expected = {0xFF010509u, 0xFF02060Au, 0xFF03070Bu, 0xFF04080Cu};
    for (auto [compression, data] : {std::pair<u16, std::string>{0, planes}, {1, rle.Str()}, {2, Deflate(planes)}})
    {
        DocPtr merged = LoadBytes(PsdBuilder(2, 2).Merged(compression, data).Build());
        ASSERT_TRUE(merged) << compression;
        EXPECT_EQ(expected, merged->mMerged) << compression;
    }
}

class WideLayers : public testing::TestWithParam<bool>
{
};

TEST_P(WideLayers, EveryCompressionGivesTheSamePixels)
{
    constexpr u32 w = 300, h = 5;
    const bool smooth = GetParam();
    const Plane a = MakePlane(w, h, 1, smooth), r = MakePlane(w, h, 2, smooth), g = MakePlane(w, h, 3, smooth),
                b = MakePlane(w, h, 4, smooth);
    size_t packed = 0;
    for (const Plane* p : {&a, &r, &g, &b})
        packed += Encode(*p, w, h, psd::kPackBits).size() + 2;
    ASSERT_EQ(smooth, packed <= size_t(w) * h);
    std::vector<u32> expected(size_t(w) * h);
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = (u32(a[i]) << 24) | (u32(r[i]) << 16) | (u32(g[i]) << 8) | b[i];
    for (u16 compression : {psd::kRaw, psd::kPackBits, psd::kZip, psd::kZipPredicted})
    {
        // Transparency first (as most writers store it) and last.
        const LayerSpec first{.mBottom = h,
                              .mRight = w,
                              .mChannels = {{-1, compression, Encode(a, w, h, compression)},
                                            {0, compression, Encode(r, w, h, compression)},
                                            {1, compression, Encode(g, w, h, compression)},
                                            {2, compression, Encode(b, w, h, compression)}}};
        const auto& c = first.mChannels;
        const LayerSpec last{.mBottom = h, .mRight = w, .mChannels = {c[1], c[2], c[3], c[0]}};
        DocPtr doc = LoadBytes(PsdBuilder(w, h).Layer(first).Layer(last).Build());
        ASSERT_TRUE(doc) << compression;
        EXPECT_EQ(expected, doc->mLayers[0].mPixels) << compression;
        EXPECT_EQ(expected, doc->mLayers[1].mPixels) << compression;
    }
}

INSTANTIATE_TEST_SUITE_P(PackedSmallAndLarge, WideLayers, testing::Bool());
