// Playing a frame list.
#include "Source/TD/Sprites/TDAnimation.h"

#include "Source/TD/Sprites/TDGraphic.h"
#include "Source/TD/Sprites/TDResources.h"

#include <cmath>

TDAnimation::TDAnimation(const std::wstring& sprite, const std::string& list)
    : mGraphic(TDResources::Instance()->findGraphic(sprite)), mList(list), mSprite(sprite)
{
    takeAnchor();
}

TDAnimation::TDAnimation(TDGraphic* graphic, const std::string& list) : mGraphic(graphic), mList(list)
{
    if (graphic)
        mSprite = graphic->mPsd;
    takeAnchor();
}

void TDAnimation::takeAnchor()
{
    // The first "s_point", else (50, 30).
    if (mGraphic)
        mGraphic->point("s_point", 0, mAnchorX, mAnchorY);
}

i32 TDAnimation::frameCount() const { return mGraphic ? mGraphic->frameCount(mList) : 0; }

float TDAnimation::length() const
{
    i32 n = frameCount();
    return (n > 0 && mRate > 0.0f) ? static_cast<float>(n) / mRate : 0.0f;
}

void TDAnimation::update(float dt)
{
    mTime += dt;
    // Without frames the length is 0 and the time stays at 0; a rate of 0 or less never wraps
    // (there is no pass to complete), but the frame stays the first.
    float n = static_cast<float>(frameCount());
    if (n <= 0.0f)
        mTime = 0.0f;
    else if (mRate > 0.0f && mTime >= n / mRate)
        mTime = 0.0f;
}

i32 TDAnimation::frameIndex() const
{
    i32 n = frameCount();
    if (n <= 0)
        return -1;
    float f = std::floor(mTime * mRate);
    if (!(f >= 0.0f) || !std::isfinite(f))
        return 0;
    return static_cast<i32>(std::fmod(f, static_cast<float>(n)));
}

const TDFrameEntry* TDAnimation::currentFrame() const
{
    i32 i = frameIndex();
    return i < 0 ? nullptr : mGraphic->frames(mList)[i];
}

math::Transform2D TDAnimation::placement(const TDFrameEntry& frame, float x, float y, float angle) const
{
    math::Transform2D t;
    t.RotateDegrees(angle);
    t.Translate(frame.mWidth / 2 + frame.mX - mAnchorX + x, frame.mHeight / 2 + frame.mY - mAnchorY + y);
    return t;
}

void TDAnimation::draw(TDSpritePainter& painter, float x, float y, float angle, const TDColor& color) const
{
    const TDFrameEntry* frame = currentFrame();
    if (!frame)
        return;
    painter.drawImage(frame->mImage, frame->mWidth, frame->mHeight, placement(*frame, x, y, angle), color);
}
