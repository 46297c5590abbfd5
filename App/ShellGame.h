// The game's application object as far as the engine's start-up reaches: configuration, the
// stored full-screen choice and the sound sheet; the screens come with Game.
#pragma once

#include "Framework/GameApplication.h"

class ShellGame : public framework::GameApplication
{
public:
    ShellGame();
    ~ShellGame() override;

    // Needs "play.url"; mounts "data.dat" under "td/"; caption; profiles; windowed or not.
    QLResultEnum LoadConfig() override;
    // The dialogs' show and hide effects (widget::DialogEffectsManager); a malformed element does
    // not stop the game.
    QLResultEnum LoadDialogEffects(tinyxml2::XMLElement* element) override;
    // Loads the sound sheet.
    QLResultEnum StartGame() override;
    // Hands queued audio notifications (track ends, finished fades) to the sound system.
    QLResultEnum OnFrame(float dt) override;
    // The whole audio output follows the window's activation.
    void OnPause() override;
    void OnResume() override;
    // Switches, then stores the new choice as "fs" in the current profile.
    QLResultEnum SwitchScreenMode() override;
};

// Writes "fs" v="1" or "0" into the current profile and saves the profiles.
QLResultEnum WriteFullScreen(bool fullScreen);
