// The screen flow's dispatch by the open screen.
#include "Source/TD/Shell/TDScreenCommands.h"

#include "Source/TD/Battle/TDMap.h"

bool TDScreenCommands::onRelease(i32 x, i32 y)
{
    switch (mMap.mScreen)
    {
    case kScreenEpisodes: return onEpisodesRelease(x, y);
    case kScreenLevels: return onLevelsRelease(x, y);
    case kScreenMainMenu: return onMainMenuRelease(x, y);
    case kScreenShop: return onShopRelease(x, y);
    case kScreenProfiles: return onProfilesRelease(x, y);
    case kScreenProfileCreate: return onProfileCreateRelease(x, y);
    case kScreenProfileRename: return onProfileRenameRelease(x, y);
    case kScreenMessage: return onMessageRelease(x, y);
    case kScreenResetUpgrades: return onResetUpgradesRelease(x, y);
    default: return true;
    }
}
