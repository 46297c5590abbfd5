// Game data through the engine's file manager: the pack "data.dat" under "td/", else loose files.
#pragma once

#include "Source/TD/Data/TDFileSource.h"

class TDFileManagerSource : public TDFileSource
{
public:
    std::string readFile(const std::wstring& path) override;
};
