// Floating indicators.
#include "Source/TD/Units/TDIndicator.h"

#include "Core/Base/OwnedList.h"

#include <algorithm>

void TDIndicator::update(float dt)
{
    if (!mAlive)
        return;
    mElapsed += dt;
    mX += mVelX * 15.0f * dt;
    mY += mVelY * 15.0f * dt;
    mAlive = mLife > mElapsed;
}

float TDIndicator::alpha() const { return mElapsed > mLife - 0.25f ? (mLife - mElapsed) * 4.0f : 1.0f; }

float TDIndicator::height() const
{
    constexpr float kLine = 24.0f * 0.75f;
    float lines = 1.0f;
    for (wchar_t c : mText)
        lines += c == L'\n' ? 1.0f : 0.0f;
    return lines * kLine;
}

TDIndicator* TDIndicatorList::add(float x, float y, TDIndicatorKind kind)
{
    auto added = std::make_unique<TDIndicator>(x, y, kind);
    TDIndicator* indicator = added.get();
    const i32 number = static_cast<i32>(kind);
    if (number >= 0 && number <= 2)
        indicator->mIconSlot = number;
    else if (kind == kIndicatorGold)
        indicator->mIconSlot = 3;
    items.push_back(std::move(added));
    return indicator;
}

void TDIndicatorList::update(float dt)
{
    for (TDIndicator* indicator : items)
        indicator->update(dt);
    items.deleteIf([](const TDIndicator* i) { return !i->mAlive; });
}

void TDIndicatorList::clear() { items.clear(); }

void TDIndicatorList::stackAbove(const TDIndicator& newest)
{
    constexpr float kGap = 2.0f;
    float top = newest.mY - newest.height() * 0.5f;
    for (size_t i = items.size(); i-- > 0;)
    {
        TDIndicator* older = items[i];
        if (older == &newest || !older->mAlive || older->mKind != newest.mKind || older->mX != newest.mX)
            continue;
        const float half = older->height() * 0.5f;
        older->mY = std::min(older->mY, top - kGap - half);
        top = older->mY - half;
    }
}
