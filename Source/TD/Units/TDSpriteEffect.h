// An effect sprite of the battle: plays the frames of a named sprite once or in a loop, after
// an optional start delay (spell flashes, the blocked and slowed signs of towers).
#pragma once

#include "Core/Base/Types.h"

#include <string>

class TDSpriteEffect
{
public:
    // frames: the sprite's frame count; rate in frames per second.
    TDSpriteEffect(std::wstring name, float x, float y, i32 frames, float rate = 20.0f)
        : mName(std::move(name)), mX(x), mY(y), mFrames(frames), mRate(rate)
    {
    }

    void update(float dt);
    // Opacity: fades over the last 0.2 s of a pass.
    float alpha() const;
    // Frame shown, or -1 while waiting for its delay or without frames.
    i32 frame() const;

    std::wstring mName;
    float mX, mY;
    bool mAlive = true;
    float mTime = 0.0f;
    float mAnimTime = 0.0f;
    float mDelay = 0.0f;
    bool mLoop = false;
    i32 mFrames;
    float mRate;
};
