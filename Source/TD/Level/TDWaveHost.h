// What a wave asks of the battle it runs in: the level's roads and points, a unit for an entry,
// and the tutorial's events. The battle controller is the host.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Level/TDRoadNetwork.h"

#include <string>

class TDPoint;
class TDUnit;
class TDWaveEntry;

class TDWaveHost
{
public:
    virtual ~TDWaveHost() = default;
    virtual TDRoadNetwork network() const = 0;
    virtual TDPoint* findPoint(i32 id) const = 0;
    // A unit for the entry at the spawn point; null when none can be made.
    virtual TDUnit* spawnUnit(TDWaveEntry* entry, const TDPoint* spawn) = 0;
    virtual void postEvent(const std::wstring& name) = 0;
};
