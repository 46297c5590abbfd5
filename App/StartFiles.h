// The files the game cannot start without, and what to tell the player when some cannot be read.
#pragma once

#include <string>
#include <vector>

// The sheets and the first screens' layouts (a layout by its folder's "layers.xml" or its PSD).
const std::vector<std::wstring>& StartFiles();

// Empty when every start file can be read; otherwise the text for the player: which of them
// cannot be read, and why when a pack serves them (the data folder is the working folder).
std::wstring CheckStartFiles();
