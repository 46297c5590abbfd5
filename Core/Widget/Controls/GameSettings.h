// What the controls need of the game: the player's volumes in the progress store, the
// developer keys of the battle, the answer of a confirmation box and the localised texts. The game installs
// it.
#pragma once

#include "Core/Base/Types.h"

#include <string>

namespace gui
{
class GameSettings
{
public:
    virtual ~GameSettings() = default;

    // 1.0 when nothing is stored.
    virtual float GetSoundVolume() = 0;
    virtual float GetMusicVolume() = 0;
    // Stored and saved at once.
    virtual void SetSoundVolume(float volume) = 0;
    virtual void SetMusicVolume(float volume) = 0;
    virtual void EnableDebugKeys() = 0;
    // The confirmed command of a message box.
    virtual void OnMessageBoxResult(const std::wstring& command) = 0;
    // The localised text of a key.
    virtual std::wstring GetText(const std::wstring& key) = 0;

    // The installed settings (not owned), or null while no game runs.
    static GameSettings* Get();
    static void Set(GameSettings* settings);
};

// The localised text of a key; the key itself while no game runs.
std::wstring Localize(const std::wstring& key);
} // namespace gui
