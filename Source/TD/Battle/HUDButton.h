// A button of the battle HUD drawn and hit-tested by its own code (the spell buttons): its
// name, centre, number, hover, pulse and recharge state.
#pragma once

#include "Core/Base/Types.h"

#include <string>

class TDUiPainter;

class HUDButton
{
public:
    virtual ~HUDButton() = default;
    virtual void draw(TDUiPainter&) {}
    // Unscaled frame time.
    virtual void update(float) {}
    virtual bool canPress(i32 x, i32 y) { return contains(x, y); }
    virtual bool contains(i32, i32) { return false; }
    virtual void onPress(i32, i32) {}
    virtual void onRelease(i32, i32) {}
    virtual bool onHover(i32 x, i32 y)
    {
        mHover = contains(x, y) ? 1 : 0;
        return mHover != 0;
    }

    std::wstring mName;
    float mCentreX = 0.0f, mCentreY = 0.0f;
    i32 mIndex = 0;
    i32 mHover = 0;
    float mPulse = 1.0f;
    float mCooldown = 0.0f;
    i32 mUsed = 0;
};
