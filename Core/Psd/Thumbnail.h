// JPEG thumbnail decoding into ARGB.
#pragma once

#include "Core/Base/Types.h"

#include <cstddef>
#include <vector>

namespace psd
{
// Decodes a complete JPEG stream of at most maxPixels pixels. 0, -4, or -401 when the data cannot
// be decoded or the image is larger.
i32 DecodeJpeg(const u8* data, size_t size, std::vector<u32>& pixels, u32& width, u32& height, u64 maxPixels);
} // namespace psd
