#include "Core/Media/Image/RgbaRows.h"

namespace render
{
void CopyRgbaRows(const u8* pixels, u32 width, u32 height, u32 bytesPerPixel, bool lowerLeft, u8 hitAlpha, u32 pitch,
                  u8* destination, HitMask& mask)
{
    if (mask.size() != static_cast<size_t>(width) * height)
        mask.assign(static_cast<size_t>(width) * height, false);
    for (u32 y = 0; y < height; ++y)
    {
        const u32 sourceRow = lowerLeft ? height - 1 - y : y;
        const u8* src = pixels + static_cast<size_t>(sourceRow) * width * bytesPerPixel;
        u32* dst = reinterpret_cast<u32*>(destination + static_cast<size_t>(y) * pitch);
        for (u32 x = 0; x < width; ++x, src += bytesPerPixel)
        {
            const u32 a = bytesPerPixel == 4 ? src[3] : 255;
            dst[x] = a << 24 | static_cast<u32>(src[0]) << 16 | static_cast<u32>(src[1]) << 8 | src[2];
            mask[static_cast<size_t>(y) * width + x] = a >= hitAlpha;
        }
    }
}

void ImageDataRgba::Keep(i32 width, i32 height, std::vector<u8>&& pixels)
{
    mWidth = width;
    mHeight = height;
    mBytesPerPixel = 4;
    mPixels = std::move(pixels);
}

QLResultEnum ImageDataRgba::CopyPixels(u32 pitch, u8* destination, HitMask& mask)
{
    if (mPixels.empty() || !destination || pitch < static_cast<u32>(mWidth) * 4)
        return QL_FAIL;
    CopyRgbaRows(mPixels.data(), static_cast<u32>(mWidth), static_cast<u32>(mHeight), 4, false, kHitAlpha, pitch,
                 destination, mask);
    mPixels = {};
    return QL_OK;
}
} // namespace render
