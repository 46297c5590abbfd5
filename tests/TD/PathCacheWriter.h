// Test helper: writes path caches in the game's format (little-endian, no header).
#pragma once

#include "Source/TD/TDPathSet.h"

#include <cstring>
#include <string>
#include <vector>

namespace tdtest
{
inline void putU32(std::string& out, u32 v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

inline void putF32(std::string& out, float f)
{
    u32 v;
    std::memcpy(&v, &f, 4);
    putU32(out, v);
}

// Serialises a path set against the level's link list (records name links by index).
inline std::string writeCache(const TDPathSet& set, const std::vector<TDLink*>& links)
{
    std::string out;
    putU32(out, static_cast<u32>(set.records().size()));
    for (const TDPathRecord* record : set.records())
    {
        u32 index = 0;
        while (index < links.size() && links[index] != record->link)
            ++index;
        putU32(out, index);
        putU32(out, static_cast<u32>(record->lengths.size()));
        for (auto& [offset, length] : record->lengths)
        {
            putU32(out, static_cast<u32>(offset));
            putF32(out, length);
        }
        putU32(out, static_cast<u32>(record->points.size()));
        for (auto& [offset, line] : record->points)
        {
            putU32(out, static_cast<u32>(offset));
            putU32(out, static_cast<u32>(line.size()));
            for (const TDPathPoint* p : line)
            {
                putU32(out, p->extra);
                putF32(out, p->normalX);
                putF32(out, p->normalY);
                putF32(out, p->x);
                putF32(out, p->y);
            }
        }
    }
    return out;
}
} // namespace tdtest
