// One playback channel of a shared sample.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Media/Sound/ResourceSound.h"

class Sound
{
public:
    // channel 0 (a sample that did not load) gives a sound that plays nothing.
    Sound(base::CountedPtr<resource::ResourceSound> resource, audio::ChannelId channel);
    // Stops and frees the channel, then drops the sample reference.
    virtual ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Restarts from the beginning.
    void Play();
    bool IsPlaying() const;
    void Stop();
    // With seconds > 0 the volume slides there over (int)(seconds * 1000) ms, else it is set at once.
    void SetVolume(float volume, float seconds = 0.0f);

    audio::ChannelId GetChannel() const { return mChannel; }
    resource::ResourceSound* GetResource() const { return mResource.Get(); }

private:
    base::CountedPtr<resource::ResourceSound> mResource;
    audio::ChannelId mChannel;
};
