// The screen flow: what a release does on the menus, the shop, the profiles and the modal
// message, over the battle's state (screen number, mode, episode, level, the progress store)
// and through the HUD's openers. The battle hands these screens' releases here.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Seams/TDBattleServices.h"

class TDMap;

class TDScreenCommands : public TDScreenFlow
{
public:
    explicit TDScreenCommands(TDMap& map) : mMap(map) {}

    // Runs the handler of the open screen.
    bool onRelease(i32 x, i32 y) override;

private:
    // Each returns true when the HUD hears of the release afterwards.
    // Menus and the shop (TDMenuCommands.cpp):
    bool onMainMenuRelease(i32 x, i32 y);
    bool onEpisodesRelease(i32 x, i32 y);
    bool onLevelsRelease(i32 x, i32 y);
    bool onShopRelease(i32 x, i32 y);
    bool onResetUpgradesRelease(i32 x, i32 y);
    // Profiles and messages (TDProfileCommands.cpp):
    bool onProfilesRelease(i32 x, i32 y);
    bool onProfileCreateRelease(i32 x, i32 y);
    bool onProfileRenameRelease(i32 x, i32 y);
    bool onMessageRelease(i32 x, i32 y);

    TDMap& mMap;
};
