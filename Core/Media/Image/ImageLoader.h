// Picks the decoder for an image file by its extension (or the raw path for raw-pixel images).
#pragma once

#include "Core/Base/Singletone.h"
#include "Core/Render/ImageData.h"

#include <string>

namespace base
{
class Stream;
struct ImageInfo;
} // namespace base

namespace render
{
class ImageLoader : public base::Singletone<ImageLoader>
{
public:
    // A new decoder that has read the stream, or null when the extension is unknown (only the
    // exact lower-case ".dds", ".bmp", ".gif", ".jpg", ".png", ".tga") or the data cannot be read.
    ImageData* Load(base::Stream* stream, const std::wstring& extension, const base::ImageInfo* info);
};
} // namespace render
