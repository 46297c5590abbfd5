// What the dialogs (options, message box) ask of the game: the volumes in the progress store,
// the developer keys, the confirmed command of a message box and the localised texts.
#pragma once

#include "Core/Widget/Controls/GameSettings.h"

class GameWindow;

class TDGameSettings : public gui::GameSettings
{
public:
    explicit TDGameSettings(GameWindow& board) : mBoard(board) {}

    float GetSoundVolume() override;
    float GetMusicVolume() override;
    void SetSoundVolume(float volume) override;
    void SetMusicVolume(float volume) override;
    void EnableDebugKeys() override;
    void OnMessageBoxResult(const std::wstring& command) override;
    std::wstring GetText(const std::wstring& key) override;

private:
    GameWindow& mBoard;
};
