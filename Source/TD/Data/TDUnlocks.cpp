// Which ids each level makes available.
#include "Source/TD/Data/TDUnlocks.h"

#include "Source/TD/Data/TDDifficulty.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDText.h"

#include <algorithm>
#include <iterator>

void TDUnlocks::readText(const std::string& text)
{
    std::vector<i32> running;
    for (const std::string& raw : tdtext::split(text, '\n', true, false))
    {
        std::vector<std::string> cells = tdtext::split(tdtext::removeBlanks(raw), ';', false, false);
        // A line without its level cell (a stray "\r" of a CRLF file) is no entry.
        if (cells.size() < 2)
            continue;
        i32 episode = tdtext::leadingInt(cells[0]);
        i32 level = tdtext::leadingInt(cells[1]);
        std::vector<i32> own;
        if (cells.size() >= 3)
        {
            for (const std::string& piece : tdtext::split(cells[2], ',', false, false))
            {
                std::string id = piece;
                tdtext::dropTrailingCr(id);
                if (id.empty())
                    continue;
                i32 value = tdtext::leadingInt(id);
                own.push_back(value);
                running.push_back(value);
            }
        }
        unlocked[episode][level] = running;
        newUnlocks[episode][level] = own;
    }
}

void TDUnlocks::load() { readText(TDFileSource::current().readFile(L"td/unlocks.csv")); }

const std::vector<i32>* TDUnlocks::unlockedAt(i32 episode, i32 level) const
{
    // The exact line, else the nearest line before it: earlier levels of the episode, then the
    // last line of an earlier episode.
    for (auto ep = unlocked.upper_bound(episode); ep != unlocked.begin();)
    {
        --ep;
        const auto& levels = ep->second;
        auto it = ep->first == episode ? levels.upper_bound(level) : levels.end();
        if (it != levels.begin())
            return &std::prev(it)->second;
    }
    return nullptr;
}

bool TDUnlocks::isUnlocked(i32 id, i32 episode, i32 level) const
{
    const std::vector<i32>* list = unlockedAt(episode, level);
    if (!list)
        return false;
    return std::find(list->begin(), list->end(), id) != list->end() ||
           std::find(list->begin(), list->end(), -1) != list->end();
}

void TDUnlocks::getNewUnlocks(i32 episode, i32 level, TDDifficulty mode, std::vector<i32>& out) const
{
    if (mode == kDifficultyHardcore)
    {
        if (episode == 0 && level == 0)
            out.insert(out.end(), {36, 37, 38});
        return;
    }
    out.clear();
    auto ep = newUnlocks.find(episode);
    if (ep == newUnlocks.end())
        return;
    auto lv = ep->second.find(level);
    if (lv != ep->second.end())
        out = lv->second;
}
