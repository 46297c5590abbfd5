// Linear-interpolation rate conversion to the mixer's output rate.
#pragma once

#include "Platform/Audio/FrameSource.h"
#include "Platform/Audio/Pcm.h"

#include <memory>
#include <vector>

namespace audio
{
// Converts in place to `rate`; nothing happens when the rate already matches.
void Resample(Pcm& pcm, u32 rate);
// How many frames Resample makes of `frames` frames at `from` Hz.
u64 ResampledFrames(u64 frames, u32 from, u32 to);

// Wraps a source of another rate so that it gives frames at kOutputRate. Positions are kept in
// 32.32 fixed point, so the result does not depend on float rounding across chunks.
class ResamplingSource : public FrameSource
{
public:
    explicit ResamplingSource(std::unique_ptr<FrameSource> inner);
    u32 Read(float* stereo, u32 frames) override;
    bool Rewind() override;
    u32 SampleRate() const override { return kOutputRate; }

private:
    bool Fill();

    std::unique_ptr<FrameSource> mInner;
    u64 mStep;
    u64 mPosition = 0;          // into mBuffer, 32.32
    std::vector<float> mBuffer; // stereo frames of the inner source
    bool mInnerEnded = false;
};

// Returns the source itself when it already runs at kOutputRate, else a resampling wrapper.
std::unique_ptr<FrameSource> AtOutputRate(std::unique_ptr<FrameSource> source);
} // namespace audio
