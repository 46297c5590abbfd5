// One entry of a wave: which unit comes on, when, and on which side offset.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Level/TDWaveState.h"

#include <string>

namespace tinyxml2
{
class XMLElement;
}

class TDWaveProto;

class TDWaveEntry
{
public:
    TDWaveEntry() = default;
    TDWaveEntry(const tinyxml2::XMLElement* element, TDWaveProto* wave);

    // Side offset of the entry's path: every 65 units of "y" move 20 units sideways; -65 is the centre.
    i32 sideOffset() const;

    TDWaveEntryState mState = kEntryNotSpawned;
    i32 mId = 0;
    std::string mName;
    i32 mUpgrade = 0;
    float mX = 0.0f; // time in 1/45 s; -1 marks an entry added during the battle
    float mY = 0.0f;
    i32 mSpawnedFlag = 0;
    u8 mFlag = 0;
    i32 mExtraHealth = 0;
    TDWaveProto* mWave = nullptr;
};

// d = trunc(((-y) - 65) / 65 * 20), in single precision.
i32 tdSideOffset(float y);
