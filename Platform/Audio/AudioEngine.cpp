// The audio layer over the mixer and one output device.
#include "Platform/Audio/AudioEngine.h"

#include "Platform/Audio/NullDevice.h"
#include "Platform/Audio/OggDecoder.h"
#include "Platform/Audio/Resampler.h"
#include "Platform/Audio/WavReader.h"

#include "Platform/Base/Log.h"

namespace audio
{
AudioEngine::AudioEngine(std::unique_ptr<Device> device) : mDevice(std::move(device))
{
    std::string error;
    if (mDevice && mDevice->Open(mMixer, error))
    {
        mHasOutput = mDevice->Name() != "null";
        return;
    }
    platform::LogError(L"No sound device (%s): the game runs silent\n", {error});
    mDevice = std::make_unique<NullDevice>();
    mDevice->Open(mMixer, error);
}

AudioEngine::~AudioEngine()
{
    // The device must stop pulling before the mixer goes.
    if (mDevice)
        mDevice->Close();
}

SampleId AudioEngine::LoadSample(const void* data, u32 size, const std::string& nameForLog)
{
    auto pcm = std::make_shared<Pcm>();
    std::string error = "neither Ogg Vorbis nor WAV";
    bool ok = false;
    if (data && IsOgg(data, size))
        ok = DecodeOgg(data, size, *pcm, error);
    else if (data && IsWav(data, size))
        ok = ReadWav(data, size, *pcm, error);
    if (ok && ResampledFrames(pcm->Frames(), pcm->rate, kOutputRate) > kMaxSampleFrames)
    {
        ok = false;
        error = "longer than ten minutes at " + std::to_string(kOutputRate) + " Hz (" + std::to_string(pcm->Frames()) +
                " frames at " + std::to_string(pcm->rate) + " Hz)";
    }
    if (!ok)
    {
        platform::LogError(L"Cannot decode sound '%s': %s\n", {nameForLog, error});
        return 0;
    }
    Resample(*pcm, kOutputRate);
    SampleId id = mNextSample++;
    mSamples[id].pcm = std::move(pcm);
    return id;
}

void AudioEngine::FreeSample(SampleId sample)
{
    auto it = mSamples.find(sample);
    if (it == mSamples.end())
        return;
    for (ChannelId channel : it->second.channels)
    {
        mMixer.Remove(channel);
        mSyncs.erase(channel);
    }
    mSamples.erase(it);
}

ChannelId AudioEngine::CreateSampleChannel(SampleId sample)
{
    auto it = mSamples.find(sample);
    if (it == mSamples.end())
        return 0;
    ChannelId channel = mMixer.AddSample(it->second.pcm);
    if (channel)
        it->second.channels.push_back(channel);
    return channel;
}

ChannelId AudioEngine::CreateStream(std::unique_ptr<FrameSource> source)
{
    return mMixer.AddStream(AtOutputRate(std::move(source)));
}

void AudioEngine::FreeChannel(ChannelId channel)
{
    mMixer.Remove(channel);
    mSyncs.erase(channel);
    for (auto& [id, entry] : mSamples)
        std::erase(entry.channels, channel);
}

bool AudioEngine::Play(ChannelId channel, bool restart) { return mMixer.Play(channel, restart); }
bool AudioEngine::Stop(ChannelId channel) { return mMixer.Stop(channel); }
bool AudioEngine::IsActive(ChannelId channel) const { return mMixer.IsPlaying(channel); }
bool AudioEngine::SetVolume(ChannelId channel, float volume) { return mMixer.SetVolume(channel, volume); }

bool AudioEngine::SlideVolume(ChannelId channel, float volume, u32 ms)
{
    return mMixer.SlideVolume(channel, volume, ms);
}

bool AudioEngine::SetSync(ChannelId channel, EventKind kind, SyncProc proc)
{
    if (!mMixer.SetNotify(channel, kind, true))
        return false;
    mSyncs[channel].push_back({kind, std::move(proc)});
    return true;
}

void AudioEngine::Pause()
{
    mPaused = true;
    mMixer.SetPaused(true);
    mDevice->SetPaused(true);
}

void AudioEngine::Start()
{
    mPaused = false;
    mMixer.SetPaused(false);
    mDevice->SetPaused(false);
}

void AudioEngine::Update()
{
    mDevice->Update();
    for (const Event& event : mMixer.TakeEvents())
    {
        // A handler may free channels or add syncs: look the channel up again for every event,
        // and copy the procedures before calling them.
        auto it = mSyncs.find(event.channel);
        if (it == mSyncs.end())
            continue;
        std::vector<SyncProc> procs;
        for (const Sync& sync : it->second)
            if (sync.kind == event.kind)
                procs.push_back(sync.proc);
        for (const SyncProc& proc : procs)
        {
            if (!mSyncs.count(event.channel))
                break;
            proc(event.channel, event.kind);
        }
    }
}
} // namespace audio
