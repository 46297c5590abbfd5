// The level's waves, read from the level file; the battle rules drive them.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Source/TD/Level/TDWaveProto.h"

#include <vector>

namespace tinyxml2
{
class XMLElement;
}

class TDMap;
class TDPoint;
class TDUnit;

class TDWaveManager
{
public:
    TDWaveManager();
    ~TDWaveManager();
    TDWaveManager(const TDWaveManager&) = delete;
    TDWaveManager& operator=(const TDWaveManager&) = delete;

    // Empties the waves, reads the outer "timeout" and every "wave" child; waves without
    // entries are discarded. A null element leaves no waves.
    void loadWaves(const tinyxml2::XMLElement* element);
    // Deletes the units and the waves.
    void clear();
    void clearUnits();
    // Waves of their own (not linked to another): the count the player sees.
    i32 countWaves() const;

    // The frame step after the units and bullets: removes dead units (wipe awards, gem drops),
    // starts the next wave with its linked waves, or declares victory.
    void advance(TDMap& map, float dt);
    // A unit for the entry whose route starts at point; owned by this list.
    TDUnit* spawnUnit(TDMap& map, TDWaveEntry* entry, const TDPoint* point);
    void updateUnitModifiers(float dt);
    void skipTo(float t);
    // Back to the loaded state; entries added during the battle are dropped.
    void reset();
    // Over the active waves: the smallest timeout + min(0, smallest entry x) / 45; 1e7 with none.
    float firstSpawnTime() const;
    // Live units whose drawn position lies within diameter / 2 of (x, y), in list order.
    void unitsInRadius(float x, float y, float diameter, std::vector<TDUnit*>& out) const;
    void startLinkedWaves();

    std::vector<TDWaveProto*> mActiveWaves; // not owned
    base::OwnedList<TDWaveProto> mWaves;    // file order
    base::OwnedList<TDUnit> mUnits;         // the live units
    i32 mNextIndex = 0;
    i32 mWavesDone = 0;
    float mOuterTimeout = 0.0f;
    float mClock = 0.0f;
};
