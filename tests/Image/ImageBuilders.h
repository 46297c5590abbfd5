// PNG files built in memory through libpng, and the demo content's images.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <vector>

namespace imagetest
{
using Bytes = std::vector<u8>;

// Pixels are 0xAARRGGBB, top row first.
Bytes EncodePng(u32 width, u32 height, const std::vector<u32>& argb, bool withAlpha);

void WriteFile(const std::wstring& path, const Bytes& bytes);
// A file of the demo content's images folder (content/td/data/images/).
Bytes ContentImage(const std::string& name);
} // namespace imagetest
