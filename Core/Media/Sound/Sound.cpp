// Sample channels.
#include "Core/Media/Sound/Sound.h"

#include "Core/Media/Sound/SoundSystem.h"
#include "Platform/Audio/AudioEngine.h"

namespace
{
audio::AudioEngine* Audio() { return SoundSystem::Exists() ? &SoundSystem::Instance()->GetAudio() : nullptr; }
} // namespace

Sound::Sound(base::CountedPtr<resource::ResourceSound> resource, audio::ChannelId channel)
    : mResource(std::move(resource)), mChannel(channel)
{
}

Sound::~Sound()
{
    if (mChannel)
        if (audio::AudioEngine* audio = Audio())
            audio->FreeChannel(mChannel);
}

void Sound::Play()
{
    if (mChannel)
        if (audio::AudioEngine* audio = Audio())
            audio->Play(mChannel, true);
}

bool Sound::IsPlaying() const
{
    audio::AudioEngine* audio = mChannel ? Audio() : nullptr;
    return audio && audio->IsActive(mChannel);
}

void Sound::Stop()
{
    if (mChannel)
        if (audio::AudioEngine* audio = Audio())
            audio->Stop(mChannel);
}

void Sound::SetVolume(float volume, float seconds)
{
    audio::AudioEngine* audio = mChannel ? Audio() : nullptr;
    if (!audio)
        return;
    if (seconds > 0.0f)
        audio->SlideVolume(mChannel, volume, static_cast<u32>(static_cast<int>(seconds * 1000.0f)));
    else
        audio->SetVolume(mChannel, volume);
}
