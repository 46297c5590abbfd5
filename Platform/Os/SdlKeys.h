// SDL key symbols to the virtual-key numbers of the engine's key tables.
#pragma once

#include "Platform/Base/Types.h"

#include <SDL2/SDL_keycode.h>

namespace os
{
// 0 for keys the tables do not know. For shift, control and Alt the generic key (16, 17, 18)
// is returned and sideKey receives the left or right one (160-165); otherwise sideKey is 0.
u32 VirtualKeyFromSdl(SDL_Keycode sym, u32& sideKey);
} // namespace os
