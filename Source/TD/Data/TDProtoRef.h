// A prototype held by id (and tier): battle objects never keep a pointer into the store
// across a reload of the sheets; the cached lookup is refreshed when the store changes.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Data/TDPrototypes.h"

class TDProtoRef
{
public:
    TDProtoRef() = default;
    // levelId 0 is the base prototype; another value names the tier with that "levelid".
    explicit TDProtoRef(i32 id, i32 levelId = 0) : mId(id), mLevelId(levelId) {}

    i32 id() const { return mId; }
    i32 levelId() const { return mLevelId; }
    // The base, or its tier; with lastTierFallback an unknown tier gives the last tier (the
    // base when there are no tiers). Null when the id is unknown.
    const TDPrototype* get(const TDPrototypes& store, bool lastTierFallback = false) const
    {
        if (mGeneration != store.generation() || mGeneration == 0 || mStore != &store)
        {
            mGeneration = store.generation();
            mStore = &store;
            mCached = resolve(store, lastTierFallback);
        }
        return mCached;
    }

private:
    const TDPrototype* resolve(const TDPrototypes& store, bool lastTierFallback) const
    {
        const TDPrototype* base = store.findById(mId);
        if (!base || mLevelId == 0)
            return base;
        if (const TDPrototype* tier = base->findTier(mLevelId))
            return tier;
        if (!lastTierFallback)
            return nullptr;
        return base->tiers.empty() ? base : base->tiers[base->tiers.size() - 1];
    }

    i32 mId = 0;
    i32 mLevelId = 0;
    mutable u32 mGeneration = 0;
    mutable const TDPrototypes* mStore = nullptr;
    mutable const TDPrototype* mCached = nullptr;
};
