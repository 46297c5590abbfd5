// BMP and TGA through DevIL, converted to 8-bit RGBA and written as ARGB rows.
#pragma once

#include "Core/Render/ImageData.h"

#include <vector>

namespace render
{
class ImageDataDevil : public ImageData
{
public:
    static constexpr u8 kHitAlpha = 50;

    ImageDataDevil() = default;
    ~ImageDataDevil() override; // deletes the DevIL image if CopyPixels never ran
    ImageDataDevil(const ImageDataDevil&) = delete;
    ImageDataDevil& operator=(const ImageDataDevil&) = delete;

    QLResultEnum Load(base::Stream* stream, const std::wstring& extension) override;
    // The decode of a whole file allowed to hold `budget` bytes at once (Load gives the budget of
    // the sides the header declares).
    QLResultEnum Decode(const std::vector<u8>& data, const std::wstring& extension, u64 budget);
    QLResultEnum CopyPixels(u32 pitch, u8* destination, HitMask& mask) override;

    bool IsOriginLowerLeft() const { return mLowerLeft; }
    // The most the last decode held at once.
    u64 PeakBytes() const { return mPeakBytes; }

private:
    void DeleteImage();

    u32 mImage = 0;
    base::Stream* mStream = nullptr;
    bool mLowerLeft = false;
    const u8* mPixels = nullptr;
    u64 mPeakBytes = 0;
};
} // namespace render
