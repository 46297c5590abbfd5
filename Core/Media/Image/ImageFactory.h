// Images and render targets over a render's textures, and images loaded by name as shared
// texture resources. The render's CreateImage, CreateRenderTarget and LoadImage do this.
#pragma once

#include "Core/Base/Types.h"

#include <string>

namespace base
{
struct ImageInfo;
}
namespace file
{
class ImageContainer;
}

namespace render
{
class Render;
class Image;
class RenderTarget;

// A dynamic texture of that size in a new image that owns it.
QLResultEnum CreateImage(Render* render, u32 width, u32 height, Image** out);
QLResultEnum CreateRenderTarget(Render* render, u32 width, u32 height, RenderTarget** out, i32 option);
// The named texture (inside the container when one is given), loaded on first use and shared;
// a new image over it, and its description copied out when asked. 1 when it cannot be made.
QLResultEnum LoadImage(Render* render, const std::wstring& path, file::ImageContainer* container, Image** out,
                       base::ImageInfo* info);
} // namespace render
