// Linear-interpolation rate conversion.
#include "Platform/Audio/Resampler.h"

#include <cstdint>

namespace audio
{
u64 ResampledFrames(u64 frames, u32 from, u32 to)
{
    if (from == to || from == 0 || to == 0 || frames == 0)
        return frames;
    // The same step Resample takes, so the count matches its output exactly.
    u64 step = (static_cast<u64>(from) << 32) / to;
    if (step == 0)
        return UINT64_MAX;
    unsigned __int128 scaled = (static_cast<unsigned __int128>(frames) << 32) + step - 1;
    unsigned __int128 out = scaled / step;
    return out > UINT64_MAX ? UINT64_MAX : static_cast<u64>(out);
}

void Resample(Pcm& pcm, u32 rate)
{
    if (pcm.rate == rate || pcm.rate == 0 || pcm.channels == 0)
        return;
    u32 in = pcm.Frames();
    u64 step = (static_cast<u64>(pcm.rate) << 32) / rate;
    u64 outFrames = ResampledFrames(in, pcm.rate, rate);
    std::vector<float> out(static_cast<size_t>(outFrames) * pcm.channels);
    u64 position = 0;
    for (u64 f = 0; f < outFrames; ++f, position += step)
    {
        u64 index = position >> 32;
        float t = static_cast<float>(position & 0xFFFFFFFFu) / 4294967296.0f;
        u64 next = index + 1 < in ? index + 1 : index;
        for (u32 c = 0; c < pcm.channels; ++c)
        {
            float a = pcm.samples[index * pcm.channels + c];
            float b = pcm.samples[next * pcm.channels + c];
            out[f * pcm.channels + c] = a + (b - a) * t;
        }
    }
    pcm.samples.swap(out);
    pcm.rate = rate;
}

ResamplingSource::ResamplingSource(std::unique_ptr<FrameSource> inner)
    : mInner(std::move(inner)), mStep((static_cast<u64>(mInner->SampleRate()) << 32) / kOutputRate)
{
}

bool ResamplingSource::Fill()
{
    if (mInnerEnded)
        return false;
    // Drop the frames already passed, keeping the one interpolation starts from.
    u64 index = mPosition >> 32;
    size_t frames = mBuffer.size() / 2;
    if (index > 0 && frames > 0)
    {
        size_t drop = index < frames ? static_cast<size_t>(index) : frames;
        mBuffer.erase(mBuffer.begin(), mBuffer.begin() + static_cast<long>(drop * 2));
        mPosition -= static_cast<u64>(drop) << 32;
    }
    constexpr u32 kChunk = 2048;
    size_t old = mBuffer.size();
    mBuffer.resize(old + kChunk * 2);
    u32 got = mInner->Read(mBuffer.data() + old, kChunk);
    mBuffer.resize(old + static_cast<size_t>(got) * 2);
    if (got < kChunk)
        mInnerEnded = true;
    return got > 0;
}

u32 ResamplingSource::Read(float* stereo, u32 frames)
{
    u32 done = 0;
    while (done < frames)
    {
        u64 index = mPosition >> 32;
        size_t available = mBuffer.size() / 2;
        if (index + 1 >= available)
        {
            if (Fill())
                continue;
            if (index >= available)
                break;
            // Last frame of the source: nothing follows to interpolate towards.
            stereo[2 * done] = mBuffer[index * 2];
            stereo[2 * done + 1] = mBuffer[index * 2 + 1];
        }
        else
        {
            float t = static_cast<float>(mPosition & 0xFFFFFFFFu) / 4294967296.0f;
            for (u32 c = 0; c < 2; ++c)
            {
                float a = mBuffer[index * 2 + c];
                float b = mBuffer[(index + 1) * 2 + c];
                stereo[2 * done + c] = a + (b - a) * t;
            }
        }
        mPosition += mStep;
        ++done;
    }
    return done;
}

bool ResamplingSource::Rewind()
{
    if (!mInner->Rewind())
        return false;
    mBuffer.clear();
    mPosition = 0;
    mInnerEnded = false;
    return true;
}

std::unique_ptr<FrameSource> AtOutputRate(std::unique_ptr<FrameSource> source)
{
    if (!source || source->SampleRate() == kOutputRate || source->SampleRate() == 0)
        return source;
    return std::make_unique<ResamplingSource>(std::move(source));
}
} // namespace audio
