// PNG and GIF files built in memory through libpng and giflib (and PNG files read back), and the
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
// A PNG file decoded by libpng alone; false when it cannot be read.
bool DecodePng(const std::string& path, u32& width, u32& height, std::vector<u32>& argb);
// A PNG of any colour type and depth (libpng's PNG_COLOR_TYPE_* values) from rows packed as the
// file stores them; a palette of 0xRRGGBB colours with their alphas (tRNS) for palette images.
struct PngLayout
{
    int colourType = 0;
    int bitDepth = 8;
    std::vector<u32> palette = {};
    std::vector<u8> alphas = {};
    bool interlaced = false;
};
Bytes EncodePngRows(u32 width, u32 height, const PngLayout& layout, const Bytes& packedRows);

// A GIF of one frame at (left, top) on a screen of the given size, colours 0xRRGGBB, pixel
// indices top row first; rows are stored in four passes when interlaced.
struct GifFrame
{
    u32 screenWidth, screenHeight, left, top, width, height;
    std::vector<u32> colours;
    std::vector<u8> indices;
    bool interlaced = false;
    int transparent = -1;
};
Bytes EncodeGif(const GifFrame& frame);

void WriteFile(const std::wstring& path, const Bytes& bytes);
// A file of the demo content's images folder (content/td/data/images/).
Bytes ContentImage(const std::string& name);
} // namespace imagetest
