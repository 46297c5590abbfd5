// PNG through libpng, expanded to 8-bit RGBA as DevIL gave it (no gamma change). (DevIL's own PNG
// reader loses its row table on every damaged file.)
#pragma once

#include "Core/Render/ImageData.h"

#include <vector>

namespace render
{
class ImageDataPng : public ImageData
{
public:
    // The same threshold as the other decoded formats.
    static constexpr u8 kHitAlpha = 50;

    QLResultEnum Load(base::Stream* stream, const std::wstring& extension) override;
    QLResultEnum CopyPixels(u32 pitch, u8* destination, HitMask& mask) override;

private:
    std::vector<u8> mPixels; // RGBA rows, top row first
};
} // namespace render
