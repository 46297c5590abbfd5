// One wave of a level.
#include "Source/TD/Level/TDWaveProto.h"

#include "Core/Base/Log.h"
#include "Core/Base/OwnedList.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Level/TDWaveHost.h"

#include <tinyxml2.h>

TDWaveProto::~TDWaveProto() = default;

void TDWaveProto::loadFromXML(const tinyxml2::XMLElement* element)
{
    if (!element)
        return;
    element->QueryIntAttribute("timeout", &mTimeout);
    element->QueryIntAttribute("spawn", &mSpawn);
    element->QueryIntAttribute("wipeAward", &mWipeAward);
    element->QueryFloatAttribute("scale", &mScale);
    QL_LOG(L"LOADED ENEMY WAVE=(timeout=%d, spawner=%d)\n") << mTimeout << mSpawn;
    if (mScale == 0.0f)
        mScale = 1.0f;
    // A "linked" that is present but no integer reads 0.
    if (const char* linked = element->Attribute("linked"))
        mLinked = tdtext::leadingInt(linked);
    for (const tinyxml2::XMLElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        mEntries.push_back(std::make_unique<TDWaveEntry>(child, this));
    mSpawned = 0;
}

bool TDWaveProto::isFinished() const
{
    for (const TDWaveEntry* entry : mEntries)
        if (entry->mState != kEntryKilled && entry->mState != kEntryThrough)
            return false;
    return true;
}

float TDWaveProto::entryTime(const TDWaveEntry& entry) const
{
    return mScale * (entry.mX / 45.0f) + static_cast<float>(mTimeout);
}

void TDWaveProto::update(TDWaveHost& map, float dt)
{
    mElapsed += dt;
    if (mState == kWaveActive)
        spawn(map);
}

void TDWaveProto::spawn(TDWaveHost& map)
{
    if (mElapsed < 1.0f)
        map.postEvent(L"wave_1_spawned_0");
    // By index: a spawned carrier or summoner never appends during this walk, but stay safe.
    for (size_t i = 0; i < mEntries.size(); ++i)
    {
        TDWaveEntry* entry = mEntries[i];
        if (entry->mSpawnedFlag != 0 || !(mElapsed >= entryTime(*entry)))
            continue;
        entry->mSpawnedFlag = 1;
        const TDPoint* point = mSpawn == -1 ? map.network().getSpawnPoint() : map.findPoint(mSpawn);
        TDUnit* unit = nullptr;
        if (!point)
            QL_LOG(L"Wave spawn point %d does not exist; entry of unit %d skipped\n")
                << base::LogStyle::Error << mSpawn << entry->mId;
        else
            unit = map.spawnUnit(entry, point);
        if (!unit)
        {
            // Counted as done so the wave can still finish; no award and no drop.
            entry->mState = kEntryKilled;
            continue;
        }
        entry->mState = kEntrySpawned;
        ++mSpawned;
        if (mSpawned == 2)
            map.postEvent(L"wave_1_spawned_2");
        else if (mSpawned == 9)
            map.postEvent(L"wave_1_spawned_10");
    }
}
