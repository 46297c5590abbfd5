// A small RIFF/WAVE reader: integer PCM of 8 to 32 bits and 32-bit float, any rate.
#pragma once

#include "Platform/Audio/Pcm.h"

#include <cstddef>
#include <string>

namespace audio
{
bool IsWav(const void* data, size_t size);
// Decodes the whole file. More than two channels keep the first two. On failure returns false
// and says why in `error`.
bool ReadWav(const void* data, size_t size, Pcm& out, std::string& error);
} // namespace audio
