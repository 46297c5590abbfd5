// The audio layer the engine calls: samples from memory, sample channels, music streams,
// volumes and slides, notifications and pause/resume of the whole output.
// Notifications raised while mixing are queued and delivered by Update on the main thread.
#pragma once

#include "Platform/Audio/Device.h"
#include "Platform/Audio/Mixer.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace audio
{
using SampleId = u32; // 0 is never a sample
using SyncProc = std::function<void(ChannelId, EventKind)>;

class AudioEngine
{
public:
    // Opens the device; when it cannot, logs one line and runs on a NullDevice instead.
    explicit AudioEngine(std::unique_ptr<Device> device);
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    // Decodes an Ogg Vorbis or WAV file held in memory; 0 (logged) when it cannot.
    SampleId LoadSample(const void* data, u32 size, const std::string& nameForLog = "");
    // Frees the sample and every channel made from it.
    void FreeSample(SampleId sample);
    // A new channel of the sample; 0 for an unknown sample.
    ChannelId CreateSampleChannel(SampleId sample);
    // A channel over a decoding source (any rate); 0 for a null source.
    ChannelId CreateStream(std::unique_ptr<FrameSource> source);
    // Frees a stream channel and forgets its notifications.
    void FreeChannel(ChannelId channel);

    bool Play(ChannelId channel, bool restart);
    bool Stop(ChannelId channel);
    bool IsActive(ChannelId channel) const;
    bool SetVolume(ChannelId channel, float volume);
    bool SlideVolume(ChannelId channel, float volume, u32 ms);
    // Adds a notification; it stays until the channel is freed.
    bool SetSync(ChannelId channel, EventKind kind, SyncProc proc);

    void Pause();
    void Start();
    bool IsPaused() const { return mPaused; }

    // Main thread, once a frame: lets the device work and delivers the queued notifications.
    void Update();

    Mixer& GetMixer() { return mMixer; }
    Device& GetDevice() { return *mDevice; }
    bool HasOutput() const { return mHasOutput; }
    size_t SampleCount() const { return mSamples.size(); }

private:
    struct SampleEntry
    {
        std::shared_ptr<const Pcm> pcm;
        std::vector<ChannelId> channels;
    };
    struct Sync
    {
        EventKind kind;
        SyncProc proc;
    };

    Mixer mMixer;
    std::unique_ptr<Device> mDevice;
    bool mHasOutput = false;
    bool mPaused = false;
    std::map<SampleId, SampleEntry> mSamples;
    std::map<ChannelId, std::vector<Sync>> mSyncs;
    SampleId mNextSample = 1;
};
} // namespace audio
