// The waves' count, clock and start of the linked waves.
#include "Source/TD/Level/TDWaveSchedule.h"

#include <algorithm>

i32 TDWaveSchedule::countWaves() const
{
    i32 count = 0;
    for (const TDWaveProto* wave : mWaves)
        if (wave->mLinked == -1)
            ++count;
    return count;
}

void TDWaveSchedule::skipTo(float t)
{
    mClock = t;
    for (TDWaveProto* wave : mActiveWaves)
        wave->mElapsed = t;
}

float TDWaveSchedule::firstSpawnTime() const
{
    float best = 1.0e7f;
    for (const TDWaveProto* wave : mActiveWaves)
    {
        float smallest = 0.0f;
        for (const TDWaveEntry* entry : wave->mEntries)
            smallest = std::min(smallest, entry->mX);
        best = std::min(best, static_cast<float>(wave->mTimeout) + smallest / 45.0f);
    }
    return best;
}

void TDWaveSchedule::startLinkedWaves()
{
    for (TDWaveProto* wave : mWaves)
        if (wave->mLinked == mNextIndex && wave->mState == kWaveWaiting)
        {
            wave->mState = kWaveActive;
            mActiveWaves.push_back(wave);
        }
}
