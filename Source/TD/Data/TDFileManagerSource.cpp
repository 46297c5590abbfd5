// Game data through the engine's file manager.
#include "Source/TD/Data/TDFileManagerSource.h"

#include "Core/File/ReadFile.h"

std::string TDFileManagerSource::readFile(const std::wstring& path) { return file::ReadFile(path); }
