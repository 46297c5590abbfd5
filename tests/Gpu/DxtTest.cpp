// DXT block decoding.
#include "Platform/Gpu/Dxt.h"

#include <gtest/gtest.h>

namespace
{
using gpu::TextureFormat;

TEST(Dxt, Dxt1InterpolatesFourColoursOrThreeAndTransparentAndDxt3And5CarryTheirAlpha)
{
    // Four-colour block: c0 white > c1 black; indices 0, 1, 2, 3 along the first row.
    const u8 four[8] = {0xFF, 0xFF, 0x00, 0x00, 0xE4, 0x00, 0x00, 0x00};
    std::vector<u32> out;
    gpu::DecodeDxt(TextureFormat::DXT1, 4, 4, four, 8, &out);
    EXPECT_EQ((std::vector<u32>{0xFFFFFFFF, 0xFF000000, 0xFFAAAAAA, 0xFF555555}), std::vector<u32>(&out[0], &out[4]));
    // Three-colour block (c0 <= c1): index 3 is transparent black, index 2 the midpoint.
    const u8 three[8] = {0x00, 0x00, 0xFF, 0xFF, 0xE4, 0x00, 0x00, 0x00};
    gpu::DecodeDxt(TextureFormat::DXT1, 4, 4, three, 8, &out);
    EXPECT_EQ(0x00000000u, out[3]);
    EXPECT_EQ(0xFF7F7F7Fu, out[2]);

    // DXT3 and DXT5 carry their alpha.
    u8 dxt3[16] = {0x0F, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0x00, 0x00, 0, 0, 0, 0};
    std::vector<u32> alpha;
    gpu::DecodeDxt(TextureFormat::DXT3, 4, 4, dxt3, 16, &alpha);
    EXPECT_EQ(0xFFFFFFFFu, alpha[0]); // explicit alpha 15 -> 255
    EXPECT_EQ(0x00FFFFFFu, alpha[1]);

    // DXT5: a0 = 200, a1 = 100 (eight-step ramp); pixel 0 index 0, pixel 1 index 1, pixel 2 index 2.
    u8 dxt5[16] = {200, 100, 0x08 | (2 << 6), 0, 0, 0, 0, 0, 0xFF, 0xFF, 0x00, 0x00, 0, 0, 0, 0};
    gpu::DecodeDxt(TextureFormat::DXT5, 4, 4, dxt5, 16, &alpha);
    EXPECT_EQ(200u, alpha[0] >> 24);
    EXPECT_EQ(100u, alpha[1] >> 24);
    EXPECT_EQ((6u * 200 + 1 * 100) / 7, alpha[2] >> 24);
}

TEST(Dxt, PartialBlocksAtTheEdgesAreCutAndPitchesCountWholeBlocks)
{
    const u8 blocks[16] = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x00, 0, 0, 0, 0};
    std::vector<u32> out;
    gpu::DecodeDxt(TextureFormat::DXT1, 5, 2, blocks, 16, &out);
    ASSERT_EQ(10u, out.size());
    EXPECT_EQ(0xFFFFFFFFu, out[3]);
    EXPECT_EQ(0xFF000000u, out[4]); // first pixel of the second block
    // Pitches count whole blocks.
    EXPECT_EQ(8u, gpu::DxtRowPitch(TextureFormat::DXT1, 1));
    EXPECT_EQ(16u, gpu::DxtRowPitch(TextureFormat::DXT1, 5));
    EXPECT_EQ(32u, gpu::DxtRowPitch(TextureFormat::DXT5, 8));
    EXPECT_EQ(0u, gpu::DxtBlockBytes(TextureFormat::ARGB8));
}
} // namespace
