// Alpha of S3TC (DXT1/3/5) blocks, decoded for hit masks.
#pragma once

#include "Core/Base/Types.h"

namespace render
{
// Bytes of one 4x4 block: 8 for DXT1 (compression 1), 16 for DXT3 (2) and DXT5 (3).
u32 DxtBlockSize(u32 compression);
// The alpha of the 16 pixels of one block, row by row.
void DecodeBlockAlpha(u32 compression, const u8* block, u8 alpha[16]);
} // namespace render
