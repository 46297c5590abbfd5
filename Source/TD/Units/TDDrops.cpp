// Gem drops: the arc, lying on the ground and the flight to the counter.
#include "Source/TD/Units/TDDrops.h"

#include "Core/Base/Math.h"
#include "Core/Base/Random.h"
#include "Source/TD/Units/TDBattleWorld.h"
#include "Source/TD/Units/TDUnit.h"

#include <algorithm>
#include <cmath>

void TDTowerSpecial::updateAll(base::OwnedList<TDTowerSpecial>& list, float dt)
{
    for (size_t i = 0; i < list.size();)
    {
        list[i]->update(dt);
        if (!list[i]->mAlive)
            list.eraseAt(i);
        else
            ++i;
    }
}

void TDGoldSpecial::update(float dt)
{
    mSpinTime += dt;
    if (mState == kDropArriving)
    {
        mTime += dt;
        if (mTime > 1.0f)
        {
            mState = kDropLying;
            mTime = 1.0f;
        }
    }
    else if (mState == kDropLying)
        mTime += dt;
    else if (mState == kDropCollected)
    {
        mTime += 5.0f * dt;
        if (mTime > 1.0f)
            mAlive = false;
    }
    place();
}

void TDGoldSpecial::place()
{
    float x = mStartX, y = mStartY;
    float t = mState == kDropLying ? 1.0f : mTime;
    if (t > 1.0f)
    {
        x = mEndX;
        y = mEndY;
    }
    else if (t >= 0.0f)
    {
        float u = 1.0f - t;
        x = u * u * mStartX + 2.0f * t * u * mControlX + t * t * mEndX;
        y = u * u * mStartY + 2.0f * t * u * mControlY + t * t * mEndY;
    }
    mX = std::trunc(x);
    mY = std::trunc(y);
}

void TDGoldSpecial::setState(TDDropState state)
{
    if (state == kDropCollected)
    {
        mStartX = mEndX;
        mStartY = mEndY;
        mEndX = 150.0f;
        mEndY = 50.0f;
        mTime = -math::Random();
    }
    mState = state;
}

TDCrystallSpecial::TDCrystallSpecial(TDBattleWorld& map, const TDUnit& unit) : mMap(map)
{
    mStartX = unit.mDrawPos[0];
    mStartY = unit.mDrawPos[1];
    if (map.mDropChanceOverride == 1.0f)
    {
        mEndX = 200.0f;
        mEndY = 200.0f;
        mState = kDropLying;
        mTime = 1.0f;
    }
    else
    {
        float a = math::Random() * 360.0f * math::kDegToRad;
        float r = 50.0f + math::Random() * 50.0f;
        mEndX = mStartX + std::cos(a) * r;
        mEndY = mStartY + std::sin(a) * r;
    }
    mControlX = (mEndX - mStartX) * 0.5f + mStartX;
    mControlY = std::min(mStartY, mEndY) - 25.0f;
    place();
}

void TDCrystallSpecial::setState(TDDropState state)
{
    TDGoldSpecial::setState(state);
    if (state == kDropCollected)
        mMap.postEvent(L"gem_collected");
}
