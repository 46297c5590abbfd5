// Decoded 8-bit RGB or RGBA rows written as the 32-bit ARGB rows of a locked level.
#pragma once

#include "Core/Render/ImageData.h"

#include <vector>

namespace render
{
// Pixels of `bytesPerPixel` 3 (opaque) or 4, `width` a row, top row first unless `lowerLeft`; the
// mask bit of a pixel is set when its alpha is at least `hitAlpha`.
void CopyRgbaRows(const u8* pixels, u32 width, u32 height, u32 bytesPerPixel, bool lowerLeft, u8 hitAlpha, u32 pitch,
                  u8* destination, HitMask& mask);

// A decoder that keeps its picture as 8-bit RGBA rows, top row first, until they are copied out.
class ImageDataRgba : public ImageData
{
public:
    // The same threshold as the other decoded formats.
    static constexpr u8 kHitAlpha = 50;

    QLResultEnum CopyPixels(u32 pitch, u8* destination, HitMask& mask) override;

protected:
    void Keep(i32 width, i32 height, std::vector<u8>&& pixels);

private:
    std::vector<u8> mPixels;
};
} // namespace render
