// DXT block decoding.
#include "Platform/Gpu/Dxt.h"

namespace gpu
{
namespace
{
u16 ReadU16(const u8* p) { return static_cast<u16>(p[0] | (p[1] << 8)); }

void Expand565(u16 c, u32& r, u32& g, u32& b)
{
    r = (c >> 11) & 31;
    g = (c >> 5) & 63;
    b = c & 31;
    r = (r << 3) | (r >> 2);
    g = (g << 2) | (g >> 4);
    b = (b << 3) | (b >> 2);
}

// Colours of a colour block; `threeColour` allows DXT1's mode with a transparent fourth entry.
void ColourTable(const u8* block, bool allowThreeColour, u32 table[4])
{
    u16 c0 = ReadU16(block), c1 = ReadU16(block + 2);
    u32 r[4], g[4], b[4];
    Expand565(c0, r[0], g[0], b[0]);
    Expand565(c1, r[1], g[1], b[1]);
    u32 alpha3 = 255;
    if (c0 > c1 || !allowThreeColour)
    {
        r[2] = (2 * r[0] + r[1]) / 3, g[2] = (2 * g[0] + g[1]) / 3, b[2] = (2 * b[0] + b[1]) / 3;
        r[3] = (r[0] + 2 * r[1]) / 3, g[3] = (g[0] + 2 * g[1]) / 3, b[3] = (b[0] + 2 * b[1]) / 3;
    }
    else
    {
        r[2] = (r[0] + r[1]) / 2, g[2] = (g[0] + g[1]) / 2, b[2] = (b[0] + b[1]) / 2;
        r[3] = g[3] = b[3] = 0;
        alpha3 = 0;
    }
    for (int i = 0; i < 4; ++i)
        table[i] = ((i == 3 ? alpha3 : 255u) << 24) | (r[i] << 16) | (g[i] << 8) | b[i];
}

void AlphaTable(const u8* block, u32 table[8])
{
    u32 a0 = block[0], a1 = block[1];
    table[0] = a0;
    table[1] = a1;
    if (a0 > a1)
    {
        for (u32 i = 1; i < 7; ++i)
            table[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    }
    else
    {
        for (u32 i = 1; i < 5; ++i)
            table[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        table[6] = 0;
        table[7] = 255;
    }
}
} // namespace

u32 DxtBlockBytes(TextureFormat format)
{
    switch (format)
    {
    case TextureFormat::DXT1: return 8;
    case TextureFormat::DXT3:
    case TextureFormat::DXT5: return 16;
    default: return 0;
    }
}

u32 DxtRowPitch(TextureFormat format, u32 width) { return (width + 3) / 4 * DxtBlockBytes(format); }

void DecodeDxt(TextureFormat format, u32 width, u32 height, const u8* data, u32 pitch, std::vector<u32>* out)
{
    out->assign(static_cast<size_t>(width) * height, 0);
    const u32 blockBytes = DxtBlockBytes(format);
    for (u32 by = 0; by < (height + 3) / 4; ++by)
    {
        const u8* row = data + static_cast<size_t>(by) * pitch;
        for (u32 bx = 0; bx < (width + 3) / 4; ++bx)
        {
            const u8* block = row + static_cast<size_t>(bx) * blockBytes;
            const u8* colourBlock = format == TextureFormat::DXT1 ? block : block + 8;
            u32 colours[4];
            ColourTable(colourBlock, format == TextureFormat::DXT1, colours);
            u32 alphas[8];
            u64 alphaBits = 0;
            if (format == TextureFormat::DXT5)
            {
                AlphaTable(block, alphas);
                for (int i = 0; i < 6; ++i)
                    alphaBits |= static_cast<u64>(block[2 + i]) << (8 * i);
            }
            u32 indices = static_cast<u32>(colourBlock[4]) | (colourBlock[5] << 8) | (colourBlock[6] << 16) |
                          (static_cast<u32>(colourBlock[7]) << 24);
            for (u32 py = 0; py < 4; ++py)
            {
                for (u32 px = 0; px < 4; ++px)
                {
                    u32 x = bx * 4 + px, y = by * 4 + py, i = py * 4 + px;
                    if (x >= width || y >= height)
                        continue;
                    u32 pixel = colours[(indices >> (2 * i)) & 3];
                    if (format == TextureFormat::DXT3)
                    {
                        u32 a = (block[i / 2] >> (4 * (i & 1))) & 15;
                        pixel = (pixel & 0x00FFFFFF) | ((a * 17) << 24);
                    }
                    else if (format == TextureFormat::DXT5)
                    {
                        u32 a = alphas[(alphaBits >> (3 * i)) & 7];
                        pixel = (pixel & 0x00FFFFFF) | (a << 24);
                    }
                    (*out)[static_cast<size_t>(y) * width + x] = pixel;
                }
            }
        }
    }
}
} // namespace gpu
