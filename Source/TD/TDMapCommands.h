// Where the shop's "back_ac" leads: "mmenu", "levels", "episodes", or "game" (nowhere: a shop
// opened after a level is left with "return_ac"). Empty at start; the shop's openers set it.
#pragma once

#include <string>

extern std::wstring gShopReturnTarget;
