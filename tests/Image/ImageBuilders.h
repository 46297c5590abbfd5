// PNG files built in memory through libpng, DDS files for the benchmarks, and the demo content's
// images.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <vector>

namespace imagetest
{
using Bytes = std::vector<u8>;

// Pixels are 0xAARRGGBB, top row first.
Bytes EncodePng(u32 width, u32 height, const std::vector<u32>& argb, bool withAlpha);
// A DDS header and the data as given (for the benchmarks); fourCc null means uncompressed with
// `bitCount` bits. The decoder tests patch the committed DDS files instead.
Bytes EncodeDds(u32 width, u32 height, const char* fourCc, const Bytes& data, u32 mipCount = 0,
                u32 bitCount = 32);
// Uncompressed DDS data: pixels as little-endian 0xAARRGGBB.
Bytes ArgbBytes(const std::vector<u32>& argb);

void WriteFile(const std::wstring& path, const Bytes& bytes);
// A file of the demo content's images folder (content/td/data/images/).
Bytes ContentImage(const std::string& name);
} // namespace imagetest
