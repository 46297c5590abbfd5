// What the battle's objects (units, towers, bullets, spells, modifiers, particles, drops and the
// live waves) see of the battle they run in: its lists and counters, and the few operations they
// call on it. The battle controller is the one world; the objects keep a reference to it, so
// nothing here reaches up into the controller.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Source/TD/Data/TDPrototypes.h"
#include "Source/TD/Data/TDUpgrades.h"
#include "Source/TD/Level/TDLink.h"
#include "Source/TD/Level/TDPathSet.h"
#include "Source/TD/Level/TDPoint.h"
#include "Source/TD/Level/TDWaveHint.h"
#include "Source/TD/Level/TDWaveHost.h"
#include "Source/TD/Seams/TDBattleServices.h"
#include "Source/TD/Units/TDBattleStats.h"
#include "Source/TD/Units/TDEffectHolder.h"
#include "Source/TD/Units/TDIndicator.h"
#include "Source/TD/Units/TDUnitGrid.h"
#include "Source/TD/Units/TDWaveManager.h"

#include <memory>
#include <string>
#include <vector>

class TDBulletList;
class TDIndicator;
class TDModifier;
class TDParticle;
class TDSpriteEffect;
class TDTower;
class TDTowerSpecial;
class TDUnit;
struct TDPathPoint;

class TDBattleWorld : public TDWaveHost
{
public:
    TDBattleWorld();
    ~TDBattleWorld() override;
    TDBattleWorld(const TDBattleWorld&) = delete;
    TDBattleWorld& operator=(const TDBattleWorld&) = delete;

    // --- What the objects call on the battle ---
    virtual const TDPrototype* findPrototype(i32 id) const = 0;
    // Starts a one-shot (or looping) effect at (x, y) into list; null when the effect is unknown.
    virtual TDEffectHolder* startEffect(base::OwnedList<TDEffectHolder>& list, const std::wstring& name, float x,
                                        float y, bool loop = false) = 0;
    virtual bool hasEffect(const base::OwnedList<TDEffectHolder>& list, const TDEffectHolder* effect) const = 0;
    virtual void playSound(const std::wstring& tag) = 0;
    virtual TDUpgradeContext upgradeContext() = 0;
    virtual TDIndicator* addIndicator(float x, float y, TDIndicatorKind kind, const std::wstring& text) = 0;
    // Effect sprites of the battle: a non-null sprite is appended; removing deletes it.
    virtual void addSprite(TDSpriteEffect* sprite) = 0;
    virtual void removeSprite(TDSpriteEffect* sprite) = 0;
    virtual void sortTowers() = 0;
    virtual bool isTowerBlocked(const TDTower* tower) const = 0;
    virtual bool isTowerDebuffed(const TDTower* tower) const = 0;
    virtual float getHealthFactor() const = 0;
    virtual float getLinkCurveLength(const TDLink* link) const = 0;
    // Sum of "health" / 100 of the income towers whose range covers the unit.
    virtual float killBonusFactor(const TDUnit* unit) const = 0;
    virtual void onUnitReachedGoal(TDUnit* unit) = 0;
    // Releases count units of kind 11 along the carrier's path.
    virtual void spawnCarriedUnits(TDUnit* unit, i32 count) = 0;
    // Everything that points at the unit lets go of it (before it is deleted).
    virtual void forgetUnit(TDUnit* unit) = 0;
    virtual void showVictory() = 0;

    // --- Stateless geometry of the level ---
    // Position at progress t along a polyline; t is clamped to [0, 1].
    static void getPointOnPath(const std::vector<TDPathPoint*>& path, float t, float& x, float& y);
    // Progress after walking distance; a polyline of fewer than two points, or whose first
    // segment has no length, gives 1 so the walker moves on.
    static float advanceOnPath(const std::vector<TDPathPoint*>& path, float progress, float distance);
    static TDLink* findLink(const std::vector<TDLink*>& links, const TDPoint* a, const TDPoint* b);
    static TDPoint* getSpawnPoint(const std::vector<TDPoint*>& points);
    static TDPoint* getGoalPoint(const std::vector<TDPoint*>& points);

    // Services (never null; the controller puts in the null twins).
    TDSpriteMetrics* mSprites = nullptr;
    TDParticles* mParticleSystem = nullptr;
    TDHud* mHud = nullptr;

    // Counters the objects read and move.
    float mDropChanceOverride = 0.0f;
    float mEnemyCostBonus = 0.0f;
    float mLastFrameTime = 0.0f;
    TDUnit* mHovered = nullptr; // not owned: the unit the player picked

    // The battle's objects. The controller's clearBattle deletes them in the order they need:
    // modifiers first, as a tower boost lets go of its effects and the towers' flags.
    base::OwnedList<TDTower> mTowers;
    base::OwnedList<TDModifier> mModifiers;
    base::OwnedList<TDTowerSpecial> mDrops;
    base::OwnedList<TDSpriteEffect> mAnimations;
    base::OwnedList<TDEffectHolder> mEffects;
    base::OwnedList<TDEffectHolder> mEffects2;
    std::vector<std::unique_ptr<TDEmitter>> mEmitters;
    base::OwnedList<TDParticle> mParticles;
    std::unique_ptr<TDBulletList> mBullets;
    TDWaveHint mNextWave;
    // Built for the towers' step of each frame: units by place. Outside that step the lookups
    // scan the unit list.
    TDUnitGrid mUnitGrid;

    // Game data, alive for the whole run.
    TDPrototypes mPrototypes;
    TDUpgrades mUpgrades;
    TDBattleStats mStats;

    // The level.
    // Owned, deleted by the controller's clearLevel; plain vectors, as the road network and the
    // path code take them.
    std::vector<TDPoint*> mPoints;
    std::vector<TDLink*> mLinks;
    TDWaveManager mWaves;
    TDPathSet mPaths;
};
