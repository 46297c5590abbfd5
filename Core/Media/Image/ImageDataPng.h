// PNG through libpng, expanded to 8-bit RGBA as DevIL gave it (no gamma change). (DevIL's own PNG
// reader loses its row table on every damaged file.)
#pragma once

#include "Core/Media/Image/RgbaRows.h"

namespace render
{
class ImageDataPng : public ImageDataRgba
{
public:
    QLResultEnum Load(base::Stream* stream, const std::wstring& extension) override;
};
} // namespace render
