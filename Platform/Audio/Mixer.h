// The portable mixer: voices of decoded samples and streams, volumes with linear slides, and
// the end and slide notifications. Plain C++; a device (or a test) pulls frames with Render.
#pragma once

#include "Platform/Audio/FrameSource.h"
#include "Platform/Audio/Pcm.h"

#include <memory>
#include <mutex>
#include <vector>

namespace audio
{
using ChannelId = u32; // 0 is never a channel

enum class EventKind
{
    SlideEnd,  // a volume slide reached its target
    StreamEnd, // the voice played to its end and stopped
};

struct Event
{
    ChannelId channel;
    EventKind kind;
    bool operator==(const Event&) const = default;
};

class Mixer
{
public:
    Mixer();
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // New stopped voices at volume 1. A sample must already be at kOutputRate.
    ChannelId AddSample(std::shared_ptr<const Pcm> pcm);
    ChannelId AddStream(std::unique_ptr<FrameSource> source);
    // False for an unknown channel.
    bool Remove(ChannelId id);

    bool Play(ChannelId id, bool restart);
    bool Stop(ChannelId id);
    bool IsPlaying(ChannelId id) const;
    bool SetVolume(ChannelId id, float volume);
    // Linear slide from the present volume, reaching `volume` after exactly ms * 44.1 frames;
    // slides run on while the voice is stopped, so their end always comes on time.
    bool SlideVolume(ChannelId id, float volume, u32 ms);
    float GetVolume(ChannelId id) const;
    // Whether the mixer queues the given event of this channel (off by default).
    bool SetNotify(ChannelId id, EventKind kind, bool on);

    // While paused Render gives silence and no voice advances.
    void SetPaused(bool paused);
    bool IsPaused() const;

    // Mixes `frames` interleaved stereo frames.
    void Render(float* stereo, u32 frames);
    // The same, clipped to 16-bit.
    void RenderS16(i16* stereo, u32 frames);

    // Takes the queued events (filled on the rendering thread, drained on the main thread).
    std::vector<Event> TakeEvents();
    size_t VoiceCount() const;

private:
    struct Voice;
    Voice* Find(ChannelId id) const;
    void MixVoice(Voice& voice, float* out, u32 frames);
    void AdvanceSlide(Voice& voice, u32 frames);

    mutable std::mutex mMutex;
    std::vector<std::unique_ptr<Voice>> mVoices;
    std::vector<Event> mEvents;
    std::vector<float> mScratch;
    std::vector<float> mMixBuffer;
    ChannelId mNextId = 1;
    bool mPaused = false;
};
} // namespace audio
