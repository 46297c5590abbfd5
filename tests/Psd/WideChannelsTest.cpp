// Layers wide enough for the row-at-a-time decoders: every compression gives the same pixels and
// lanes keep each other's bytes.
#include "Core/Psd/Channels.h"
#include "PsdTestUtil.h"

#include <gtest/gtest.h>

using namespace psdtest;

namespace
{
typedef std::vector<u8> Plane;

// Runs and noise, so PackBits writes both kinds of run; smooth planes pack to a small part of
// their size (all channels of a layer then fit in one channel's room and are decoded together).
Plane MakePlane(u32 width, u32 height, u32 seed, bool smooth = false)
{
    Plane plane(size_t(width) * height);
    const u32 noisyStripe = smooth ? 16 : 2;
    for (u32 y = 0; y < height; ++y)
        for (u32 x = 0; x < width; ++x)
            plane[size_t(y) * width + x] = static_cast<u8>((x / 40) % noisyStripe ? seed * 31 + y : (x * 7 + y * 13 + seed * 5) * 2654435761u >> 24);
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
                deltas[size_t(y) * width + x] = static_cast<char>(plane[size_t(y) * width + x] - plane[size_t(y) * width + x - 1]);
        return Deflate(deltas);
    }
    }
}
} // namespace

class WideLayers : public testing::TestWithParam<bool>
{
};

TEST_P(WideLayers, EveryCompressionGivesTheSamePixels)
{
    constexpr u32 w = 300, h = 5;
    const bool smooth = GetParam();
    const Plane a = MakePlane(w, h, 1, smooth), r = MakePlane(w, h, 2, smooth), g = MakePlane(w, h, 3, smooth), b = MakePlane(w, h, 4, smooth);
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
