// The owner of the audio output: sample sounds, one streamed music track with a one-second
// fade-out on change, an optional looping playlist, and the music and sound volumes.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Singletone.h"
#include "Core/Media/Sound/AudioIds.h"
#include "Core/Media/Sound/SoundListener.h"

#include <memory>
#include <string>
#include <vector>

namespace base
{
class Stream;
}

class SoundSystem : public base::Singletone<SoundSystem>, public SoundListener
{
public:
    SoundSystem();
    ~SoundSystem() override;

    // A new sound (owned by the caller) of the sample resource named by the UTF-8 name. A sample
    // that does not load still gives a sound, one that plays nothing.
    Sound* CreateSound(const std::string& name);

    // The music change: the same track again changes nothing while it plays and restarts it
    // when it has stopped; another track fades the current one out over one second and starts
    // when the fade ends; "" stops the music at once.
    void PlayFile(const std::string& name);
    // Empties the playlist, then PlayFile: the track plays once.
    void PlayMusic(const std::string& name);
    // Each track is followed by the next, the last by the first; one entry loops.
    void SetPlaylist(const std::vector<std::string>& names);

    void SetMusicVolume(float volume);
    void SetSoundVolume(float volume);
    float GetMusicVolume() const { return mMusicVolume; }
    float GetSoundVolume() const { return mSoundVolume; }

    // The whole output.
    void Pause();
    void Resume();

    // Main thread, once a frame: delivers the end-of-fade and end-of-track notifications.
    void Update();

    // Registered sounds are owned here and get the sound volume.
    void AddSound(Sound* sound);
    void RemoveSound(Sound* sound) override;

    std::vector<base::SingletoneBase*> GetDependencies() override;

    audio::AudioEngine& GetAudio() { return *mAudio; }
    const std::string& GetCurrentMusic() const { return mCurrentMusic; }
    const std::string& GetNextMusic() const { return mNextMusic; }
    audio::ChannelId GetMusicChannel() const { return mMusicChannel; }
    bool IsFading() const { return mFading; }

private:
    void OnMusicSync(audio::ChannelId channel, audio::EventKind kind);
    void FreeMusic();
    bool StartMusic(const std::string& name);
    // With a playlist: the end-of-track notification (once per channel) and the next name.
    void FollowPlaylist(const std::string& name);

    std::vector<std::string> mPlaylist;
    std::string mCurrentMusic;
    std::string mNextMusic;
    audio::ChannelId mMusicChannel = 0;
    std::unique_ptr<base::Stream> mMusicStream;
    float mMusicVolume = 1.0f;
    float mSoundVolume = 1.0f;
    base::OwnedList<Sound> mSounds;

    bool mFading = false;
    bool mFadeSyncSet = false; // one slide notification per channel: one fade, one change
    bool mEndSyncSet = false;
    std::unique_ptr<audio::AudioEngine> mAudio;
};
