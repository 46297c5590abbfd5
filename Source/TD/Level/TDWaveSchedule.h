// The level's waves as its file gives them and the clock that starts them: what the path builder
// reads of the waves. The wave manager (Units) adds the live units and the frame step.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Source/TD/Level/TDWaveProto.h"

#include <vector>

class TDWaveSchedule
{
public:
    TDWaveSchedule() = default;
    virtual ~TDWaveSchedule() = default;
    TDWaveSchedule(const TDWaveSchedule&) = delete;
    TDWaveSchedule& operator=(const TDWaveSchedule&) = delete;

    // Waves of their own (not linked to another): the count the player sees.
    i32 countWaves() const;
    void skipTo(float t);
    // Over the active waves: the smallest timeout + min(0, smallest entry x) / 45; 1e7 with none.
    float firstSpawnTime() const;
    void startLinkedWaves();

    std::vector<TDWaveProto*> mActiveWaves; // not owned
    base::OwnedList<TDWaveProto> mWaves;    // file order
    i32 mNextIndex = 0;
    i32 mWavesDone = 0;
    float mOuterTimeout = 0.0f;
    float mClock = 0.0f;
};
