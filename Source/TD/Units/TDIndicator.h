// Floating indicators: short texts and icons rising from the battlefield (gold, immune).
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"

#include <string>
#include <vector>

class TDIndicator
{
public:
    TDIndicator(float x, float y, i32 kind) : mX(x), mY(y), mKind(kind) {}

    void update(float dt);
    // Opacity as drawn: 1, fading over the last quarter second.
    float alpha() const;

    bool mAlive = true;
    i32 mIconSlot = -1; // into the list's icon table; -1 no icon
    std::wstring mText;
    float mX, mY;
    i32 mKind;
    float mLife = 0.75f;
    float mElapsed = 0.0f;
    float mVelX = 0.0f, mVelY = -1.0f;
};

class TDIndicatorList
{
public:
    TDIndicatorList() = default;
    TDIndicatorList(const TDIndicatorList&) = delete;
    TDIndicatorList& operator=(const TDIndicatorList&) = delete;

    // Kinds 0, 1, 2 use icon slots 0, 1, 2 ("ui/immune"); kind 4 slot 3 ("ui/money"); kind 3
    // and kinds above 4 have no icon. The caller sets the text.
    TDIndicator* add(float x, float y, i32 kind);
    void update(float dt);
    void clear();

    base::OwnedList<TDIndicator> items;
};
