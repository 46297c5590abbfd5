// BMP, JPG and TGA through DevIL, converted to 8-bit RGBA and written as ARGB rows.
#pragma once

#include "Core/Render/ImageData.h"

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
    QLResultEnum CopyPixels(u32 pitch, u8* destination, HitMask& mask) override;

    bool IsOriginLowerLeft() const { return mLowerLeft; }

private:
    void DeleteImage();

    u32 mImage = 0;
    base::Stream* mStream = nullptr;
    bool mLowerLeft = false;
    const u8* mPixels = nullptr;
};
} // namespace render
