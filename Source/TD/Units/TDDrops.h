// Drops: a gem jumps in an arc from a killed unit, lies on the ground, and flies to the gem
// counter when touched or after a while.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Source/TD/Units/TDDropState.h"

#include <vector>

class TDBattleWorld;
class TDUnit;

class TDTowerSpecial
{
public:
    virtual ~TDTowerSpecial() = default;
    virtual void update(float dt) { mTime += dt; }
    virtual void setState(TDDropState state) { mState = state; }

    // Updates each drop; those no longer alive are deleted.
    static void updateAll(base::OwnedList<TDTowerSpecial>& list, float dt);

    float mTime = 0.0f;
    TDDropState mState = kDropArriving;
    bool mAlive = true;
    float mX = 0.0f, mY = 0.0f; // where it was last placed
};

class TDGoldSpecial : public TDTowerSpecial
{
public:
    void update(float dt) override;
    void setState(TDDropState state) override;
    // The point on the arc at the current time (start before 0, end after 1); stored in mX, mY.
    void place();

    float mSpinTime = 0.0f; // the spinning animation's clock
    float mStartX = 0.0f, mStartY = 0.0f;
    float mEndX = 0.0f, mEndY = 0.0f;
    float mControlX = 0.0f, mControlY = 0.0f;
};

class TDCrystallSpecial : public TDGoldSpecial
{
public:
    TDCrystallSpecial(TDBattleWorld& map, const TDUnit& unit);
    void setState(TDDropState state) override;

private:
    TDBattleWorld& mMap;
};
