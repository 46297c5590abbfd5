// Mixer cost for 32 voices and a music stream, as a fraction of real time, and Ogg decoding speed.
#include "AudioBuilders.h"
#include "OggSine.h"

#include "Core/Base/Stream.h"
#include "Platform/Audio/Mixer.h"
#include "Platform/Audio/OggDecoder.h"
#include "Platform/Audio/Resampler.h"
#include "Platform/Audio/WavReader.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace audio;

namespace
{
const std::string& ThreeMinuteOgg()
{
    static const std::string ogg = audiobench::MakeOggSine(180.0, 44100, 2, 440.0, 0.1f);
    return ogg;
}

const std::string& MusicOgg()
{
    static const std::string ogg = audiobench::MakeOggSine(30.0, 22050, 1, 330.0, 0.0f);
    return ogg;
}

// The cost of one 1024-frame block (what SDL asks for) with 32 effect voices and the music.
// cpu_per_audio_s is the fraction of one core that real-time playback takes.
void MixerVoices(benchmark::State& state)
{
    const u32 voices = static_cast<u32>(state.range(0));
    Mixer mixer;
    auto pcm = std::make_shared<Pcm>();
    pcm->rate = kOutputRate;
    pcm->channels = 1;
    for (u32 i = 0; i < kOutputRate / 2; ++i)
        pcm->samples.push_back(static_cast<float>((i * 7919) % 2000) / 4000.0f - 0.25f);
    std::vector<ChannelId> ids;
    for (u32 i = 0; i < voices; ++i)
    {
        ids.push_back(mixer.AddSample(pcm));
        mixer.SetVolume(ids.back(), 0.5f);
    }
    base::MemoryStream stream(MusicOgg().data(), static_cast<u32>(MusicOgg().size()));
    std::string error;
    ChannelId music = mixer.AddStream(AtOutputRate(VorbisStream::Open(&stream, error)));
    mixer.Play(music, true);

    std::vector<i16> out(1024 * 2);
    u32 block = 0;
    for (auto _ : state)
    {
        // Keep every voice sounding, some of them sliding.
        for (u32 i = 0; i < voices; ++i)
            if (!mixer.IsPlaying(ids[i]))
            {
                mixer.Play(ids[i], true);
                mixer.SlideVolume(ids[i], (block & 1) ? 0.2f : 0.8f, 200);
            }
        if (!mixer.IsPlaying(music))
            mixer.Play(music, true);
        mixer.RenderS16(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
        ++block;
    }
    state.counters["cpu_per_audio_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 1024.0 / kOutputRate,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(MixerVoices)->Arg(0)->Arg(32)->Unit(benchmark::kMicrosecond);

// Decoding a three-minute stereo Ogg Vorbis track through the engine's streams.
void DecodeThreeMinuteOgg(benchmark::State& state)
{
    const std::string& ogg = ThreeMinuteOgg();
    std::vector<float> block(4096 * 2);
    u64 frames = 0;
    for (auto _ : state)
    {
        base::MemoryStream stream(ogg.data(), static_cast<u32>(ogg.size()));
        std::string error;
        auto decoder = VorbisStream::Open(&stream, error);
        while (u32 got = decoder->Read(block.data(), 4096))
            frames += got;
    }
    state.counters["audio_s_per_s"] =
        benchmark::Counter(static_cast<double>(frames) / 44100.0, benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<i64>(state.iterations() * ogg.size()));
}
BENCHMARK(DecodeThreeMinuteOgg)->Unit(benchmark::kMillisecond)->Iterations(3);

// Loading a sample whole (decode and convert 22050 Hz to the output rate).
void LoadSample(benchmark::State& state)
{
    static const std::string ogg = audiobench::MakeOggSine(1.0, 22050, 1, 600.0);
    for (auto _ : state)
    {
        Pcm pcm;
        std::string error;
        DecodeOgg(ogg.data(), ogg.size(), pcm, error);
        Resample(pcm, kOutputRate);
        benchmark::DoNotOptimize(pcm.samples.data());
    }
}
BENCHMARK(LoadSample)->Unit(benchmark::kMicrosecond);
} // namespace
