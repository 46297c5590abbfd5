// The shop as a player clicks it: a section's tab, then an upgrade's buy button.
#pragma once

#include "support/GameHarness.h"

#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Shell/ShopTab.h"
#include "Source/TD/Shell/ShopTabBar.h"
#include "Source/TD/Shell/ShopUpgradePlate.h"

namespace playtest
{
// From the main menu through the episode selection's play to the level selection, whose "upgrade"
// opens the shop; the shop, or null when a step fails.
inline HUDShopWindow* shopFromLevels(testsupport::GameHarness& game)
{
    if (!game.reachEpisodeSelect() || !game.click(L"play") ||
        !game.runUntil([&] { return game.screen() == kScreenLevels; }, 2.0f) || !game.click(L"upgrade"))
        return nullptr;
    return game.top<HUDShopWindow>();
}

inline ShopUpgradePlate* plateOf(HUDShopWindow& shop, i32 upgrade)
{
    for (auto& plate : shop.plates)
        if (plate->upgradeId == upgrade)
            return plate.get();
    return nullptr;
}

// The section's tab clicked (its plates made anew); the upgrade's plate there, or null.
inline ShopUpgradePlate* showTab(testsupport::GameHarness& game, HUDShopWindow& shop, int tab, i32 upgrade)
{
    const ShopTab& t = *shop.tabBar->tabs.at(static_cast<size_t>(tab));
    game.click(t.x, t.y - 20.0f);
    return shop.currentTab == tab ? plateOf(shop, upgrade) : nullptr;
}

// The section's tab clicked, then the upgrade's buy button at a point it answers.
inline bool buy(testsupport::GameHarness& game, HUDShopWindow& shop, int tab, i32 upgrade)
{
    const ShopUpgradePlate* plate = showTab(game, shop, tab, upgrade);
    if (!plate)
        return false;
    for (int y = HUDShopWindow::kBandTop; y <= HUDShopWindow::kBandBottom; y += 4)
        for (int x = 0; x < 1024; x += 4)
            if (shop.buyHit(*plate, x, y))
            {
                game.click(static_cast<float>(x), static_cast<float>(y));
                return true;
            }
    return false;
}
} // namespace playtest
