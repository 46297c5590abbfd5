// The media layer's display scales.
#include "Core/Media/Image/MediaScale.h"

namespace render
{
namespace
{
MediaScale gScale;
} // namespace

const MediaScale& GetMediaScale() { return gScale; }

void SetMediaScale(const MediaScale& scale) { gScale = scale; }
} // namespace render
