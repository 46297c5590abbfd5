// JPEG through libjpeg, as 8-bit RGBA with opaque alpha. (DevIL's reader kept libjpeg's memory on
// every damaged file.)
#pragma once

#include "Core/Media/Image/RgbaRows.h"

namespace render
{
class ImageDataJpeg : public ImageDataRgba
{
public:
    QLResultEnum Load(base::Stream* stream, const std::wstring& extension) override;
};
} // namespace render
