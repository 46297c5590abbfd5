// A shop plate's state.
#include "Source/TD/Shell/ShopUpgradePlate.h"

#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDUpgrade.h"

#include <algorithm>

void ShopUpgradePlate::refresh(const TDUpgrade& upgrade, i32 level, i32 gems)
{
    LocalStrings* strings = LocalStrings::Instance();
    const std::wstring key = L"upgrade_" + std::to_wstring(upgrade.id);
    upgradeId = upgrade.id;
    nameFit = descriptionFit = 0.0f; // the texts may change: measured again
    icon = upgrade.icon;
    nameText = strings->get(key + L"_name");
    // A single-step upgrade shows six stars, all lit once bought.
    const int steps = static_cast<int>(upgrade.steps.size());
    starCount = steps == 1 ? kMaxStars : std::min(steps, kMaxStars);
    starMask = 0;
    for (int i = 0; i < starCount; ++i)
        if (steps == 1 ? level >= 0 : i <= level)
            starMask |= 1u << i;
    const i32 next = nextStep(level);
    if (const TDUpgradeStep* step = upgrade.getStep(next))
    {
        complete = false;
        buyInactive = priceShown = gemShown = true;
        priceText = std::to_wstring(step->costReal);
        affordable = gems >= step->costReal;
        priceRed = !affordable;
        if (!affordable)
            buyActive = false;
        descriptionText = strings->get(key + L"_step" + std::to_wstring(next));
    }
    else
    {
        complete = true;
        buyActive = buyInactive = priceShown = gemShown = false;
        descriptionText = strings->get(key + L"_complete");
    }
}

void ShopUpgradePlate::setHover(bool on)
{
    buyActive = on;
    buttonHover = on ? 1 : 0;
}

void ShopUpgradePlate::update(float dt)
{
    buttonScale = buttonHover ? std::min(buttonScale + dt * 0.5f, 1.1f) : std::max(buttonScale - dt, 1.0f);
}
