// Decoded audio: interleaved float frames with their rate and channel count.
#pragma once

#include "Platform/Base/Types.h"

#include <vector>

namespace audio
{
// The mixer's fixed output format: 44.1 kHz stereo.
constexpr u32 kOutputRate = 44100;
constexpr u32 kOutputChannels = 2;
// The longest sample decoded whole (ten minutes at the output rate): a damaged header with a
// tiny rate would otherwise ask for gigabytes when converted. Music streams have no limit.
constexpr u32 kMaxSampleFrames = kOutputRate * 600;

struct Pcm
{
    u32 rate = 0;
    u32 channels = 0;           // 1 or 2
    std::vector<float> samples; // interleaved, in [-1, 1]

    u32 Frames() const { return channels ? static_cast<u32>(samples.size() / channels) : 0; }
};
} // namespace audio
