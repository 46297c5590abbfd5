// The modifier base: tick timer and duration.
#include "Source/TD/Units/TDModifier.h"

#include "Source/TD/Units/TDModifiers.h"

#include <cmath>

void TDModifier::update(TDUnit* owner, float dt)
{
    if (!mActive)
        return;
    mTickTimer += dt;
    mElapsed += dt;
    if (mTickTimer > mTickPeriod)
    {
        mTickTimer = 0.0f;
        tick(owner, dt);
    }
    if (mDuration != -1.0f && mElapsed > mDuration)
        mActive = false;
}

float tdSpeedRatio(float a, float b)
{
    if (b == 0.0f || !std::isfinite(a) || !std::isfinite(b))
        return 1.0f;
    float r = a / b;
    return std::isfinite(r) ? r : 1.0f;
}
