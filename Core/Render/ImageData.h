// Decoded image data as a texture is made from it: its size and a copy into a locked level.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <vector>

namespace base
{
class Stream;
}

namespace render
{
// One bit per pixel, row by row (index y * width + x): set where the pixel counts as hit.
typedef std::vector<bool> HitMask;

class ImageData
{
public:
    virtual ~ImageData() = default;
    virtual QLResultEnum Load(base::Stream* stream, const std::wstring& extension) = 0;
    // Writes the pixels (32-bit ARGB rows, or the compressed blocks as stored) with the given row
    // pitch and sets the mask bit of every pixel that counts as hit.
    virtual QLResultEnum CopyPixels(u32 pitch, u8* destination, HitMask& mask) = 0;
    u32 GetDataSize() const { return static_cast<u32>(mWidth) * static_cast<u32>(mHeight) * 4; }
    // 0 none, 1 DXT1, 2 DXT3, 3 DXT5.
    virtual u32 GetCompression() const { return 0; }

    u32 mFlag = 1;
    i32 mWidth = 0;
    i32 mHeight = 0;
    u32 mBytesPerPixel = 0;
    u32 mLevelCount = 1;
    std::wstring mExtension;
};
} // namespace render
