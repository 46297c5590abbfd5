// Decodes DXT1/3/5 block data to 32-bit ARGB pixels, so every backend shows compressed textures
// the same way.
#pragma once

#include "Platform/Base/Types.h"
#include "Platform/Gpu/Device.h"

#include <vector>

namespace gpu
{
// Bytes of one 4x4 block: 8 for DXT1, 16 for DXT3 and DXT5; 0 for uncompressed formats.
u32 DxtBlockBytes(TextureFormat format);
// Bytes of one row of blocks of an image `width` pixels wide.
u32 DxtRowPitch(TextureFormat format, u32 width);
// `data` holds ceil(height / 4) block rows of `pitch` bytes; out gets width x height pixels
// 0xAARRGGBB, top row first. DXT1 keeps its transparent colour (index 3 in three-colour blocks).
void DecodeDxt(TextureFormat format, u32 width, u32 height, const u8* data, u32 pitch, std::vector<u32>* out);
} // namespace gpu
