// Sample decoding from untrusted bytes: WAV, Ogg Vorbis whole, and Ogg Vorbis streamed.
#include "Core/Base/Stream.h"
#include "Platform/Audio/OggDecoder.h"
#include "Platform/Audio/Resampler.h"
#include "Platform/Audio/WavReader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    audio::Pcm pcm;
    std::string error;
    if (audio::IsWav(data, size))
    {
        if (audio::ReadWav(data, size, pcm, error) &&
            audio::ResampledFrames(pcm.Frames(), pcm.rate, audio::kOutputRate) < (1u << 22))
            audio::Resample(pcm, audio::kOutputRate);
        return 0;
    }
    if (!audio::IsOgg(data, size))
        return 0;
    audio::DecodeOgg(data, size, pcm, error);
    base::MemoryStream stream(data, static_cast<u32>(size));
    if (auto decoder = audio::VorbisStream::Open(&stream, error))
    {
        auto source = audio::AtOutputRate(std::move(decoder));
        std::vector<float> block(2 * 1024);
        for (int i = 0; i < 64 && source->Read(block.data(), 1024) == 1024; ++i)
        {
        }
        source->Rewind();
        source->Read(block.data(), 1024);
    }
    return 0;
}
