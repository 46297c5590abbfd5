// Sounds by tag name from the sound sheet, and music by file path.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Singletone.h"

#include <memory>
#include <string>
#include <vector>

class Sound;

namespace k2
{
// Where the player's volumes come from (the game's progress store); 1.0 without one.
class SoundVolumeSource
{
public:
    virtual ~SoundVolumeSource() = default;
    virtual float GetSoundVolume() = 0;
    virtual float GetMusicVolume() = 0;
};

struct SoundTagEntry
{
    SoundTagEntry() = default;
    ~SoundTagEntry();
    SoundTagEntry(const SoundTagEntry&) = delete;
    SoundTagEntry& operator=(const SoundTagEntry&) = delete;

    std::wstring tag;
    std::wstring file; // below "td/data/sound/"
    int group = 0;
    float level = 0.0f;
    std::unique_ptr<Sound> sound; // null when the file column is empty
};

class SoundTags : public base::Singletone<SoundTags>
{
public:
    SoundTags() = default;
    ~SoundTags() override;

    // (Re)reads the sheet through the file manager; a missing sheet gives no tags. Returns true.
    bool Load(std::wstring path);
    // Restarts the first entry of the tag that names a file, at the player's sound volume.
    // False for an unknown tag.
    bool Play(const std::wstring& tag);
    // Loops the track (a one-entry playlist) at the player's music volume.
    void PlayMusic(const std::wstring& name);

    // Not owned; null: both volumes 1.0.
    void SetVolumeSource(SoundVolumeSource* source) { mVolumes = source; }

    const base::OwnedList<SoundTagEntry>& GetEntries() const { return mEntries; }
    std::vector<base::SingletoneBase*> GetDependencies() override;

private:
    void Clear();

    base::OwnedList<SoundTagEntry> mEntries;
    SoundVolumeSource* mVolumes = nullptr;
};
} // namespace k2
