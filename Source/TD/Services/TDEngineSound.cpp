// Sound tags and music through the engine's sound system.
#include "Source/TD/Services/TDEngineSound.h"

#include "Core/Base/StringConvert.h"
#include "Core/Media/Sound/SoundSystem.h"
#include "Source/TD/Data/TDProgress.h"

void TDEngineSoundTags::load(const std::wstring& sheet) { k2::SoundTags::Instance()->Load(sheet); }

void TDEngineSoundTags::play(const std::wstring& tag) { k2::SoundTags::Instance()->Play(tag); }

void TDEngineSoundTags::playMusic(const std::wstring& file)
{
    if (file.empty())
        SoundSystem::Instance()->PlayMusic("");
    else
        k2::SoundTags::Instance()->PlayMusic(file);
}

void TDEngineSoundTags::setVolumes(float music, float sound)
{
    SoundSystem* system = SoundSystem::Instance();
    system->SetMusicVolume(music);
    system->SetSoundVolume(sound);
}

float TDProgressVolumes::GetSoundVolume() { return mProgress.getSoundVolume(); }

float TDProgressVolumes::GetMusicVolume() { return mProgress.getMusicVolume(); }
