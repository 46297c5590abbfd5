// Effect sprites.
#include "Source/TD/Sprites/TDSprite.h"

TDAnimatedSprite::TDAnimatedSprite(const std::wstring& sprite)
    : TDSprite(sprite), mAnimation(std::make_unique<TDAnimation>(sprite, std::string()))
{
    mAnimation->mRate = 20.0f;
}

TDAnimatedSprite::TDAnimatedSprite(TDGraphic* graphic, const std::wstring& sprite)
    : TDSprite(sprite), mAnimation(std::make_unique<TDAnimation>(graphic, std::string()))
{
    mAnimation->mRate = 20.0f;
}

void TDAnimatedSprite::update(float dt)
{
    // The pass is timed from the end of the start delay: a sprite delayed longer than its pass
    // would otherwise die unseen (the spell's second and third sprites).
    mDelay -= dt;
    if (!(mDelay < 0.0f))
        return;
    mTime += dt;
    float n = static_cast<float>(mAnimation->frameCount());
    float rate = mAnimation->mRate;
    if (mTime * rate > n - 1.0f)
    {
        if (mLoop)
        {
            // No frames or no rate: nothing to loop over, so the time starts again.
            mTime -= (rate > 0.0f && n > 0.0f) ? n / rate : mTime;
            mDelay = 0.0f;
        }
        else
            mAlive = 0;
    }
    if (mDelay <= 0.0f)
        mAnimation->update(dt);
}

float TDAnimatedSprite::alpha() const
{
    float left = mAnimation->length() - mTime;
    if (!(left < 0.2f))
        return 1.0f;
    return left > 0.0f ? left / 0.2f : 0.0f;
}

void TDAnimatedSprite::draw(TDSpritePainter& painter)
{
    if (!(mDelay < 0.0f))
        return;
    TDColor color;
    color.a = alpha();
    mAnimation->draw(painter, mX, mY, 0.0f, color);
}

void TDAnimatedSprite::enqueue()
{
    if (mDrawList)
        mDrawList->push_back(this);
}
