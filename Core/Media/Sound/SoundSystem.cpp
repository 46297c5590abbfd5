// Music changes, playlists and volumes over the audio layer.
#include "Core/Media/Sound/SoundSystem.h"

#include "Core/Media/Sound/ResourceSound.h"
#include "Core/Media/Sound/Sound.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/Resource/ResourceManager.h"
#include "Platform/Audio/AudioEngine.h"
#include "Platform/Audio/Device.h"
#include "Platform/Audio/OggDecoder.h"

#include <algorithm>

namespace
{
constexpr float kFadeSeconds = 1.0f;
} // namespace

SoundSystem::SoundSystem() : mAudio(std::make_unique<audio::AudioEngine>(audio::CreateDevice())) {}

SoundSystem::~SoundSystem()
{
    FreeMusic();
    mSounds.clear();
}

std::vector<base::SingletoneBase*> SoundSystem::GetDependencies() { return {resource::ResourceManager::Instance()}; }

Sound* SoundSystem::CreateSound(const std::string& name)
{
    base::CountedPtr<resource::ResourceSound> sample =
        resource::ResourceManager::Instance()->Get<resource::ResourceSound>(base::Utf8ToWide(name));
    audio::ChannelId channel = 0;
    if (sample.Get())
    {
        if (!sample->IsLoaded())
            (void)sample->Load();
        if (sample->IsLoaded())
            channel = mAudio->CreateSampleChannel(sample->GetSample());
    }
    return new Sound(std::move(sample), channel);
}

void SoundSystem::FreeMusic()
{
    if (mMusicChannel)
    {
        mAudio->Stop(mMusicChannel);
        mAudio->FreeChannel(mMusicChannel); // the decoder goes with it, before its stream
    }
    mMusicChannel = 0;
    mMusicStream.reset();
    mFading = false;
    mFadeSyncSet = false;
    mEndSyncSet = false;
}

void SoundSystem::PlayFile(const std::string& name)
{
    // 1. The same track.
    if (name == mCurrentMusic && mMusicChannel)
    {
        if (mAudio->IsActive(mMusicChannel))
        {
            if (mFading && !name.empty())
            {
                // Asked for again while fading out towards another track: it stays.
                mFading = false;
                mNextMusic.clear();
                mAudio->SetVolume(mMusicChannel, mMusicVolume);
            }
            FollowPlaylist(name);
            return;
        }
        if (!name.empty())
        {
            // Restarting it also drops a change that was waiting for its fade.
            mFading = false;
            mNextMusic.clear();
            FollowPlaylist(name);
            mAudio->SetVolume(mMusicChannel, mMusicVolume);
            mAudio->Play(mMusicChannel, true);
            return;
        }
    }

    // 2. Another track while one plays: fade it out; the notification starts the new one.
    if (mMusicChannel)
    {
        if (mAudio->IsActive(mMusicChannel) && !name.empty())
        {
            mNextMusic = name;
            if (!mFading)
            {
                mFading = true;
                mAudio->SlideVolume(mMusicChannel, 0.0f, static_cast<u32>(kFadeSeconds * 1000.0f));
                if (!mFadeSyncSet)
                {
                    mFadeSyncSet = true;
                    mAudio->SetSync(mMusicChannel, audio::EventKind::SlideEnd,
                                    [this](audio::ChannelId c, audio::EventKind k) { OnMusicSync(c, k); });
                }
            }
            return;
        }
        // The name goes with the channel, so that asking for it again opens the file anew.
        FreeMusic();
        mCurrentMusic.clear();
    }

    // 3. "" stops.
    if (name.empty())
    {
        mCurrentMusic.clear();
        return;
    }

    // 4-7. Open and start.
    StartMusic(name);
}

bool SoundSystem::StartMusic(const std::string& name)
{
    std::wstring path = base::Utf8ToWide(name);
    std::unique_ptr<file::FileInfo> info(file::FileManager::Instance()->GetFileInfo(path));
    std::unique_ptr<base::Stream> stream(info ? info->Open() : nullptr);
    if (!stream)
    {
        QL_LOG(L"Music '%s' not found\n") << base::LogStyle::Error << path;
        return false;
    }
    std::string error;
    std::unique_ptr<audio::VorbisStream> decoder = audio::VorbisStream::Open(stream.get(), error);
    if (!decoder)
    {
        QL_LOG(L"Cannot play music '%s': %s\n") << base::LogStyle::Error << path << error;
        return false;
    }
    mMusicStream = std::move(stream);
    mMusicChannel = mAudio->CreateStream(std::move(decoder));
    mAudio->SetVolume(mMusicChannel, mMusicVolume);
    mAudio->Play(mMusicChannel, true);

    FollowPlaylist(name);
    mCurrentMusic = name;
    return true;
}

void SoundSystem::FollowPlaylist(const std::string& name)
{
    if (mPlaylist.empty() || !mMusicChannel)
        return;
    if (!mEndSyncSet)
    {
        mEndSyncSet = true;
        mAudio->SetSync(mMusicChannel, audio::EventKind::StreamEnd,
                        [this](audio::ChannelId c, audio::EventKind k) { OnMusicSync(c, k); });
    }
    auto it = std::find(mPlaylist.begin(), mPlaylist.end(), name);
    mNextMusic = (it == mPlaylist.end() || it + 1 == mPlaylist.end()) ? mPlaylist.front() : *(it + 1);
}

void SoundSystem::OnMusicSync(audio::ChannelId channel, audio::EventKind kind)
{
    // A notification of a channel that is no longer the music is stale.
    if (channel != mMusicChannel)
        return;
    // The playlist was dropped since the track began: it ends there.
    if (kind == audio::EventKind::StreamEnd && mPlaylist.empty() && !mFading)
        return;
    std::string next = mNextMusic;
    PlayFile("");
    PlayFile(next);
}

void SoundSystem::PlayMusic(const std::string& name)
{
    mPlaylist.clear();
    PlayFile(name);
}

void SoundSystem::SetPlaylist(const std::vector<std::string>& names)
{
    mPlaylist = names;
    if (!mPlaylist.empty())
        PlayFile(mPlaylist.front());
}

void SoundSystem::SetMusicVolume(float volume)
{
    mMusicVolume = volume;
    // A fading track keeps sliding to silence; the next one starts at the new volume.
    if (mMusicChannel && !mFading)
        mAudio->SetVolume(mMusicChannel, volume);
}

void SoundSystem::SetSoundVolume(float volume)
{
    mSoundVolume = volume;
    for (Sound* sound : mSounds)
        sound->SetVolume(volume);
}

void SoundSystem::Pause() { mAudio->Pause(); }
void SoundSystem::Resume() { mAudio->Start(); }
void SoundSystem::Update() { mAudio->Update(); }

void SoundSystem::AddSound(Sound* sound)
{
    if (sound && !mSounds.contains(sound))
        mSounds.push_back(sound);
}

void SoundSystem::RemoveSound(Sound* sound) { mSounds.remove(sound); }
