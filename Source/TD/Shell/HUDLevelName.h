// The banner over a starting level: the episode line and the level line fade in over 0.5 s,
// hold for 2 s and fade out over 0.5 s; then the banner closes itself.
#pragma once

#include "Source/TD/Data/TDDifficulty.h"
#include "Source/TD/Shell/HUDWindow.h"

class HUDLevelName : public HUDWindow
{
public:
    // Episode index e (from 0), level index l (from 0) and the game mode (3 hardcore).
    HUDLevelName(i32 episode, i32 level, TDDifficulty mode);

    void Draw(render::Graphics* graphics) override;
    void Update(float dt) override;
    // 1 - 2t fading in, 1 holding, 2t fading out.
    float alpha() const;

    std::wstring mTitle;
    std::wstring mSubtitle;
    float mPhaseTime = 0.5f;
    enum class Phase : i32
    {
        kFadingIn = 0,
        kHolding = 1,
        kFadingOut = 2,
    };
    using enum Phase;
    Phase mPhase = kFadingIn;
};
