// GIF through giflib: the first frame on the logical screen, transparent where the frame leaves it
// or marks its transparent colour. (DevIL's own GIF reader crashes on damaged files.)
#pragma once

#include "Core/Render/ImageData.h"

#include <vector>

namespace render
{
class ImageDataGif : public ImageData
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
