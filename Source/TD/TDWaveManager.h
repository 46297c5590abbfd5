// The level's waves, read from the level file; the battle rules drive them.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/TDWaveProto.h"

#include <vector>

namespace tinyxml2
{
class XMLElement;
}

class TDWaveManager
{
public:
    TDWaveManager() = default;
    ~TDWaveManager();
    TDWaveManager(const TDWaveManager&) = delete;
    TDWaveManager& operator=(const TDWaveManager&) = delete;

    // Empties the waves, reads the outer "timeout" and every "wave" child; waves without
    // entries are discarded. A null element leaves no waves.
    void loadWaves(const tinyxml2::XMLElement* element);
    void clear();
    // Waves of their own (not linked to another): the count the player sees.
    i32 countWaves() const;

    std::vector<TDWaveProto*> mActiveWaves; // not owned
    std::vector<TDWaveProto*> mWaves;       // owned, file order
    i32 mNextIndex = 0;
    i32 mWavesDone = 0;
    float mOuterTimeout = 0.0f;
    float mClock = 0.0f;
};
