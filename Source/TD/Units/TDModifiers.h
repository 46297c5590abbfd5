// The battle's modifier kinds: unit abilities, effects of hits, area effects and tower boosts.
#pragma once

#include "Source/TD/Units/TDModifier.h"

#include <vector>

class TDBullet;
class TDEffectHolder;
class TDPoint;
class TDTower;
class TDWaveProto;

// --- What a tower's hit leaves on a unit ---

// The owner takes mValue each tick.
class DotModifier : public TDModifier
{
public:
    DotModifier(TDBattleWorld& map, std::string name, float value, float duration, const void* source, float period);
    void tick(TDUnit* owner, float dt) override;
};

// The owner stands still.
class HoldModifier : public TDModifier
{
public:
    HoldModifier(TDBattleWorld& map, std::string name, float value, float duration, const void* source);
    void tick(TDUnit* owner, float dt) override;
};

// The owner walks at half speed.
class StunModifier : public TDModifier
{
public:
    StunModifier(TDBattleWorld& map, std::string name, float value, float duration, const void* source);
    void tick(TDUnit* owner, float dt) override;
};

// Holds the unit, opens portals, then sends it back to the start of its route.
class HoldAndTeleport : public TDModifier
{
public:
    HoldAndTeleport(TDBattleWorld& map, TDTower* tower);
    ~HoldAndTeleport() override;
    void update(TDUnit* owner, float dt) override;
    void tick(TDUnit* owner, float dt) override;
    void forget(const void* object) override;

    TDTower* mTower;                        // cleared when the tower leaves
    TDEffectHolder* mStartPortal = nullptr; // not owned: in the battle's second effects
    TDEffectHolder* mUnitPortal = nullptr;
};

// Burning ground around a point: every unit in the area takes mValue each tick.
class FireSplashModifier : public TDModifier
{
public:
    FireSplashModifier(TDBattleWorld& map, float value, float duration, const void* source, float x, float y,
                       float radius);
    ~FireSplashModifier() override;
    void tick(TDUnit* owner, float dt) override;
};

// --- Unit abilities (stacking) ---

class HasteAreaModifier : public TDModifier
{
public:
    explicit HasteAreaModifier(TDBattleWorld& map);
    void tick(TDUnit* owner, float dt) override;
};

class HealerModifier : public TDModifier
{
public:
    explicit HealerModifier(TDBattleWorld& map);
    void tick(TDUnit* owner, float dt) override;
};

class InvisibleAreaModifier : public TDModifier
{
public:
    explicit InvisibleAreaModifier(TDBattleWorld& map);
    void tick(TDUnit* owner, float dt) override;
};

class InvisibleModifier : public TDModifier
{
public:
    explicit InvisibleModifier(TDBattleWorld& map);
    void tick(TDUnit* owner, float dt) override;
};

class RegenModifier : public TDModifier
{
public:
    explicit RegenModifier(TDBattleWorld& map);
    void tick(TDUnit* owner, float dt) override;
};

// Opens a summoning portal on the owner's path.
class ShamanModifier : public TDModifier
{
public:
    explicit ShamanModifier(TDBattleWorld& map);
    void tick(TDUnit* owner, float dt) override;
};

// --- Area effects in the battle's list ---

// Only records the splash area for the drawing.
class AreaDamageModifier : public TDModifier
{
public:
    AreaDamageModifier(TDBattleWorld& map, float x, float y, const void* source);
};

// A bullet that lost its target bursts where it is: the damage happens at construction.
class BlastModifier : public TDModifier
{
public:
    BlastModifier(TDBattleWorld& map, const TDBullet& bullet);
};

// Gives every unit in the area a damage-over-time effect.
class DotModifierArea : public TDModifier
{
public:
    DotModifierArea(TDBattleWorld& map, float x, float y, float radius, float value, float duration);
    void tick(TDUnit* owner, float dt) override;
};

// Units in the area stand still.
class MapImpassableArea : public TDModifier
{
public:
    MapImpassableArea(TDBattleWorld& map, float duration, float x, float y, float radius);
    void tick(TDUnit* owner, float dt) override;
};

// Spawns a summoned unit on the summoner's path each tick.
class ShamanPortal : public TDModifier
{
public:
    ShamanPortal(TDBattleWorld& map, const TDUnit& owner, float duration, float period);
    ~ShamanPortal() override;
    void update(TDUnit* owner, float dt) override;
    void tick(TDUnit* owner, float dt) override;

    const TDPoint* mPath;
    std::vector<i32> mWaypoints;
    i32 mSegment;
    float mProgress, mStep, mSegmentLength;
    float mPos[2];
    float mEntryY;
    TDWaveProto* mWave;
    TDEffectHolder* mPortal = nullptr; // not owned
    float mPortalTime = 0.0f;
};

// --- Tower effects ---

// The tower pays its income each tick.
class GoldIncomerModifier : public TDModifier
{
public:
    GoldIncomerModifier(TDBattleWorld& map, TDTower* tower, float income, float period);
    void tick(TDUnit* owner, float dt) override;

    TDTower* mTower;
};

// Raises the strength and range of nearby towers without the boost themselves.
class MagicTowerBoost : public TDModifier
{
public:
    MagicTowerBoost(TDBattleWorld& map, TDTower* tower);
    void tick(TDUnit* owner, float dt) override;

    TDTower* mTower;
};

// Reveals hidden units near the tower.
class ShowInvisible : public TDModifier
{
public:
    ShowInvisible(TDBattleWorld& map, TDTower* tower);
    void tick(TDUnit* owner, float dt) override;

    TDTower* mTower;
};

// The boost spell: every tower hits harder and further and cannot be blocked.
class TowersBoost : public TDModifier
{
public:
    TowersBoost(TDBattleWorld& map, float duration, float value);
    ~TowersBoost() override;
    void tick(TDUnit* owner, float dt) override;
    void forget(const void* object) override;

    std::vector<TDTower*> mTowers;         // already given their effect
    std::vector<TDEffectHolder*> mEffects; // the "hammer" effects it started
};

// Playback factor a / b, or 1 when b is 0 or either is not finite.
float tdSpeedRatio(float a, float b);
