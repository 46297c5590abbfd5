// The picture the desktop shows for the game's window, read from a file of the data folder.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <vector>

namespace framework
{
// The window's icon, loose in the data folder (drawn by the content build from the game's art).
inline const wchar_t kWindowIconPath[] = L"data/icon.png";

struct WindowIcon
{
    int width = 0;
    int height = 0;
    std::vector<u32> pixels; // 0xAARRGGBB, top row first
};

// Decodes the picture through the file manager and the engine's decoders; false with the reason
// in `why` when the file is missing or is no picture the game can read.
bool ReadWindowIcon(const std::wstring& path, WindowIcon& out, std::string& why);
} // namespace framework
