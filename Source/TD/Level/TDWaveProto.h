// One wave of a level: its timing, spawn point, award and entries.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Source/TD/Level/TDWaveEntry.h"

#include <vector>

namespace tinyxml2
{
class XMLElement;
}

class TDWaveHost;

class TDWaveProto
{
public:
    TDWaveProto() = default;
    ~TDWaveProto();
    TDWaveProto(const TDWaveProto&) = delete;
    TDWaveProto& operator=(const TDWaveProto&) = delete;

    // Reads the attributes and one entry per child element.
    void loadFromXML(const tinyxml2::XMLElement* element);
    // Every entry killed or through; also true without entries.
    bool isFinished() const;
    // Counts the wave's time; an active wave spawns the entries that are due.
    void update(TDWaveHost& map, float dt);
    void spawn(TDWaveHost& map);
    // Seconds after the wave's start at which the entry comes on.
    float entryTime(const TDWaveEntry& entry) const;

    float mElapsed = 0.0f;
    TDWaveState mState = kWaveWaiting;
    i32 mSpawn = 0; // point id; -1 the first spawn point
    i32 mTimeout = 0;
    i32 mWipeAward = 0;
    i32 mLinked = -1;
    float mScale = 1.0f;
    i32 mSpawned = 0;
    base::OwnedList<TDWaveEntry> mEntries;
};
