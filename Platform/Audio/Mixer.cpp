// Voice mixing with per-frame volume slides.
#include "Platform/Audio/Mixer.h"

#include <algorithm>
#include <cstring>

namespace audio
{
struct Mixer::Voice
{
    ChannelId id = 0;
    std::shared_ptr<const Pcm> sample;
    std::unique_ptr<FrameSource> stream;
    u32 position = 0; // next frame of the sample
    bool playing = false;
    bool ended = false; // played to its end: the next Play starts over
    bool fresh = true;  // nothing read yet: a restart needs no rewind
    float volume = 1.0f;
    bool sliding = false;
    float slideFrom = 0.0f;
    float slideTo = 0.0f;
    u32 slideTotal = 0;
    u32 slideDone = 0;
    bool notifySlide = false;
    bool notifyEnd = false;
};

Mixer::Mixer() = default;
Mixer::~Mixer() = default;

Mixer::Voice* Mixer::Find(ChannelId id) const
{
    for (const auto& v : mVoices)
        if (v->id == id)
            return v.get();
    return nullptr;
}

ChannelId Mixer::AddSample(std::shared_ptr<const Pcm> pcm)
{
    if (!pcm || pcm->channels == 0)
        return 0;
    std::lock_guard lock(mMutex);
    auto voice = std::make_unique<Voice>();
    voice->id = mNextId++;
    voice->sample = std::move(pcm);
    mVoices.push_back(std::move(voice));
    return mVoices.back()->id;
}

ChannelId Mixer::AddStream(std::unique_ptr<FrameSource> source)
{
    if (!source)
        return 0;
    std::lock_guard lock(mMutex);
    auto voice = std::make_unique<Voice>();
    voice->id = mNextId++;
    voice->stream = std::move(source);
    mVoices.push_back(std::move(voice));
    return mVoices.back()->id;
}

bool Mixer::Remove(ChannelId id)
{
    std::unique_ptr<Voice> removed;
    {
        std::lock_guard lock(mMutex);
        auto it = std::find_if(mVoices.begin(), mVoices.end(), [id](const auto& v) { return v->id == id; });
        if (it == mVoices.end())
            return false;
        removed = std::move(*it);
        mVoices.erase(it);
    }
    return true; // the voice (and its decoder) goes here, outside the lock
}

bool Mixer::Play(ChannelId id, bool restart)
{
    std::lock_guard lock(mMutex);
    Voice* v = Find(id);
    if (!v)
        return false;
    if (restart || v->ended)
    {
        v->position = 0;
        v->ended = false;
        if (v->stream && !v->fresh && !v->stream->Rewind())
        {
            v->playing = false;
            return false;
        }
    }
    v->playing = true;
    return true;
}

bool Mixer::Stop(ChannelId id)
{
    std::lock_guard lock(mMutex);
    Voice* v = Find(id);
    if (!v)
        return false;
    v->playing = false;
    return true;
}

bool Mixer::IsPlaying(ChannelId id) const
{
    std::lock_guard lock(mMutex);
    Voice* v = Find(id);
    return v && v->playing;
}

bool Mixer::SetVolume(ChannelId id, float volume)
{
    std::lock_guard lock(mMutex);
    Voice* v = Find(id);
    if (!v)
        return false;
    v->volume = std::clamp(volume, 0.0f, 1.0f);
    v->sliding = false;
    return true;
}

bool Mixer::SlideVolume(ChannelId id, float volume, u32 ms)
{
    std::lock_guard lock(mMutex);
    Voice* v = Find(id);
    if (!v)
        return false;
    volume = std::clamp(volume, 0.0f, 1.0f);
    u32 frames = static_cast<u32>(static_cast<u64>(ms) * kOutputRate / 1000);
    if (frames == 0)
    {
        v->volume = volume;
        v->sliding = false;
        if (v->notifySlide)
            mEvents.push_back({v->id, EventKind::SlideEnd});
        return true;
    }
    v->sliding = true;
    v->slideFrom = v->volume;
    v->slideTo = volume;
    v->slideTotal = frames;
    v->slideDone = 0;
    return true;
}

float Mixer::GetVolume(ChannelId id) const
{
    std::lock_guard lock(mMutex);
    Voice* v = Find(id);
    return v ? v->volume : 0.0f;
}

bool Mixer::SetNotify(ChannelId id, EventKind kind, bool on)
{
    std::lock_guard lock(mMutex);
    Voice* v = Find(id);
    if (!v)
        return false;
    (kind == EventKind::SlideEnd ? v->notifySlide : v->notifyEnd) = on;
    return true;
}

void Mixer::SetPaused(bool paused)
{
    std::lock_guard lock(mMutex);
    mPaused = paused;
}

bool Mixer::IsPaused() const
{
    std::lock_guard lock(mMutex);
    return mPaused;
}

void Mixer::AdvanceSlide(Voice& v, u32 frames)
{
    if (!v.sliding)
        return;
    v.slideDone = v.slideTotal - v.slideDone > frames ? v.slideDone + frames : v.slideTotal;
    if (v.slideDone >= v.slideTotal)
    {
        v.volume = v.slideTo;
        v.sliding = false;
        if (v.notifySlide)
            mEvents.push_back({v.id, EventKind::SlideEnd});
    }
    else
    {
        v.volume = v.slideFrom + (v.slideTo - v.slideFrom) * (static_cast<float>(v.slideDone) / v.slideTotal);
    }
}

void Mixer::MixVoice(Voice& v, float* out, u32 frames)
{
    // Frames of the voice in stereo, then scaled frame by frame (a slide changes the volume
    // within the block).
    mScratch.resize(static_cast<size_t>(frames) * 2);
    u32 got = 0;
    if (v.sample)
    {
        const Pcm& pcm = *v.sample;
        u32 total = pcm.Frames();
        got = std::min(frames, total - std::min(total, v.position));
        const float* src = pcm.samples.data() + static_cast<size_t>(v.position) * pcm.channels;
        if (pcm.channels == 1)
            for (u32 i = 0; i < got; ++i)
                mScratch[2 * i] = mScratch[2 * i + 1] = src[i];
        else
            std::memcpy(mScratch.data(), src, static_cast<size_t>(got) * 2 * sizeof(float));
        v.position += got;
    }
    else
    {
        got = v.stream->Read(mScratch.data(), frames);
        v.fresh = false;
    }

    for (u32 i = 0; i < got; ++i)
    {
        float gain = v.volume;
        if (v.sliding)
        {
            AdvanceSlide(v, 1);
            gain = v.volume;
        }
        out[2 * i] += mScratch[2 * i] * gain;
        out[2 * i + 1] += mScratch[2 * i + 1] * gain;
    }
    // A sample is over with its last frame; a stream only when it gives fewer than asked.
    bool over = got < frames || (v.sample && v.position >= v.sample->Frames());
    if (over)
    {
        v.playing = false;
        v.ended = true;
        AdvanceSlide(v, frames - got);
        if (v.notifyEnd)
            mEvents.push_back({v.id, EventKind::StreamEnd});
    }
}

void Mixer::Render(float* stereo, u32 frames)
{
    std::memset(stereo, 0, static_cast<size_t>(frames) * 2 * sizeof(float));
    std::lock_guard lock(mMutex);
    if (mPaused)
        return;
    for (auto& v : mVoices)
    {
        if (v->playing)
            MixVoice(*v, stereo, frames);
        else
            AdvanceSlide(*v, frames);
    }
}

void Mixer::RenderS16(i16* stereo, u32 frames)
{
    mMixBuffer.resize(static_cast<size_t>(frames) * 2);
    Render(mMixBuffer.data(), frames);
    for (size_t i = 0; i < mMixBuffer.size(); ++i)
    {
        float s = std::clamp(mMixBuffer[i], -1.0f, 1.0f);
        stereo[i] = static_cast<i16>(s * 32767.0f);
    }
}

std::vector<Event> Mixer::TakeEvents()
{
    std::lock_guard lock(mMutex);
    std::vector<Event> events;
    events.swap(mEvents);
    return events;
}

size_t Mixer::VoiceCount() const
{
    std::lock_guard lock(mMutex);
    return mVoices.size();
}
} // namespace audio
