// Effect sprites of the battle.
#include "Source/TD/Units/TDSpriteEffect.h"

#include <cmath>

void TDSpriteEffect::update(float dt)
{
    mTime += dt;
    mDelay -= dt;
    float n = static_cast<float>(mFrames);
    if (mTime * mRate > n - 1.0f)
    {
        if (mLoop)
        {
            mTime -= mRate > 0.0f ? n / mRate : mTime;
            mDelay = 0.0f;
        }
        else
            mAlive = false;
    }
    if (mDelay <= 0.0f)
    {
        mAnimTime += dt;
        float length = mRate > 0.0f ? n / mRate : 0.0f;
        if (length > 0.0f && mAnimTime >= length)
            mAnimTime = 0.0f;
    }
}

float TDSpriteEffect::alpha() const
{
    float length = mRate > 0.0f ? static_cast<float>(mFrames) / mRate : 0.0f;
    return length - mTime < 0.2f ? (length - mTime) / 0.2f : 1.0f;
}

i32 TDSpriteEffect::frame() const
{
    if (mFrames <= 0 || !(mDelay < 0.0f))
        return -1;
    float f = std::floor(mAnimTime * mRate);
    if (!(f >= 0.0f) || !std::isfinite(f))
        return 0;
    return static_cast<i32>(std::fmod(f, static_cast<float>(mFrames)));
}
