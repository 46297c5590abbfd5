// S3TC alpha rules: DXT1 three-colour blocks make index 3 transparent, DXT3 stores 4-bit alpha,
// DXT5 interpolates two endpoints with truncating division.
#include "Core/Media/Image/DxtAlpha.h"

namespace render
{
namespace
{
u32 ReadU16(const u8* p) { return static_cast<u32>(p[0]) | static_cast<u32>(p[1]) << 8; }
u32 ReadU32(const u8* p) { return ReadU16(p) | ReadU16(p + 2) << 16; }

void Dxt1Alpha(const u8* block, u8 alpha[16])
{
    const bool threeColour = ReadU16(block) <= ReadU16(block + 2);
    const u32 indices = ReadU32(block + 4);
    for (u32 i = 0; i < 16; ++i)
        alpha[i] = (threeColour && ((indices >> (2 * i)) & 3) == 3) ? 0 : 255;
}

void Dxt3Alpha(const u8* block, u8 alpha[16])
{
    for (u32 i = 0; i < 16; ++i)
    {
        const u32 nibble = (block[i / 2] >> ((i & 1) * 4)) & 0xF;
        alpha[i] = static_cast<u8>(nibble * 17);
    }
}

void Dxt5Alpha(const u8* block, u8 alpha[16])
{
    const u32 a0 = block[0];
    const u32 a1 = block[1];
    u32 table[8] = {a0, a1};
    if (a0 > a1)
    {
        for (u32 i = 2; i < 8; ++i)
            table[i] = ((8 - i) * a0 + (i - 1) * a1) / 7;
    }
    else
    {
        for (u32 i = 2; i < 6; ++i)
            table[i] = ((6 - i) * a0 + (i - 1) * a1) / 5;
        table[6] = 0;
        table[7] = 255;
    }
    u64 bits = 0;
    for (u32 i = 0; i < 6; ++i)
        bits |= static_cast<u64>(block[2 + i]) << (8 * i);
    for (u32 i = 0; i < 16; ++i)
        alpha[i] = static_cast<u8>(table[(bits >> (3 * i)) & 7]);
}
} // namespace

u32 DxtBlockSize(u32 compression) { return compression == 1 ? 8 : 16; }

void DecodeBlockAlpha(u32 compression, const u8* block, u8 alpha[16])
{
    switch (compression)
    {
    case 1: Dxt1Alpha(block, alpha); break;
    case 2: Dxt3Alpha(block, alpha); break;
    default: Dxt5Alpha(block, alpha); break;
    }
}
} // namespace render
