// Image files built in memory for the decoder tests (PNG through libpng, DDS by hand) and the
// demo content's images.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <vector>

namespace imagetest
{
using Bytes = std::vector<u8>;

// Pixels are 0xAARRGGBB, top row first.
Bytes EncodePng(u32 width, u32 height, const std::vector<u32>& argb, bool withAlpha);
// A DDS header and the data as given; fourCc null means uncompressed with `bitCount` bits.
Bytes EncodeDds(u32 width, u32 height, const char* fourCc, const Bytes& data, u32 mipCount = 0,
                u32 bitCount = 32);
// Uncompressed DDS data: pixels as little-endian 0xAARRGGBB.
Bytes ArgbBytes(const std::vector<u32>& argb);

// One DXT1 block: two RGB565 colours and 16 two-bit indices (row by row).
Bytes Dxt1Block(u16 colour0, u16 colour1, const u8 indices[16]);
// One DXT3 block: 16 four-bit alphas, then a DXT1 colour block.
Bytes Dxt3Block(const u8 alphas[16], u16 colour0, u16 colour1, const u8 indices[16]);
// One DXT5 block: two alpha endpoints, 16 three-bit alpha indices, then a colour block.
Bytes Dxt5Block(u8 alpha0, u8 alpha1, const u8 alphaIndices[16], u16 colour0, u16 colour1,
                const u8 indices[16]);
// The same block repeated for every 4x4 square of a width x height image.
Bytes RepeatBlock(const Bytes& block, u32 width, u32 height);

void WriteFile(const std::wstring& path, const Bytes& bytes);
// A file of the demo content's images folder (content/td/data/images/).
Bytes ContentImage(const std::string& name);
} // namespace imagetest
