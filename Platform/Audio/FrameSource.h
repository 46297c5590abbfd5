// A pull source of stereo frames, such as a decoding music stream.
#pragma once

#include "Platform/Base/Types.h"

namespace audio
{
class FrameSource
{
public:
    virtual ~FrameSource() = default;
    // Writes up to `frames` interleaved stereo frames; fewer means the source has ended.
    virtual u32 Read(float* stereo, u32 frames) = 0;
    // Goes back to the first frame; false when the source cannot.
    virtual bool Rewind() = 0;
    virtual u32 SampleRate() const = 0;
};
} // namespace audio
