// A tower on a build spot: picks a unit in range, turns, plays its firing animation and fires
// (a bullet, or the instant beam of a teleporting tower); pays income, boosts or reveals
// through its modifiers; is upgraded in place to the next tier.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Source/TD/Data/TDProtoRef.h"
#include "Source/TD/Data/TDPrototype.h"
#include "Source/TD/Units/TDTowerState.h"

#include <string>
#include <vector>

class TDBeamParticle;
class TDBattleWorld;
class TDModifier;
class TDSpriteEffect;
class TDUnit;
struct TDSpotFrame;
struct TDUpgradeContext;

class TDTower
{
public:
    explicit TDTower(TDBattleWorld& map);
    ~TDTower();
    TDTower(const TDTower&) = delete;
    TDTower& operator=(const TDTower&) = delete;

    // Base prototype id (tier 0); size and modifiers from it.
    void init(i32 protoId);
    // The tier with that "levelid" (-1: the current tier, the base while mLevel is 0, else the
    // last tier when none matches). Looked up in the store at every call.
    const TDPrototype* currentProto(i32 tier = -1) const;
    i32 baseId() const { return mBaseId; }

    void update(float dt);
    void collectTargets(std::vector<TDUnit*>& out, i32 margin) const;
    TDUnit* chooseTarget(std::vector<TDUnit*>& candidates, TDUnit* current, bool preferPicked) const;
    void setTargetAngle(float angle);
    void clearTarget();
    void fire();
    void payIncome();
    // Upgrades to the tier with that "levelid" when the coins cover the cost; the new tier offers
    // its own tier steps.
    bool upgrade(i32 tier, float cost);
    // One tier step on the current tier, at the base row's "tierCost" (the price the ring
    // shows), while fewer than its "tierUpdates" are bought there: each step adds "tierK" of the
    // base row's strength and range to the tower's, for good. False when not bought.
    bool upgradeTier();
    void setupModifiers();
    // Back to the tier steps' additions alone; the frame adds upgrades and boosts on top.
    void resetBonus();
    // The bought upgrades' additions on a tier, counted from its own values with the tier steps',
    // added to the record: the frame's bonus, or a picture's.
    void addUpgrades(const TDUpgradeContext& context, const TDPrototype& tier, TDPrototype& bonus) const;
    // The tower's own strength and range on a tier, before boosts and the spot: the tier's, the
    // tier steps' and the bought upgrades' additions, as the battle counts them.
    TDPrototype ownStats(const TDPrototype& tier) const;
    // Range x 0.5: how far the tower's bullets may fly.
    float radius() const;
    // (bonus r + r) x radius_mult, where 0 counts as 1.
    float range() const;
    // The frame the drawing shows: list name and index (-1 none).
    void currentFrame(const char*& list, i32& index);
    static bool isBoostFirst(const TDTower* a, const TDTower* b);
    // The spot's property, 0 when absent.
    float spotProperty(const char* name) const;

    bool mImmune = false;
    float mWidth = 0.0f, mHeight = 0.0f;
    TDTowerState mState = kTowerPausing;
    float mX = 0.0f, mY = 0.0f;
    float mBaseX = 0.0f, mBaseY = 0.0f;
    float mFade = 0.0f, mFadeRate = 1.5f;
    TDBeamParticle* mBeam = nullptr; // not owned: lives in the battle's particle list
    float mTargetAngle = 0.0f, mAngle = 0.0f;
    i32 mDirection = 0;
    float mAnimTime = 0.0f;
    bool mDisabled = false, mDebuffed = false;
    bool mBoosted = false;
    // The looping "blocked" and "slowed" signs while shown; they live in the battle's sprites.
    TDSpriteEffect* mDisabledSprite = nullptr;
    TDSpriteEffect* mDebuffSprite = nullptr;
    TDUnit* mTarget = nullptr;    // not owned
    TDSpotFrame* mSpot = nullptr; // not owned
    TDPrototype mBonus;           // additions of upgrades and boosts, recomputed every frame
    i32 mLevel = 0;
    base::OwnedList<TDModifier> mModifiers;
    float mPauseTimer = 0.0f;
    float mCooldown = 0.0f;
    i32 mTierCount = 0;
    // The lasting additions of the tier steps bought, on every tier: put back into mBonus at
    // every reset.
    float mTierStrength = 0.0f, mTierRadius = 0.0f;

private:
    bool sectorsDiffer() const;
    void turn(float dt);
    void stateStep(float dt, const TDPrototype& p);
    void aimAt(const TDUnit& target);
    float framesOver(const TDPrototype& p, const char* list) const;
    // Shows or takes away a looping sign over the tower.
    void showSign(TDSpriteEffect*& sign, bool shown, const wchar_t* sprite, float rate);
    // What an upgrade or a tier step shows: its text floating up from the tower, the "upgrade"
    // effect at its foot and the sound.
    void showUpgrade(const std::wstring& info);

    TDBattleWorld& mMap;
    i32 mBaseId = 0;
    TDProtoRef mBaseRef;
    TDProtoRef mTierRef; // the current tier, rebuilt when mLevel changes
};

// Angle of a direction in degrees, 0 straight down and 90 to the right, in [0, 360).
float tdAimAngle(float dx, float dy);
// Puts value in place of the first integer conversion ("%d" or "%i") of a localised text;
// "%%" gives "%", and every other "%" sequence stays as written: texts from data files never
// reach a printf.
std::wstring tdFormatInt(const std::wstring& format, i32 value);
