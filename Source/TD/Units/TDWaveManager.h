// The level's waves, read from the level file, and the live units they bring on; the battle rules
// drive them.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Source/TD/Level/TDWaveSchedule.h"

#include <vector>

namespace tinyxml2
{
class XMLElement;
}

class TDBattleWorld;
class TDPoint;
class TDUnit;

class TDWaveManager : public TDWaveSchedule
{
public:
    TDWaveManager();
    ~TDWaveManager() override;
    TDWaveManager(const TDWaveManager&) = delete;
    TDWaveManager& operator=(const TDWaveManager&) = delete;

    // Empties the waves, reads the outer "timeout" and every "wave" child; waves without
    // entries are discarded. A null element leaves no waves.
    void loadWaves(const tinyxml2::XMLElement* element);
    // Deletes the units and the waves.
    void clear();
    void clearUnits();

    // The frame step after the units and bullets: removes dead units (wipe awards, gem drops),
    // starts the next wave with its linked waves, or declares victory.
    void advance(TDBattleWorld& map, float dt);
    // A unit for the entry whose route starts at point; owned by this list.
    TDUnit* spawnUnit(TDBattleWorld& map, TDWaveEntry* entry, const TDPoint* point);
    void updateUnitModifiers(float dt);
    // Back to the loaded state; entries added during the battle are dropped.
    void reset();
    // Live units whose drawn position lies within diameter / 2 of (x, y), in list order.
    void unitsInRadius(float x, float y, float diameter, std::vector<TDUnit*>& out) const;

    base::OwnedList<TDUnit> mUnits; // the live units
};
