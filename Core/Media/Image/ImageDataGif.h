// GIF through giflib: the first frame on the logical screen, transparent where the frame leaves it
// or marks its transparent colour. (DevIL's own GIF reader crashes on damaged files.)
#pragma once

#include "Core/Media/Image/RgbaRows.h"

namespace render
{
class ImageDataGif : public ImageDataRgba
{
public:
    QLResultEnum Load(base::Stream* stream, const std::wstring& extension) override;
};
} // namespace render
