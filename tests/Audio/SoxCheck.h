// Measures raw 16-bit stereo 44.1 kHz audio files with sox (tests skip when sox is absent).
#pragma once

#include <string>

namespace audiotest
{
bool HaveSox();
struct SoxStat
{
    bool ok = false;
    double seconds = 0.0;
    double rms = 0.0;
};
// `effects` is appended to the sox command (e.g. "trim 0 0.25").
SoxStat MeasureRaw(const std::string& path, const std::string& effects = "");

// Sets SDL_AUDIODRIVER (and, for "disk", SDL_DISKAUDIOFILE) for the life of the object.
class ScopedAudioDriver
{
public:
    ScopedAudioDriver(const std::string& driver, const std::string& diskFile = "");
    ~ScopedAudioDriver();
    ScopedAudioDriver(const ScopedAudioDriver&) = delete;
    ScopedAudioDriver& operator=(const ScopedAudioDriver&) = delete;

private:
    bool mHad;
    std::string mOld;
};
} // namespace audiotest
