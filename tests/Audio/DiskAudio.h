// SDL's audio driver chosen for a test, and the raw output of its disk driver measured.
#pragma once

#include "Os/ScopedEnv.h"

#include <string>

namespace audiotest
{
struct RawStat
{
    bool ok = false;
    double seconds = 0.0;
    double rms = 0.0; // of full scale, over both sides
};
// A raw file of 16-bit stereo 44.1 kHz samples, from `skipSeconds` on.
RawStat MeasureRaw(const std::string& path, double skipSeconds = 0.0);

// SDL's audio driver for one scope, and for "disk" the file it writes.
class ScopedAudioDriver
{
public:
    explicit ScopedAudioDriver(const char* driver, const char* diskFile = nullptr)
        : mDriver("SDL_AUDIODRIVER", driver), mFile("SDL_DISKAUDIOFILE", diskFile)
    {
    }

private:
    testos::ScopedEnv mDriver;
    testos::ScopedEnv mFile;
};
} // namespace audiotest
