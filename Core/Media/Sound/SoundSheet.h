// The sound sheet: "tag;file;level;group" rows binding sound tags to sample files.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <vector>

namespace k2
{
struct SoundSheetRow
{
    std::string tag;  // UTF-8
    std::string file; // UTF-8, below "td/data/sound/"; the extension may be left out
    float level = 0.0f;
    i32 group = 0;
};

// Lines end at LF (a CR before it is dropped); every space is removed; columns are split at ";";
// rows whose tag begins with "#" are comments and blank rows are skipped. A missing level or
// group column reads as 0. A leading UTF-8 byte-order mark is skipped.
std::vector<SoundSheetRow> ParseSoundSheet(const std::string& text);
} // namespace k2
