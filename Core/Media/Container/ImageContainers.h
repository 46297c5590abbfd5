// Hooks the folder and PSD image containers into the file manager's OpenImageContainer.
#pragma once

namespace file
{
// Registers the makers of PsdFolder and PsdFile; call once at start-up (repeating is harmless).
void RegisterImageContainers();
} // namespace file
