// The level's waves.
#include "Source/TD/TDWaveManager.h"

#include "Source/TD/TDOwnedList.h"

#include <tinyxml2.h>

#include <cmath>

TDWaveManager::~TDWaveManager() { clear(); }

void TDWaveManager::clear()
{
    mActiveWaves.clear();
    tdDeleteAll(mWaves);
    mNextIndex = 0;
    mWavesDone = 0;
    mClock = 0.0f;
}

void TDWaveManager::loadWaves(const tinyxml2::XMLElement* element)
{
    clear();
    mOuterTimeout = 0.0f;
    if (!element)
        return;
    element->QueryFloatAttribute("timeout", &mOuterTimeout);
    float outer = std::floor(mOuterTimeout);
    i32 extra = std::isfinite(outer) && std::fabs(outer) < 1e9f ? static_cast<i32>(outer) : 0;
    for (const tinyxml2::XMLElement* child = element->FirstChildElement("wave"); child;
         child = child->NextSiblingElement("wave"))
    {
        TDWaveProto* wave = new TDWaveProto();
        wave->loadFromXML(child);
        long long timeout = static_cast<long long>(wave->mTimeout) + extra;
        wave->mTimeout = static_cast<i32>(timeout > 2147483647LL ? 2147483647LL
                                          : timeout < -2147483647LL ? -2147483647LL
                                                                    : timeout);
        if (wave->mEntries.empty())
            delete wave;
        else
            mWaves.push_back(wave);
    }
}

i32 TDWaveManager::countWaves() const
{
    i32 count = 0;
    for (const TDWaveProto* wave : mWaves)
        if (wave->mLinked == -1)
            ++count;
    return count;
}
