// The level-result window: stars, reward and the counting score lines.
#include "Source/TD/Shell/HUDLevelResultWindow.h"

#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"

#include <algorithm>
#include <cmath>

namespace
{
i32 nearest(float value) { return static_cast<i32>(value + 0.5f); }
} // namespace

HUDLevelResultWindow::HUDLevelResultWindow(TDMap& map, const std::wstring& layout) : mMap(map)
{
    buildFromLayout(layout);
    mLayout.reset();
    mOffsetX = mOffsetY = 0.0f;
    mScale = 0.0f;
    // The battle stored the result just before (stars, reward, best score).
    mOutcome = map.mLevelOutcome;
    for (i32 i = 0; i < 3; ++i)
        setFrameVisible(L"star" + std::to_wstring(i), i < mOutcome.stars);
    LocalStrings* strings = LocalStrings::Instance();
    // What the level leaves the player: the crystals picked up or left lying, and the reward,
    // which the battle's counter holds by now (after a defeat too, with no reward).
    mGemsText = strings->get(L"gems") + L": " + std::to_wstring(map.mStats.mGemsWon);
    setText(L"gems", mGemsText);
    setText(L"bestScore", strings->get(L"game_best_score") + std::to_wstring(mOutcome.bestScore));
}

void HUDLevelResultWindow::setState(i32 state)
{
    mAppear = state;
    mTimer = 0.0f;
}

void HUDLevelResultWindow::Update(float dt)
{
    HUDWindow::Update(dt);
    if (!mGemsShown)
    {
        // The battle's own texts come after the window is made; the crystals kept stand.
        setText(L"gems", mGemsText);
        mGemsShown = true;
    }
    switch (mAppear)
    {
    case kGrowingIn:
        mScale = std::min(mScale + 4.0f * dt, 1.0f);
        if (mTimer > 0.25f)
        {
            mScale = 1.0f;
            setState(kKillScore);
        }
        break;
    case kKillScore:
        mScale = 1.0f;
        mOffsetY = 0.0f;
        if (mMap.mStats.mKillScore == 0)
            setState(kGoldBonus);
        break;
    case kGoldBonus:
        if (mMap.mStats.mComboBonus == 0)
            setState(kLifeBonus);
        break;
    default: break;
    }
    countUp();
}

void HUDLevelResultWindow::countUp()
{
    LocalStrings* strings = LocalStrings::Instance();
    const float t = std::min(mTimer, 1.0f);
    const i32 kills = mMap.mStats.mKillScore;
    const i32 life = static_cast<i32>(std::floor(mMap.mHealth * 100.0f));
    switch (mAppear)
    {
    case kKillScore:
        setText(L"killScore",
                strings->get(L"game_kill_score") + std::to_wstring(nearest(static_cast<float>(kills) * t)));
        if (mTimer > 1.0f)
            setState(kLifeBonus);
        break;
    case kGoldBonus:
        setText(L"goldBonus", L"");
        if (mTimer > 1.0f)
            setState(kLifeBonus);
        break;
    case kLifeBonus:
        setText(L"lifeBonus",
                strings->get(L"game_life_bonus") + std::to_wstring(nearest(static_cast<float>(life) * t)));
        if (mTimer > 1.0f)
            setState(kTotal);
        break;
    case kTotal:
        // The lines above stand; their sum counts up in turn.
        setText(L"totalScore",
                strings->get(L"game_total_score") + std::to_wstring(nearest(static_cast<float>(kills + life) * t)));
        if (mTimer > 1.0f)
            setState(kDone);
        break;
    default: break;
    }
}

void HUDLevelResultWindow::Draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    const float alpha = mAppear == kGrowingIn ? std::min(2.0f * mTimer, 1.0f) : 1.0f;
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, alpha);
    HUDWindow::Draw(graphics);
}
