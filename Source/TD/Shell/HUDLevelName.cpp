// The level-name banner.
#include "Source/TD/Shell/HUDLevelName.h"

#include "Core/Media/Graphics/Graphics.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDDifficulty.h"
#include "Source/TD/Shell/TDScreenDraw.h"

HUDLevelName::HUDLevelName(i32 episode, i32 level, TDDifficulty mode)
{
    LocalStrings* strings = LocalStrings::Instance();
    mSubtitle = strings->get(L"level_d") + L" " + std::to_wstring(level + 1);
    mTitle = strings->get((mode == kDifficultyHardcore ? L"episodeHardcore" : L"episode") + std::to_wstring(episode));
}

float HUDLevelName::alpha() const
{
    if (mPhase == kFadingIn)
        return 1.0f - 2.0f * mPhaseTime;
    if (mPhase == kHolding)
        return 1.0f;
    return 2.0f * mPhaseTime;
}

void HUDLevelName::Update(float dt)
{
    mTimer += dt;
    mPhaseTime -= dt;
    if (mPhaseTime >= 0.0f)
        return;
    if (mPhase == kFadingIn)
    {
        mPhase = kHolding;
        mPhaseTime = 2.0f;
    }
    else if (mPhase == kHolding)
    {
        mPhase = kFadingOut;
        mPhaseTime = 0.5f;
    }
    else
        mOpen = false;
}

void HUDLevelName::Draw(render::Graphics* graphics)
{
    if (!graphics || mPhaseTime < 0.0f)
        return;
    const HUDWindowContext& c = HUDWindowContext::Get();
    render::Font* previous = graphics->mFont;
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, alpha());
    tdscreen::drawTextCentred(graphics, c.captionFont.Get(), mTitle, c.centreX, c.centreY - 25.0f, 1.0f, 1024.0f);
    tdscreen::drawTextCentred(graphics, c.windowFont.Get(), mSubtitle, c.centreX, c.centreY + 25.0f, 1.0f, 1024.0f);
    graphics->mFont = previous;
    graphics->SetColorRGBA(1.0f, 1.0f, 1.0f, 1.0f);
}
