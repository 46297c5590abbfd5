// The tag registry over the sound system.
#include "Core/Media/Sound/SoundTags.h"

#include "Core/Media/Sound/Sound.h"
#include "Core/Media/Sound/SoundSheet.h"
#include "Core/Media/Sound/SoundSystem.h"

#include "Core/Base/Constants.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/ReadFile.h"
#include "Core/Resource/ResourceManager.h"

#include <memory>
#include <utility>

namespace k2
{
// Out of line: the sound's destructor is not seen by the header.
SoundTagEntry::~SoundTagEntry() = default;

SoundTags::~SoundTags() { Clear(); }

std::vector<base::SingletoneBase*> SoundTags::GetDependencies()
{
    // Entries hold sounds: they go before the sound system and the samples' manager.
    return {SoundSystem::Instance(), resource::ResourceManager::Instance()};
}

void SoundTags::Clear() { mEntries.clear(); }

bool SoundTags::Load(std::wstring path)
{
    Clear();
    std::string text = file::ReadFile(path);
    for (SoundSheetRow& row : ParseSoundSheet(text))
    {
        auto entry = std::make_unique<SoundTagEntry>();
        entry->tag = base::Utf8ToWide(row.tag);
        entry->file = base::Utf8ToWide(row.file);
        entry->group = row.group;
        entry->level = row.level;
        if (!row.file.empty())
            entry->sound.reset(SoundSystem::Instance()->CreateSound(base::kSoundFolder + row.file));
        mEntries.push_back(std::move(entry));
    }
    return true;
}

bool SoundTags::Play(const std::wstring& tag)
{
    for (SoundTagEntry* entry : mEntries)
    {
        if (entry->tag != tag || entry->file.empty())
            continue;
        float volume = mVolumes ? mVolumes->GetSoundVolume() : 1.0f;
        if (entry->sound)
        {
            entry->sound->SetVolume(volume);
            entry->sound->Play();
        }
        return true;
    }
    return false;
}

void SoundTags::PlayMusic(const std::wstring& name)
{
    SoundSystem* system = SoundSystem::Instance();
    system->SetPlaylist({base::WideToUtf8(name)});
    system->SetMusicVolume(mVolumes ? mVolumes->GetMusicVolume() : 1.0f);
}
} // namespace k2
