// The display scales media apply as they load: image containers to every rectangle they
// describe, fonts to their metrics. The application sets them at start-up; 1 until then.
#pragma once

namespace render
{
struct MediaScale
{
    float image = 1.0f;
    float font = 1.0f;
};

const MediaScale& GetMediaScale();
void SetMediaScale(const MediaScale& scale);
} // namespace render
