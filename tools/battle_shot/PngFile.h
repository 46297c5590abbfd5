// Writes 0xAARRGGBB pixels (top row first) as an RGBA PNG file.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <vector>

bool writePng(const std::string& path, u32 width, u32 height, const std::vector<u32>& pixels);
