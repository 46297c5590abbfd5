// The first demo level running in the whole game headless, and a player clicking on its field
// and its ring menu.
#pragma once

#include "support/GameHarness.h"

#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Level/TDMapScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace tdtest
{
using testsupport::GameHarness;

// What the battle tells the tutorial, passed on to it.
struct EventTap : TDTutorialHooks
{
    TDTutorialHooks* inner = nullptr;
    std::vector<std::wstring> events;
    size_t count(const std::wstring& name) const
    {
        return static_cast<size_t>(std::count(events.begin(), events.end(), name));
    }
    void onEvent(const std::wstring& name) override
    {
        events.push_back(name);
        inner->onEvent(name);
    }
    void loadProgress() override { inner->loadProgress(); }
    void update(float dt) override { inner->update(dt); }
    void onMouseMove(i32 x, i32 y) override { inner->onMouseMove(x, y); }
    void onClick(i32 x, i32 y) override { inner->onClick(x, y); }
    void show() override { inner->show(); }
    void hide() override { inner->hide(); }
    void resetIncompleteSteps() override { inner->resetIncompleteSteps(); }
    void clearShownLayers() override { inner->clearShownLayers(); }
};

struct InGame : ::testing::Test
{
    GameHarness game;
    TDMap* map = nullptr;
    EventTap tutorial;

    void SetUp() override
    {
        ASSERT_TRUE(game.startLevel(0, 0)) << game.log();
        map = &game.map();
        tutorial.inner = map->mTutorial;
        map->setTutorial(&tutorial);
    }
    void TearDown() override
    {
        if (map)
            map->setTutorial(tutorial.inner);
    }
    // A click at a point of the battle field.
    void clickField(float x, float y) { game.click(x * map->mScale + map->mOffsetX, y * map->mScale + map->mOffsetY); }
    TDSpotFrame& spot(size_t i) { return map->mScenery->spotFrames[i]; }
    // A click on the spot's centre; a tap is the press and release without a frame after them.
    void clickSpot(size_t i) { clickField(spot(i).x + spot(i).width / 2, spot(i).y + spot(i).height / 2); }
    void tapSpot(size_t i)
    {
        game.tap((spot(i).x + spot(i).width / 2) * map->mScale + map->mOffsetX,
                 (spot(i).y + spot(i).height / 2) * map->mScale + map->mOffsetY);
    }
    // The spot's menu, clicked open and grown in.
    TDContextMenu* openOn(size_t i)
    {
        clickSpot(i);
        auto open = [&] { return map->mContextMenu && map->mContextMenu->state == TDContextMenu::kOpen; };
        return game.runUntil(open, 1.0f) ? map->mContextMenu.get() : nullptr;
    }
    // The screen point of the menu entry with that id, 25 outward from where the hit test
    // centres it.
    bool entryPoint(i32 id, float& x, float& y) const
    {
        const TDContextMenu& menu = *map->mContextMenu;
        for (const auto& item : menu.items)
            if (item->id == id)
            {
                const float r = menu.radius * (menu.isNearEdge() ? 1.3f : 1.0f) + 25.0f;
                const float a = item->angle * 3.14f / 180.0f;
                x = (menu.centreX + std::sin(a) * r) * map->mScale + map->mOffsetX;
                y = (menu.centreY + std::cos(a) * r) * map->mScale + map->mOffsetY;
                return true;
            }
        return false;
    }
    bool clickEntry(i32 id)
    {
        float x = 0.0f, y = 0.0f;
        if (!entryPoint(id, x, y))
            return false;
        game.click(x, y);
        return true;
    }
    i32 cost(i32 id) const { return static_cast<i32>(map->findPrototype(id)->cost); }
    // The level started again with its unlock messages closed.
    bool restartLevel() { return map->restart() == QL_OK && game.closeUnlockMessages(); }
};
} // namespace tdtest
