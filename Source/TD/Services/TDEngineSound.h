// The battle's sound tags over the engine's sound tags, and the player's volumes from the
// progress store.
#pragma once

#include "Core/Media/Sound/SoundTags.h"
#include "Source/TD/Seams/TDBattleServices.h"

class TDProgress;

class TDEngineSoundTags : public TDSoundTags
{
public:
    void load(const std::wstring& sheet) override;
    void play(const std::wstring& tag) override;
    // An empty name stops the music (the level result's sound plays alone).
    void playMusic(const std::wstring& file) override;
    void setVolumes(float music, float sound) override;
};

class TDProgressVolumes : public k2::SoundVolumeSource
{
public:
    explicit TDProgressVolumes(TDProgress& progress) : mProgress(progress) {}
    float GetSoundVolume() override;
    float GetMusicVolume() override;

private:
    TDProgress& mProgress;
};
