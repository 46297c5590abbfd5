// One upgrade on the shop's list: what its plate shows (stars, next step, price, buy button) and
// the buy button's hover zoom. The pictures are the shop window's; the plate keeps its state.
#pragma once

#include "Core/Base/Types.h"

#include <limits>
#include <string>

class TDUpgrade;

class ShopUpgradePlate
{
public:
    static constexpr int kMaxStars = 6;

    // The index of the step a purchase buys, from the bought level (negative: none bought); the
    // largest level has no step after it.
    static i32 nextStep(i32 level)
    {
        return level < 0 ? 0 : level == std::numeric_limits<i32>::max() ? level : level + 1;
    }

    // Stars, texts and buy button for the bought level and the stored crystal total.
    void refresh(const TDUpgrade& upgrade, i32 level, i32 gems);
    // Hover grows the buy button at 0.5 per second up to 1.1, and shrinks it at 1 per second.
    void update(float dt);
    void setHover(bool on);
    bool starShown(int n) const { return n >= 0 && n < kMaxStars && (starMask >> n & 1u) != 0; }

    i32 upgradeId = 0;
    bool affordable = false;
    float buttonScale = 1.0f;
    i32 buttonHover = 0;
    bool complete = false;
    i32 origin = 0;
    float x = 0.0f, y = 0.0f; // the plate's top-left inside the list
    int starCount = 0;        // stars the plate holds
    u32 starMask = 0;         // the stars shown
    bool buyActive = false, buyInactive = false, priceShown = false, gemShown = false;
    bool priceRed = false;
    std::wstring icon;
    std::wstring nameText, descriptionText, priceText;
    // The scales the name and the step's text are drawn at, measured at their first draw.
    mutable float nameFit = 0.0f, descriptionFit = 0.0f;
};
