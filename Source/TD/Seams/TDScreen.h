// The screens that can be open over the battle (TDMap::mScreen); the numbers are the ones logged.
// Among the seams because the HUD's message window carries the screen it returns to.
#pragma once

#include "Core/Base/Types.h"

enum class TDScreen : i32
{
    kScreenNone = -1,      // nothing opened yet
    kScreenBattle = 0,     // the battle itself: its rules run only here
    kScreenWon = 1,        // level result after a victory
    kScreenLost = 2,       // level result after a defeat
    kScreenLoading = 3,    // a level is loading
    kScreenIngameMenu = 4, // the paused battle's menu
    kScreenEpisodes = 5,   // episode selection
    kScreenLevels = 6,     // level selection
    kScreenMainMenu = 7,
    kScreenShop = 8,
    kScreenUnlockMessage = 11, // new towers or spells before a level
    kScreenSplash = 12,        // the splash screens
    kScreenProfiles = 13,
    kScreenProfileCreate = 14, // the name input of a new profile
    kScreenProfileRename = 15, // the name input renaming the current profile
    kScreenMessage = 16,       // a modal message; its "ok" restores mMessageReturnScreen
    kScreenResetUpgrades = 26, // the shop's reset confirmation
    kScreenVideoIntro = 121,
};
using enum TDScreen;
