// Floating indicators: short texts and icons rising from the battlefield (gold, immune).
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"

#include <string>
#include <vector>

// What an indicator stands for. Kinds 0 to 2 take the icon slots of their numbers (only the
// immune one has a picture), gold the money icon; the others show their text alone.
enum class TDIndicatorKind : i32
{
    kIndicatorImmune = 2, // a hit the unit ignores: the icon without text
    kIndicatorPlain = 3,
    kIndicatorGold = 4, // gold won: "+" and the amount
    kIndicatorText = 5, // a tower upgrade's information
};
using enum TDIndicatorKind;

class TDIndicator
{
public:
    TDIndicator(float x, float y, TDIndicatorKind kind) : mX(x), mY(y), mKind(kind) {}

    void update(float dt);
    // Opacity as drawn: 1, fading over the last quarter second.
    float alpha() const;
    // The text's height as drawn, in battle units: its lines at the indicator font's line of 24
    // units, drawn at 0.75 and centred on mY.
    float height() const;

    bool mAlive = true;
    i32 mIconSlot = -1; // into the list's icon table; -1 no icon
    std::wstring mText;
    float mX, mY;
    TDIndicatorKind mKind;
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

    // The caller sets the text.
    TDIndicator* add(float x, float y, TDIndicatorKind kind);
    // Lifts the live texts of the newest's kind that stand over its x, the latest first, each
    // just clear of the one below it: the newest stays at its point and the older ones stand
    // above it, as if they had risen, also while the battle is paused and nothing rises.
    void stackAbove(const TDIndicator& newest);
    void update(float dt);
    void clear();

    base::OwnedList<TDIndicator> items;
};
