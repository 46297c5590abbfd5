// Keeps the loaded OpenGL driver in memory until exit in sanitized builds.
#pragma once

namespace gpu
{
// Under AddressSanitizer, marks every loaded Mesa DRI driver as never unloaded, so the blocks its
// statics hold stay reachable at the leak check that runs after the display is closed. Unloaded,
// they lose their only reference and their frames lose their module, so no suppression can name
// them. Does nothing in other builds.
void PinGlDriverForLeakCheck();
} // namespace gpu
