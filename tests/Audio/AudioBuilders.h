// Builders for the audio tests: WAV files in memory, the committed Ogg tracks, and scripted frame sources.
#pragma once

#include "Platform/Audio/FrameSource.h"

#include <string>
#include <vector>

namespace audiotest
{
// A RIFF/WAVE file of 16-bit integer PCM.
std::string MakeWav16(const std::vector<i16>& samples, u32 channels, u32 rate);
// Any layout: raw little-endian sample bytes with the given header values.
std::string MakeWavRaw(const std::string& data, u16 format, u16 channels, u32 rate, u16 bits, bool extensible = false);

// The bytes of a committed Ogg Vorbis sine track (amplitude 0.5) from "data/", as README.md lists.
std::string ReadTrack(const std::string& name);

// Frames value(i) for i in [0, length), the same on both sides.
class RampSource : public audio::FrameSource
{
public:
    RampSource(u32 length, u32 rate = 44100, float scale = 1.0f / 65536.0f)
        : mLength(length), mRate(rate), mScale(scale)
    {
    }
    u32 Read(float* stereo, u32 frames) override;
    bool Rewind() override
    {
        mPosition = 0;
        ++mRewinds;
        return true;
    }
    u32 SampleRate() const override { return mRate; }
    float Value(u32 i) const { return (i + 1) * mScale; }
    int mRewinds = 0;

private:
    u32 mLength;
    u32 mRate;
    float mScale;
    u32 mPosition = 0;
};
} // namespace audiotest
