// Channel compressions, conversion by colour mode and depth, buffer reuse and damaged data.
#include "Core/Psd/Channels.h"
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

#include <zlib.h>

using namespace psdtest;

namespace
{
std::string Deflate(const std::string& raw)
{
    uLongf size = compressBound(raw.size());
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    out.resize(size);
    return out;
}

LayerSpec OneLayer(i32 height, i32 width, std::vector<ChannelSpec> channels)
{
    LayerSpec layer;
    layer.mBottom = height;
    layer.mRight = width;
    layer.mChannels = std::move(channels);
    return layer;
}

DocPtr LoadLayer(u32 mode, u32 depth, const LayerSpec& layer, PsdBuilder* base = nullptr, i32* status = nullptr)
{
    PsdBuilder builder = base ? *base : PsdBuilder(4, 4, mode, depth, 3);
    builder.Layer(layer);
    return LoadBytes(builder.Build(), status);
}

std::string Packed(std::initializer_list<int> bytes)
{
    std::string out;
    for (int b : bytes)
        out.push_back(static_cast<char>(b));
    return out;
}
} // namespace

TEST(ChannelData, PackBitsNeverOverrunsRowsOrInput)
{
    // Row counts claiming more than the data holds, and runs longer than the row.
    Bytes data;
    data.U16(200).U16(200).Raw(Packed({0x81, 0x44, 0x81, 0x55}));
    DocPtr doc = LoadLayer(3, 8, OneLayer(2, 3, {{0, 1, data.Str()}}));
    ASSERT_TRUE(doc);
    EXPECT_EQ(0xFF440000u, doc->mLayers[0].mPixels[0]);
    EXPECT_EQ(0xFF440000u, doc->mLayers[0].mPixels[2]);
    EXPECT_EQ(0xFF000000u, doc->mLayers[0].mPixels[3]); // row 2 starts past the data: zero
    // Row counts alone cut short.
    i32 status = 0;
    EXPECT_FALSE(LoadLayer(3, 8, OneLayer(4, 3, {{0, 1, std::string(3, '\0')}}), nullptr, &status));
    EXPECT_EQ(psd::kReadError, status);
}

TEST(ChannelData, DamagedChannels)
{
    i32 status = 0;
    EXPECT_FALSE(LoadLayer(3, 8, OneLayer(1, 2, {{0, 2, "not deflate data"}}), nullptr, &status));
    EXPECT_EQ(psd::kZipFailed, status);
    EXPECT_FALSE(LoadLayer(3, 8, OneLayer(1, 2, {{0, 7, "xx"}}), nullptr, &status));
    EXPECT_EQ(psd::kBadCompression, status);
    // A channel length beyond the file.
    LayerSpec layer = OneLayer(1, 2, {{0, 0, "ab"}});
    layer.mChannelLengthOverride = 100000;
    EXPECT_FALSE(LoadLayer(3, 8, layer, nullptr, &status));
    EXPECT_EQ(psd::kReadError, status);
}

TEST(ChannelData, ShortAndCutStreamsLeaveZeroNotStalePixels)
{
    // The first layer fills the reused buffers with 0x77; the second's deflate stream covers only
    // half its pixels, and the rest must read 0, not the previous layer's bytes.
    std::string full = Deflate(std::string(64, '\x77'));
    std::string half = Deflate(std::string(32, '\x55'));
    PsdBuilder builder(8, 8);
    builder.Layer(OneLayer(8, 8, {{0, 2, full}, {1, 2, full}, {2, 2, full}}));
    DocPtr doc = LoadLayer(3, 8, OneLayer(8, 8, {{0, 2, half}}), &builder);
    ASSERT_TRUE(doc);
    const auto& px = doc->mLayers[1].mPixels;
    EXPECT_EQ(0xFF550000u, px[0]);
    EXPECT_EQ(0xFF000000u, px[63]);
}

TEST(ChannelData, FallingLayerSizesKeepNoStaleBytes)
{
    PsdBuilder builder(64, 64);
    for (int i = 50; i >= 2; --i)
    {
        u8 value = static_cast<u8>(i);
        builder.Layer(OneLayer(i, i, {{0, 1, PackBitsRows(i, i, value)}, {1, 2, Deflate(Fill(size_t(i) * i / 2, value))}}));
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
}

TEST(ChannelData, EmptyLayerSkipsItsDataAndHasNoPixels)
{
    PsdBuilder builder(4, 4);
    builder.Layer(OneLayer(0, 0, {{0, 0, "junk"}, {-1, 0, "more"}}));
    builder.Layer(RawRgbaLayer(0, 0, 1, 1, 1, 2, 3, 4, "next"));
    DocPtr doc = LoadBytes(builder.Build());
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->mLayers[0].mPixels.empty());
    EXPECT_EQ(0x04010203u, doc->mLayers[1].mPixels[0]);
}

TEST(ChannelData, ChannelTooShortForItsCompressionCodeIsAbsent)
{
    // A one-byte channel must not eat the next channel's compression code.
    LayerSpec layer = RawRgbaLayer(0, 0, 1, 2, 9, 8, 7, 6, "a");
    layer.mChannels.insert(layer.mChannels.begin(), ChannelSpec{0, 0, "\x01", true});
    DocPtr doc = LoadLayer(3, 8, layer);
    ASSERT_TRUE(doc);
    EXPECT_EQ(0x06090807u, doc->mLayers[0].mPixels[1]);
}

TEST(ChannelData, UserMaskAtTheMaskSize)
{
    LayerSpec layer = RawRgbaLayer(0, 0, 2, 2, 1, 1, 1, 255, "m");
    Bytes mask;
    mask.I32(0).I32(0).I32(1).I32(3).U8(0).U8(0).U16(0);
    layer.mMask = mask.Str();
    layer.mChannels.push_back({-2, 0, Packed({10, 20, 30})});
    layer.mChannels.push_back({-3, 0, "ignored!"});
    DocPtr doc = LoadLayer(3, 8, layer);
    ASSERT_TRUE(doc);
    EXPECT_EQ((std::vector<u8>{10, 20, 30}), doc->mLayers[0].mMask.mImage);
    EXPECT_EQ(0xFF010101u, doc->mLayers[0].mPixels[3]);
}

TEST(ChannelData, GreyAndSixteenBitKeepTheHighByte)
{
    DocPtr grey = LoadLayer(1, 16, OneLayer(1, 1, {{0, 0, Packed({0x12, 0x34})}, {-1, 0, Packed({0x80, 0xFF})}}));
    ASSERT_TRUE(grey);
    EXPECT_EQ(0x80121212u, grey->mLayers[0].mPixels[0]);
    DocPtr duotone = LoadLayer(8, 8, OneLayer(1, 1, {{0, 0, Packed({0x40})}}));
    ASSERT_TRUE(duotone);
    EXPECT_EQ(0xFF404040u, duotone->mLayers[0].mPixels[0]);
}

TEST(ChannelData, IndexedUsesCountAndTransparentIndex)
{
    std::string planar(768, '\0');
    for (int i = 0; i < 256; ++i)
        planar[i] = static_cast<char>(i);
    PsdBuilder builder(4, 1, 2, 8, 1);
    builder.ColourModeData(planar).Resource(1046, std::string("\x00\xC8", 2)).Resource(1047, std::string("\x00\x05", 2));
    DocPtr doc = LoadLayer(2, 8, OneLayer(1, 4, {{0, 0, Packed({4, 5, 199, 200})}}), &builder);
    ASSERT_TRUE(doc);
    const auto& px = doc->mLayers[0].mPixels;
    EXPECT_EQ(0xFF040000u, px[0]);
    EXPECT_EQ(0x00FFFFFFu, px[1]);
    EXPECT_EQ(0xFFC70000u, px[2]);
    EXPECT_EQ(0x00FFFFFFu, px[3]);
    // Without 1046 and 1047 every palette entry shows, index 0 included.
    PsdBuilder plain(2, 1, 2, 8, 1);
    plain.ColourModeData(planar);
    doc = LoadLayer(2, 8, OneLayer(1, 2, {{0, 0, Packed({0, 255})}}), &plain);
    ASSERT_TRUE(doc);
    EXPECT_EQ(0xFF000000u, doc->mLayers[0].mPixels[0]);
    EXPECT_EQ(0xFFFF0000u, doc->mLayers[0].mPixels[1]);
}

TEST(ChannelData, CmykMultichannelLabAndBitmap)
{
    // CMYK stores inverted values: 255 everywhere is no ink, white.
    DocPtr cmyk = LoadLayer(4, 8, OneLayer(1, 1, {{0, 0, "\xFF"}, {1, 0, "\xFF"}, {2, 0, "\xFF"}, {3, 0, "\xFF"}}));
    ASSERT_TRUE(cmyk);
    EXPECT_EQ(0xFFFFFFFFu, cmyk->mLayers[0].mPixels[0]);
    // Full black ink.
    DocPtr black = LoadLayer(4, 8, OneLayer(1, 1, {{0, 0, "\xFF"}, {1, 0, "\xFF"}, {2, 0, "\xFF"}, {3, 0, std::string(1, '\0')}}));
    EXPECT_EQ(0xFF000000u, black->mLayers[0].mPixels[0]);
    // Multichannel: no ink on three channels is white, alpha always 255.
    DocPtr multi = LoadLayer(7, 8, OneLayer(1, 1, {{0, 0, "\xFF"}, {1, 0, "\xFF"}, {2, 0, "\xFF"}}));
    EXPECT_EQ(0xFFFFFFFFu, multi->mLayers[0].mPixels[0]);
    // Lab: L 255 (100), a and b 128 (0) is white; L 0 is black.
    DocPtr lab = LoadLayer(9, 8, OneLayer(1, 2, {{0, 0, std::string("\xFF\x00", 2)}, {1, 0, "\x80\x80"}, {2, 0, "\x80\x80"}}));
    ASSERT_TRUE(lab);
    EXPECT_GE(lab->mLayers[0].mPixels[0] & 0xFF, 0xFCu);
    EXPECT_EQ(0xFF000000u, lab->mLayers[0].mPixels[1]);
    // Bitmap, most significant bit first: 1 black, 0 white.
    DocPtr bitmap = LoadLayer(0, 1, OneLayer(1, 9, {{0, 0, std::string("\xA0\x80", 2)}}), nullptr);
    ASSERT_TRUE(bitmap);
    const auto& px = bitmap->mLayers[0].mPixels;
    EXPECT_EQ(0xFF000000u, px[0]);
    EXPECT_EQ(0xFFFFFFFFu, px[1]);
    EXPECT_EQ(0xFF000000u, px[2]);
    EXPECT_EQ(0xFF000000u, px[8]);
}

TEST(ChannelData, MergedImageCompressions)
{
    // 2x2 RGB, channel planes 1..4, 5..8, 9..12.
    std::string planes = Packed({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
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
        DocPtr doc = LoadBytes(PsdBuilder(2, 2).Merged(compression, data).Build());
        ASSERT_TRUE(doc) << compression;
        EXPECT_EQ(expected, doc->mMerged) << compression;
    }
    i32 status = 0;
    EXPECT_FALSE(LoadBytes(PsdBuilder(2, 2).Merged(9, planes).Build(), &status));
    EXPECT_EQ(psd::kBadCompression, status);
    EXPECT_FALSE(LoadBytes(PsdBuilder(2, 2).Merged(2, "garbage").Build(), &status));
    EXPECT_EQ(psd::kZipFailed, status);
}

TEST(ChannelData, EmptyPackBitsRowsInReusedPlanesReadZero)
{
    // CMYK goes through the reused channel buffer: the second layer's empty rows must not show the
    // first layer's 0x77.
    PsdBuilder builder(2, 2, 4, 8, 4);
    builder.Layer(OneLayer(2, 2, {{0, 0, Fill(4, 0x77)}, {1, 0, Fill(4, 0x77)}, {2, 0, Fill(4, 0x77)}, {3, 0, Fill(4, 0x77)}}));
    Bytes emptyRows;
    emptyRows.U16(0).U16(0);
    DocPtr doc = LoadLayer(4, 8, OneLayer(2, 2, {{0, 1, emptyRows.Str()}, {1, 0, Fill(4, 0xFF)}, {2, 0, Fill(4, 0xFF)}, {3, 0, Fill(4, 0xFF)}}), &builder);
    ASSERT_TRUE(doc);
    EXPECT_EQ(std::vector<u32>(4, 0xFF01FFFFu), doc->mLayers[1].mPixels);
}

TEST(ChannelData, ModeAndDepthPairsOutsideTheTablesStillWriteEveryPixel)
{
    // Bitmap at depth 8 reads as grey.
    DocPtr bitmap8 = LoadLayer(0, 8, OneLayer(1, 2, {{0, 0, std::string("\x00\x80", 2)}}));
    ASSERT_TRUE(bitmap8);
    EXPECT_EQ((std::vector<u32>{0xFF000000u, 0xFF808080u}), bitmap8->mLayers[0].mPixels);
    // Indexed at depth 16 takes the high byte as the index.
    std::string planar(768, '\0');
    planar[2] = '\x40';
    PsdBuilder indexed(2, 1, 2, 16, 1);
    indexed.ColourModeData(planar);
    DocPtr indexed16 = LoadLayer(2, 16, OneLayer(1, 1, {{0, 0, std::string("\x02\xFF", 2)}}), &indexed);
    ASSERT_TRUE(indexed16);
    EXPECT_EQ(0xFF400000u, indexed16->mLayers[0].mPixels[0]);
    // Multichannel at depth 16: no ink is white.
    DocPtr multi16 = LoadLayer(7, 16, OneLayer(1, 1, {{0, 0, std::string("\xFF\x00", 2)}, {1, 0, std::string("\xFF\x00", 2)}, {2, 0, std::string("\xFF\x00", 2)}}));
    ASSERT_TRUE(multi16);
    EXPECT_EQ(0xFFFFFFFFu, multi16->mLayers[0].mPixels[0]);
    // 1-bit data carries no prediction: the bits are taken as inflated.
    DocPtr predictedBits = LoadLayer(0, 1, OneLayer(1, 9, {{0, 3, Deflate(std::string("\x80\x80", 2))}}));
    ASSERT_TRUE(predictedBits);
    EXPECT_EQ(0xFF000000u, predictedBits->mLayers[0].mPixels[0]);
    EXPECT_EQ(0xFFFFFFFFu, predictedBits->mLayers[0].mPixels[1]);
    EXPECT_EQ(0xFF000000u, predictedBits->mLayers[0].mPixels[8]);
}
