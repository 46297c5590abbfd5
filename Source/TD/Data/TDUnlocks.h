// Which tower, unit and spell ids each level makes available ("td/unlocks.csv").
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Data/TDDifficulty.h"

#include <map>
#include <string>
#include <vector>

class TDUnlocks
{
public:
    using Table = std::map<i32, std::map<i32, std::vector<i32>>>;

    TDUnlocks() = default;
    // Lines "episode;level;id,id,..." in order of progress; -1 stands for every id.
    void readText(const std::string& text);
    // Reads "td/unlocks.csv" through the current file source.
    void load();

    // The running list of (episode, level) holds id or -1. A level without a line of its own uses
    // the nearest earlier line, so a gap in the sheet never empties the build menu.
    bool isUnlocked(i32 id, i32 episode, i32 level) const;
    // The ids new at (episode, level); in hardcore mode only the hardcore start adds 36, 37, 38.
    void getNewUnlocks(i32 episode, i32 level, TDDifficulty mode, std::vector<i32>& out) const;
    const std::vector<i32>* unlockedAt(i32 episode, i32 level) const;

    Table unlocked;
    Table newUnlocks;
};
