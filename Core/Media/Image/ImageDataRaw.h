// Raw 32-bit ARGB pixels (PSD layers): width x height host-order values read as they are.
#pragma once

#include "Core/Media/Image/ImageInfo.h"
#include "Core/Render/ImageData.h"

namespace render
{
class ImageDataRaw : public ImageData
{
public:
    static constexpr u32 kHitAlpha = 10;

    explicit ImageDataRaw(const base::ImageInfo& info) : mInfo(info) {}

    QLResultEnum Load(base::Stream* stream, const std::wstring& extension) override;
    QLResultEnum CopyPixels(u32 pitch, u8* destination, HitMask& mask) override;

private:
    base::ImageInfo mInfo;
    base::Stream* mStream = nullptr;
};
} // namespace render
