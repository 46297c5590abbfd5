// The dialogs' view of the game, over the root board's battle and the localised strings.
#include "Source/TD/Shell/TDGameSettings.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/GameWindow.h"

namespace
{
TDProgress* progressOf(const GameWindow& board)
{
    TDMap* map = board.getMap();
    return map ? map->mProgress.get() : nullptr;
}
} // namespace

float TDGameSettings::GetSoundVolume()
{
    TDProgress* progress = progressOf(mBoard);
    return progress ? progress->getSoundVolume() : 1.0f;
}

float TDGameSettings::GetMusicVolume()
{
    TDProgress* progress = progressOf(mBoard);
    return progress ? progress->getMusicVolume() : 1.0f;
}

void TDGameSettings::SetSoundVolume(float volume)
{
    if (TDProgress* progress = progressOf(mBoard))
        progress->setSoundVolume(volume);
}

void TDGameSettings::SetMusicVolume(float volume)
{
    if (TDProgress* progress = progressOf(mBoard))
        progress->setMusicVolume(volume);
}

void TDGameSettings::EnableDebugKeys() { mBoard.mDebugKeys = true; }

void TDGameSettings::OnMessageBoxResult(const std::wstring& command)
{
    if (TDMap* map = mBoard.getMap())
        map->onMessageBoxResult(command);
}

std::wstring TDGameSettings::GetText(const std::wstring& key) { return LocalStrings::Instance()->get(key); }
