// Area effects in the battle's list: splash marks, blasts, damage-over-time fields,
// impassable areas and summoning portals.
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Units/TDBattleWorld.h"
#include "Source/TD/Units/TDBullet.h"
#include "Source/TD/Units/TDModifiers.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

AreaDamageModifier::AreaDamageModifier(TDBattleWorld& map, float x, float y, const void* source)
    : TDModifier(map, "", 0.0f, 1.5f, source)
{
    mKind = kModifierAreaDamage;
    mX = x;
    mY = y;
    mRadius = 100.0f;
}

BlastModifier::BlastModifier(TDBattleWorld& map, const TDBullet& bullet)
    : TDModifier(map, "", 0.0f, 0.0f, bullet.mTower)
{
    mX = bullet.mX;
    mY = bullet.mY;
    const TDPrototype* ammo = bullet.ammo();
    const TDPrototype* current = bullet.mTower ? bullet.mTower->currentProto() : nullptr;
    mRadius = ammo ? ammo->radius : 0.0f;
    std::vector<TDUnit*> units;
    map.mWaves.unitsInRadius(mX, mY, mRadius, units);
    for (TDUnit* unit : units)
        unit->damage(current ? current->strength : 0.0f);
    if (ammo && !ammo->onHit.empty())
        map.startEffect(map.mEffects2, tdtext::utf8ToWide(ammo->onHit), mX, mY);
}

DotModifierArea::DotModifierArea(TDBattleWorld& map, float x, float y, float radius, float value, float duration)
    : TDModifier(map, "", value, duration, nullptr)
{
    mX = x;
    mY = y;
    mRadius = radius;
}

void DotModifierArea::tick(TDUnit*, float)
{
    std::vector<TDUnit*> units;
    mMap.mWaves.unitsInRadius(mX, mY, mRadius, units);
    for (TDUnit* unit : units)
        unit->attach(std::make_unique<DotModifier>(mMap, "", mValue, mDuration, nullptr, 1.0f));
}

MapImpassableArea::MapImpassableArea(TDBattleWorld& map, float duration, float x, float y, float radius)
    : TDModifier(map, "", 0.0f, duration, nullptr)
{
    mX = x;
    mY = y;
    mRadius = radius;
}

void MapImpassableArea::tick(TDUnit*, float)
{
    std::vector<TDUnit*> units;
    mMap.mWaves.unitsInRadius(mX, mY, mRadius, units);
    for (TDUnit* unit : units)
    {
        const TDPrototype* p = unit->proto();
        unit->mSpeedPenalty = p ? p->speed : 0.0f;
    }
}

ShamanPortal::ShamanPortal(TDBattleWorld& map, const TDUnit& owner, float duration, float period)
    : TDModifier(map, "", 0.0f, duration, &owner), mPath(owner.mPath), mWaypoints(owner.mWaypoints),
      mSegment(owner.mSegment), mProgress(owner.mProgress), mStep(owner.mStep), mSegmentLength(owner.mSegmentLength),
      mEntryY(owner.mEntry ? owner.mEntry->mY : 0.0f), mWave(owner.mEntry ? owner.mEntry->mWave : nullptr)
{
    mTickPeriod = period;
    mPos[0] = owner.mPos[0];
    mPos[1] = owner.mPos[1];
    mX = mPos[0];
    mY = mPos[1];
    mPortal = map.startEffect(map.mEffects2, L"portal_1", mX, mY, true);
}

ShamanPortal::~ShamanPortal()
{
    if (mPortal && mMap.hasEffect(mMap.mEffects2, mPortal) && mPortal->mEmitter)
        mPortal->mEmitter->setState(kEmitterFinishing);
}

void ShamanPortal::update(TDUnit* owner, float dt)
{
    mPortalTime += dt;
    TDModifier::update(owner, dt);
}

void ShamanPortal::tick(TDUnit*, float)
{
    if (!mWave || !mPath || !mMap.findPrototype(0))
        return;
    auto made = std::make_unique<TDWaveEntry>();
    TDWaveEntry* entry = made.get();
    entry->mState = kEntrySummoned;
    entry->mId = 0;
    entry->mUpgrade = 1;
    entry->mX = -1.0f;
    entry->mY = mEntryY;
    entry->mSpawnedFlag = 1;
    entry->mWave = mWave;
    mWave->mEntries.push_back(std::move(made));
    TDUnit* unit = mMap.spawnUnit(entry, mPath);
    if (!unit)
    {
        entry->mState = kEntryKilled;
        return;
    }
    unit->placeOnRoute(mPath, mWaypoints, mSegment, mProgress, mStep, mSegmentLength, mPos[0], mPos[1]);
    unit->mLevel = 0;
}
