// Floating indicators.
#include "Source/TD/Units/TDIndicator.h"

#include "Core/Base/OwnedList.h"

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
