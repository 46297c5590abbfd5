// One enemy on the battlefield: walks its path, carries its modifiers, takes damage, dies
// with a bounty or costs health at the goal.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Source/TD/Data/TDProtoRef.h"
#include "Source/TD/Level/TDPathPoint.h"
#include "Source/TD/Units/TDUnitState.h"

#include <memory>
#include <string>
#include <vector>

class TDBullet;
class TDLink;
class TDBattleWorld;
class TDModifier;
class TDPoint;
class TDWaveEntry;

// The shadow picture of a kind: wyvern shadows for the light flyers, dragon shadows for the heavy
// ones and for everything on the ground, none for other flyers.
std::wstring tdUnitShadow(i32 id, bool air);

class TDUnit
{
public:
    TDUnit(TDBattleWorld& map, TDWaveEntry* entry);
    ~TDUnit();
    TDUnit(const TDUnit&) = delete;
    TDUnit& operator=(const TDUnit&) = delete;

    // The kind, looked up by the entry's id (null when the sheets no longer have it).
    const TDPrototype* proto() const { return mProto.get(*mStore); }
    i32 protoId() const { return mProto.id(); }

    void update(float dt);
    // Nothing while dying or fading; a positive amount reveals the unit, a negative one heals.
    void damage(float amount);
    // A tower's bullet lands on this unit; direct is false for units caught by splash.
    void onHit(const TDBullet& bullet, bool direct);
    // Reads the waypoint's "upper" and the polyline of the new segment.
    void enterSegment();
    // Puts the unit on another walker's route, at that segment and progress, standing at (x, y).
    void placeOnRoute(const TDPoint* path, const std::vector<i32>& waypoints, i32 segment, float progress, float step,
                      float segmentLength, float x, float y);
    bool canAttach(const TDModifier* modifier) const;
    // Attaches when allowed, else deletes the modifier. True when attached.
    bool attach(std::unique_ptr<TDModifier> modifier);
    void removeModifiersOf(const void* source);
    float maxHealth() const;
    // After this unit finished dying: a raiser nearby brings it back as a skeleton.
    void raiseDeadNear();
    // The prototype's speed less the penalty: what the walk uses.
    float currentSpeed() const;
    // A hold or a stun sets the penalty to the kind's whole speed: the unit stands still.
    bool isHeldStill() const;
    bool isGone() const { return mState == kUnitDying || mState == kUnitFading; }
    // Width and height of the rectangle around mDrawPos for touch tests.
    void getRect(float& x, float& y, float& w, float& h) const;

    float mDeathDrift[2] = {0.0f, 0.0f};
    float mAlpha = 1.0f, mAlphaTarget = 1.0f;
    float mHiddenTime = 0.0f;
    std::vector<TDPathPoint*> mSamples; // not owned: the path set's polyline of this segment
    float mSize[2] = {0.0f, 0.0f};
    TDUnitState mState = kUnitWalking;
    i32 mAlive = 1;
    bool mGotThrough = false;
    float mUpper = 0.0f;
    std::string mName;
    float mFade = 0.0f, mFadeRate = 1.5f;
    bool mFacingLeft = false;
    i32 mLevel = 0;
    float mAnimTime = 0.0f;
    TDWaveEntry* mEntry;
    const TDPoint* mPath = nullptr; // not owned: where the route starts
    float mSegmentLength = 0.0f;
    float mStep = 0.0f;
    float mProgress = 0.0f;
    std::vector<i32> mWaypoints;
    i32 mSegment = 0;
    float mPrevPos[2] = {0.0f, 0.0f};
    float mDirection[2] = {0.0f, 0.0f};
    float mSpeedPenalty = 0.0f;
    float mHealth = 0.0f;
    float mHealthBarTime = 0.0f;
    float mPos[2] = {0.0f, 0.0f};
    float mDrawPos[2] = {0.0f, 0.0f};
    std::wstring mShadow; // the shadow picture's name; empty for flyers without one
    base::OwnedList<TDModifier> mModifiers;
    u8 mFlag = 0;
    float mSpeedFactorTime = 0.0f;
    float mSpeedFactor = 1.0f, mSpeedFactorTarget = 1.0f;

private:
    void die();
    void updateState(float dt);
    void move(float dt);
    void moveStraight(float dt);
    void moveOnPath(float dt);
    // Loads mSamples for the current segment when it changed (or is missing).
    void refreshSamples();
    float animationLength(const char* list) const;

    TDBattleWorld& mMap;
    const TDPrototypes* mStore;
    TDProtoRef mProto;
    i32 mSamplesSegment = -1; // segment mSamples belongs to
    const TDLink* mSamplesLink = nullptr;
    bool mSamplesReversed = false; // mSamples runs from the link's "eid" to its "sid"
};
