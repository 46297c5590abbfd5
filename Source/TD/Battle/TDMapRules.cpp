// Battle rules: spawning units with their abilities, a unit at the goal, forgetting a unit,
// blocking and slowing towers, the kill bonus of income towers, refunds.
#include "Source/TD/Battle/TDMap.h"

#include "Core/Base/Log.h"
#include "Core/Base/Random.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Units/TDBulletList.h"
#include "Source/TD/Units/TDModifiers.h"
#include "Source/TD/Units/TDParticle.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <algorithm>
#include <limits>

TDUnit* TDMap::spawnUnit(TDWaveEntry* entry, const TDPoint* spawn)
{
    if (!entry || !spawn)
        return nullptr;
    const TDPrototype* kind = findPrototype(entry->mId);
    if (!kind)
    {
        QL_LOG(L"Wave entry names unit %d, which no sheet has; skipped\n") << base::LogStyle::Error << entry->mId;
        return nullptr;
    }
    const TDPoint* goal = getGoalPoint(mPoints);
    if (!goal || goal == spawn)
    {
        QL_LOG(L"No goal to walk to from point %d; unit %d not spawned\n")
            << base::LogStyle::Error << spawn->id << entry->mId;
        return nullptr;
    }
    std::vector<i32> route;
    if (!kind->straight)
    {
        route = findRoute(spawn, goal);
        if (route.size() < 2)
        {
            QL_LOG(L"Goal %d cannot be reached from point %d; unit %d not spawned\n")
                << base::LogStyle::Error << goal->id << spawn->id << entry->mId;
            return nullptr;
        }
    }

    TDUnit* unit = mWaves.spawnUnit(*this, entry, spawn);
    float c = kind->cooldown;
    auto add = [&](std::unique_ptr<TDModifier> modifier, float period)
    {
        modifier->mTickPeriod = period;
        unit->mModifiers.push_back(std::move(modifier));
    };
    if (kind->hasteBuff)
        add(std::make_unique<HasteAreaModifier>(*this), c);
    if (kind->invisibleArea)
        add(std::make_unique<InvisibleAreaModifier>(*this), c);
    if (kind->invisible)
        add(std::make_unique<InvisibleModifier>(*this), c);
    if (kind->regen)
        add(std::make_unique<RegenModifier>(*this), c);
    if (kind->healer)
        add(std::make_unique<HealerModifier>(*this), c);
    if (kind->summon)
        add(std::make_unique<ShamanModifier>(*this), c + math::Random() * c);

    if (kind->straight)
    {
        unit->mWaypoints = {spawn->id, goal->id};
        unit->mPos[0] = unit->mDrawPos[0] = spawn->x;
        unit->mPos[1] = unit->mDrawPos[1] = spawn->y;
        return unit;
    }
    unit->mWaypoints = route;
    const TDPoint* a = findPoint(route[0]);
    const TDPoint* b = findPoint(route[1]);
    unit->mSegmentLength = getLinkCurveLength(findLink(mLinks, a, b));
    unit->mPos[0] = unit->mDrawPos[0] = spawn->x;
    unit->mPos[1] = unit->mDrawPos[1] = spawn->y;
    unit->enterSegment();
    return unit;
}

void TDMap::forgetUnit(TDUnit* unit)
{
    if (mHovered == unit)
        mHovered = nullptr;
    mBullets->forgetUnit(unit);
    for (TDTower* tower : mTowers)
        if (tower->mTarget == unit)
            tower->clearTarget();
    // Beams aimed at the unit finish and keep their last end point.
    for (TDParticle* particle : mParticles)
        if (TDBeamParticle* beam = dynamic_cast<TDBeamParticle*>(particle))
            if (beam->mTarget == unit)
            {
                beam->finish();
                beam->dropTarget();
            }
}

void TDMap::onUnitReachedGoal(TDUnit* unit)
{
    const TDPrototype* kind = unit->proto();
    // A kind the sheets no longer have costs nothing.
    float strength = kind ? kind->strength : 0.0f;
    unit->mAlive = 0;
    unit->mGotThrough = true;
    if (unit->mEntry)
        unit->mEntry->mState = kEntryThrough;
    startEffect(mEffects2, L"damage_h", unit->mDrawPos[0], unit->mDrawPos[1]);
    ++mStats.mUnitsThrough;
    mStats.mDamageTaken += tdtext::truncToInt(strength);
    if (mHealth != 0.0f)
    {
        mHealth -= strength;
        mHud->updateMana();
        if (mHealth <= 0.0f)
        {
            mHealth = 0.0f;
            showDefeat();
        }
    }
}

void TDMap::spawnCarriedUnits(TDUnit* unit, i32 count)
{
    if (count < 1 || !unit->mEntry || !unit->mEntry->mWave)
        return;
    size_t seg = static_cast<size_t>(unit->mSegment);
    const TDPoint* p = seg < unit->mWaypoints.size() ? findPoint(unit->mWaypoints[seg]) : unit->mPath;
    if (!p)
        return;
    float base = unit->mProgress - 0.1f;
    if (!(base > 0.0f))
        base = 0.0f;
    if (!(base < 0.85f))
        base = 0.85f;
    TDWaveProto* wave = unit->mEntry->mWave;
    for (i32 k = 0; k < count; ++k)
    {
        auto made = std::make_unique<TDWaveEntry>();
        TDWaveEntry* entry = made.get();
        entry->mId = 11;
        entry->mUpgrade = unit->mLevel + 1;
        entry->mX = -1.0f;
        entry->mY = unit->mEntry->mY;
        entry->mSpawnedFlag = 1;
        entry->mWave = wave;
        wave->mEntries.push_back(std::move(made));
        TDUnit* carried = spawnUnit(entry, p);
        if (!carried)
        {
            entry->mState = kEntryKilled;
            continue;
        }
        carried->placeOnRoute(unit->mPath, unit->mWaypoints, unit->mSegment, base + static_cast<float>(k) * 0.1f,
                              unit->mStep, unit->mSegmentLength, unit->mPos[0], unit->mPos[1]);
    }
}

namespace
{
bool nearTowerUnitIn(const TDTower* tower, bool block, const auto& units)
{
    for (const TDUnit* unit : units)
    {
        if (!unit->mAlive)
            continue;
        const TDPrototype* kind = unit->proto();
        if (!kind || !(block ? kind->blockTower : kind->debuffTower))
            continue;
        if (unit->isHeldStill())
            continue;
        float limit = block ? 0.5f * kind->radius : kind->radius;
        if (tdDistance(tower->mX, tower->mY, unit->mDrawPos[0], unit->mDrawPos[1]) <= limit)
            return true;
    }
    return false;
}

bool nearTowerUnit(const TDMap& map, const TDTower* tower, bool block)
{
    if (tower->mImmune)
        return false;
    return map.mBlockersValid ? nearTowerUnitIn(tower, block, map.mTowerBlockers)
                              : nearTowerUnitIn(tower, block, map.mWaves.mUnits);
}

// A crystal count after a refund: it stops at the ends of i32 rather than wrap.
i32 clampedGems(i64 value)
{
    return static_cast<i32>(std::clamp<i64>(value, std::numeric_limits<i32>::min(), std::numeric_limits<i32>::max()));
}
} // namespace

bool TDMap::isTowerBlocked(const TDTower* tower) const { return nearTowerUnit(*this, tower, true); }

bool TDMap::isTowerDebuffed(const TDTower* tower) const { return nearTowerUnit(*this, tower, false); }

float TDMap::killBonusFactor(const TDUnit* unit) const
{
    float sum = 0.0f;
    for (const TDTower* tower : mTowers)
    {
        const TDPrototype* p = tower->currentProto();
        if (!p || p->goldIncome <= 0)
            continue;
        if (tdDistance(tower->mX, tower->mY, unit->mDrawPos[0], unit->mDrawPos[1]) <= tower->range() * 0.5f)
            sum += p->health / 100.0f;
    }
    return sum;
}

void TDMap::refundUpgrades()
{
    // Steps past the tree's last are not counted, however high the stored level.
    i64 sum = 0;
    for (const TDUpgrade* upgrade : mUpgrades.upgrades)
    {
        const i32 level = mProgress->getUpgradeLevel(upgrade->id);
        if (level < 0)
            continue;
        const size_t bought = std::min(static_cast<size_t>(level) + 1, upgrade->steps.size());
        for (size_t step = 0; step < bought; ++step)
            sum += upgrade->steps[step]->costReal;
        mProgress->setUpgradeLevel(upgrade->id, -1);
    }
    mStats.mGems = clampedGems(mStats.mGems + sum);
    mStats.mGemsWon = clampedGems(mStats.mGemsWon + sum);
    mHud->updateCrystals();
    mProgress->setGems(mStats.mGems);
}
