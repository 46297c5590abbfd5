// The episode table of "td/setup_sheet.csv": level counts and the stars that open each episode.
#pragma once

#include "Core/Base/Types.h"

#include <map>
#include <string>

struct TDEpisodeInfo
{
    i32 levelCount = 0;
    i32 hardcoreLevelCount = 0;
    i32 starsToUnlock = 0;
};

class TDEpisodeTable
{
public:
    // Lines of exactly five cells "episode;levels;hardcoreLevels;stars;unused"; blanks removed.
    // Entries from an earlier call survive unless a line replaces them.
    void readText(const std::string& text);

    i32 getEpisodeCount() const { return static_cast<i32>(mEpisodes.size()); }
    // -1 when the episode has no entry.
    i32 getLevelCount(i32 episode) const;
    i32 getHardcoreLevelCount(i32 episode) const;
    i32 getStarsToUnlock(i32 episode) const;
    // Normal + hardcore counts of episodes 0, 1, ... up to the first missing index; episodes
    // without normal levels are skipped.
    i32 getTotalLevelCount() const;

    const std::map<i32, TDEpisodeInfo>& episodes() const { return mEpisodes; }
    void set(i32 episode, const TDEpisodeInfo& info) { mEpisodes[episode] = info; }

private:
    std::map<i32, TDEpisodeInfo> mEpisodes;
};
