// The level's waves.
#include "Source/TD/Units/TDWaveManager.h"

#include "Core/Base/OwnedList.h"
#include "Core/Base/Random.h"
#include "Source/TD/Units/TDBattleWorld.h"
#include "Source/TD/Units/TDDrops.h"
#include "Source/TD/Units/TDModifier.h"
#include "Source/TD/Units/TDUnit.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>

TDWaveManager::TDWaveManager() = default;

TDWaveManager::~TDWaveManager() { clear(); }

void TDWaveManager::clearUnits() { mUnits.clear(); }

void TDWaveManager::clear()
{
    clearUnits();
    mActiveWaves.clear();
    mWaves.clear();
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
        auto wave = std::make_unique<TDWaveProto>();
        wave->loadFromXML(child);
        long long timeout = static_cast<long long>(wave->mTimeout) + extra;
        wave->mTimeout = static_cast<i32>(timeout > 2147483647LL    ? 2147483647LL
                                          : timeout < -2147483647LL ? -2147483647LL
                                                                    : timeout);
        if (!wave->mEntries.empty())
            mWaves.push_back(std::move(wave));
    }
}

TDUnit* TDWaveManager::spawnUnit(TDBattleWorld& map, TDWaveEntry* entry, const TDPoint* point)
{
    auto spawned = std::make_unique<TDUnit>(map, entry);
    TDUnit* unit = spawned.get();
    unit->mPath = point;
    entry->mSpawnedFlag = 1;
    mUnits.push_back(std::move(spawned));
    return unit;
}

void TDWaveManager::updateUnitModifiers(float dt)
{
    for (size_t i = 0; i < mUnits.size(); ++i)
    {
        TDUnit* unit = mUnits[i];
        for (size_t k = 0; k < unit->mModifiers.size(); ++k)
            unit->mModifiers[k]->update(unit, dt);
    }
}

void TDWaveManager::reset()
{
    clearUnits();
    mActiveWaves.clear();
    mWavesDone = 0;
    mNextIndex = 0;
    mClock = 0.0f;
    for (TDWaveProto* wave : mWaves)
    {
        wave->mState = kWaveWaiting;
        wave->mElapsed = 0.0f;
        wave->mSpawned = 0;
        for (size_t i = 0; i < wave->mEntries.size();)
        {
            TDWaveEntry* entry = wave->mEntries[i];
            if (entry->mX == -1.0f)
            {
                wave->mEntries.eraseAt(i);
                continue;
            }
            entry->mSpawnedFlag = 0;
            entry->mState = kEntryNotSpawned;
            ++i;
        }
    }
}

void TDWaveManager::unitsInRadius(float x, float y, float diameter, std::vector<TDUnit*>& out) const
{
    out.clear();
    float r = diameter * 0.5f;
    for (TDUnit* unit : mUnits)
        if (unit->mAlive && tdDistance(x, y, unit->mDrawPos[0], unit->mDrawPos[1]) <= r)
            out.push_back(unit);
}

void TDWaveManager::advance(TDBattleWorld& map, float dt)
{
    mClock += dt;
    if (!map.mNextWave.buttons.empty() && !(map.mNextWave.firstSpawnTime > mClock))
        map.mNextWave.clear();

    for (size_t i = 0; i < mUnits.size();)
    {
        TDUnit* unit = mUnits[i];
        if (unit->mAlive)
        {
            ++i;
            continue;
        }
        TDWaveEntry* entry = unit->mEntry;
        entry->mState = kEntryRemoving;
        if (!unit->mGotThrough)
        {
            entry->mState = kEntryKilled;
            TDWaveProto* wave = entry->mWave;
            bool wiped = wave != nullptr;
            if (wave)
                for (const TDWaveEntry* other : wave->mEntries)
                    if (other->mState != kEntryKilled)
                        wiped = false;
            if (wiped)
                map.mStats.addCoins(wave->mWipeAward);
            const TDPrototype* kind = unit->proto();
            float chance = kind ? static_cast<float>(kind->dropChance) / 100.0f : 0.0f;
            if (map.mDropChanceOverride == 1.0f)
                chance = 2.0f;
            if (!(math::Random() > chance))
            {
                map.mDrops.push_back(std::make_unique<TDCrystallSpecial>(map, *unit));
                map.postEvent(L"gem_dropped");
            }
        }
        else
            entry->mState = kEntryThrough;
        map.forgetUnit(unit);
        mUnits.eraseAt(i);
    }

    if (mActiveWaves.empty())
    {
        i32 count = static_cast<i32>(mWaves.size());
        if (mNextIndex < count)
        {
            while (mNextIndex < count && mWaves[static_cast<size_t>(mNextIndex)]->mLinked != -1)
            {
                ++mNextIndex;
                map.mHud->updateWaves();
            }
            // Only linked waves were left: nothing starts and victory follows next frame.
            if (mNextIndex >= count)
                return;
            TDWaveProto* wave = mWaves[static_cast<size_t>(mNextIndex)];
            wave->mState = kWaveActive;
            mActiveWaves.push_back(wave);
            startLinkedWaves();
            for (const TDWaveProto* active : mActiveWaves)
                map.mNextWave.addButton(map.findPoint(active->mSpawn));
            map.mNextWave.firstSpawnTime = firstSpawnTime();
        }
        else
            map.showVictory();
        return;
    }

    for (size_t i = 0; i < mActiveWaves.size(); ++i)
        mActiveWaves[i]->update(map, dt);
    for (const TDWaveProto* wave : mActiveWaves)
        if (!wave->isFinished())
            return;
    mClock = 0.0f;
    mActiveWaves.clear();
    map.postEvent(L"wave_vanish_" + std::to_wstring(mNextIndex + 1));
    ++mNextIndex;
    ++mWavesDone;
    map.mHud->updateWaves();
}
