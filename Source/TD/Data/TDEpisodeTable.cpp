// The episode table of "td/setup_sheet.csv".
#include "Source/TD/Data/TDEpisodeTable.h"

#include "Source/TD/Data/TDText.h"

#include <algorithm>
#include <limits>
#include <vector>

void TDEpisodeTable::readText(const std::string& text)
{
    for (const std::string& raw : tdtext::split(text, '\n', false, false))
    {
        std::vector<std::string> cells = tdtext::split(tdtext::removeBlanks(raw), ';', false, false);
        if (cells.size() != 5)
            continue;
        i32 episode = tdtext::leadingInt(cells[0]);
        if (episode == -1)
            continue;
        TDEpisodeInfo info;
        info.levelCount = tdtext::leadingInt(cells[1]);
        info.hardcoreLevelCount = tdtext::leadingInt(cells[2]);
        info.starsToUnlock = tdtext::leadingInt(cells[3]);
        mEpisodes[episode] = info;
    }
}

i32 TDEpisodeTable::getLevelCount(i32 episode) const
{
    auto found = mEpisodes.find(episode);
    return found == mEpisodes.end() ? -1 : found->second.levelCount;
}

i32 TDEpisodeTable::getHardcoreLevelCount(i32 episode) const
{
    auto found = mEpisodes.find(episode);
    return found == mEpisodes.end() ? -1 : found->second.hardcoreLevelCount;
}

i32 TDEpisodeTable::getStarsToUnlock(i32 episode) const
{
    auto found = mEpisodes.find(episode);
    return found == mEpisodes.end() ? -1 : found->second.starsToUnlock;
}

i32 TDEpisodeTable::getTotalLevelCount() const
{
    // Summed wide: a damaged sheet's counts may add up past the range of an i32, where the total
    // stops.
    i64 total = 0;
    for (i32 episode = 0;; ++episode)
    {
        auto found = mEpisodes.find(episode);
        if (found == mEpisodes.end())
            break;
        if (found->second.levelCount > 0)
            total += static_cast<i64>(found->second.levelCount) + found->second.hardcoreLevelCount;
    }
    return static_cast<i32>(std::clamp<i64>(total, std::numeric_limits<i32>::min(), std::numeric_limits<i32>::max()));
}
