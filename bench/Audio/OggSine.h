// Long Ogg Vorbis sine tracks for the audio benchmarks, encoded with libvorbisenc.
#pragma once

#include "Platform/Base/Types.h"

#include <string>

namespace audiobench
{
// A sine of amplitude 0.5 on every channel.
std::string MakeOggSine(double seconds, u32 rate, u32 channels, double frequency, float quality = 0.1f);
} // namespace audiobench
