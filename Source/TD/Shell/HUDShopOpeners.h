// Openers of the upgrade shop (screen 8) and the unlock message (screen 11) on the HUD's stack.
#pragma once

#include "Core/Base/Types.h"

#include <vector>

class HUD;
class TDMap;

// Origin 0 from the menus ("back_ac"), 1 after a level ("return_ac"). Nothing opens without a
// battle controller.
void HUDShowShop(HUD& hud, TDMap* map, i32 origin);
// Stops the battle while the window is up; the HUD's appearance starts again.
void HUDShowUnlockMessage(HUD& hud, TDMap* map, const std::vector<i32>& ids);
