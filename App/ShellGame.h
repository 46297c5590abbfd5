// The game's application object as far as the engine's start-up reaches: configuration, the
// stored full-screen choice, and a start that opens no screen yet.
#pragma once

#include "Framework/GameApplication.h"

class ShellGame : public framework::GameApplication
{
public:
    ShellGame();
    ~ShellGame() override;

    // Needs "play.url"; mounts "data.dat" under "td/"; caption; profiles; windowed or not.
    QLResultEnum LoadConfig() override;
    QLResultEnum StartGame() override;
    QLResultEnum OnFrame(float dt) override { return QL_OK; }
    // Switches, then stores the new choice as "fs" in the current profile.
    QLResultEnum SwitchScreenMode() override;
};

// Full screen as stored in the current profile ("fs", attribute "v"); windowed when absent.
bool ReadFullScreen();
// Writes "fs" v="1" or "0" into the current profile and saves the profiles.
QLResultEnum WriteFullScreen(bool fullScreen);
