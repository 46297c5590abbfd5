// Memory over a long session: a level's background pictures are let go when the player leaves
// the battle for the menus or another level loads, and a level shown again draws its background
// afresh, never from freed pictures.
#include "support/GameHarness.h"

#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Draw/TDBattleDrawer.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Sprites/TDResources.h"
#include "TD/DrawRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>

using testsupport::GameHarness;

namespace
{
size_t graphicsOf(const std::wstring& sheet)
{
    const auto& graphics = TDResources::Instance()->graphics();
    return static_cast<size_t>(
        std::count_if(graphics.begin(), graphics.end(), [&](const auto& g) { return g->mPsd == sheet; }));
}

// The level started through the menus, a few frames played (drawn by the game itself), then one
// frame drawn into a recording canvas: every background layer is drawn with a picture.
std::wstring playAndDraw(GameHarness& game, i32 level)
{
    if (!game.startLevel(0, level) || !game.run(5))
    {
        ADD_FAILURE() << "level " << level << " did not start";
        return {};
    }
    TDMap& map = game.map();
    const std::wstring folder = tdtext::utf8ToWide(map.mScenery->folder);
    const size_t layers =
        static_cast<size_t>(std::count_if(map.mScenery->layers.begin(), map.mScenery->layers.end(),
                                          [](const TDSceneLayer& layer) { return layer.name.rfind(L"fx/", 0) != 0; }));

    std::vector<std::string> trace;
    TDBattleDrawer& drawer = *game.board().getDrawer();
    drawer.mTrace = &trace;
    tdtest::RecordingCanvas canvas;
    game.drawBattle(canvas);
    drawer.mTrace = nullptr;

    EXPECT_GT(layers, 0u) << "level " << level;
    EXPECT_EQ(static_cast<size_t>(std::count(trace.begin(), trace.end(), "background")), layers) << "level " << level;
    EXPECT_GE(canvas.drawn.size(), layers);
    for (size_t i = 0; i < layers && i < canvas.drawn.size(); ++i)
        EXPECT_NE(canvas.drawn[i].texture, nullptr) << "level " << level << ", background layer " << i;
    EXPECT_EQ(graphicsOf(folder), 1u) << "level " << level;
    return folder;
}

// Won and left for the main menu, as a player leaves a level.
void leaveForMenu(GameHarness& game)
{
    game.map().showVictory();
    ASSERT_TRUE(game.run(60));
    game.map().onMessageBoxResult(L"mmenu");
    ASSERT_TRUE(game.runUntil([&] { return game.screen() == kScreenMainMenu; }, 2.0f));
    ASSERT_TRUE(game.run(2));
}
} // namespace

TEST(Memory, ALevelsBackgroundGoesWhenThePlayerLeavesTheBattleAndARevisitDrawsItAfresh)
{
    GameHarness game;
    ASSERT_TRUE(game.started());

    const std::wstring first = playAndDraw(game, 0);
    ASSERT_FALSE(first.empty());
    leaveForMenu(game);
    EXPECT_EQ(graphicsOf(first), 0u) << "the level's background outlived the battle";
    const std::wstring second = playAndDraw(game, 1);
    ASSERT_NE(first, second);
    EXPECT_EQ(graphicsOf(first), 0u);
    // Paused and left for the level selection: let go as well.
    game.map().pauseIfRunning();
    ASSERT_TRUE(game.run(5));
    game.map().onMessageBoxResult(L"levels");
    ASSERT_TRUE(game.runUntil([&] { return game.screen() == kScreenLevels; }, 2.0f));
    ASSERT_TRUE(game.run(2));
    EXPECT_EQ(graphicsOf(second), 0u) << "the level's background outlived the battle";
    game.map().onMessageBoxResult(L"mmenu");
    ASSERT_TRUE(game.runUntil([&] { return game.screen() == kScreenMainMenu; }, 2.0f));

    // Back to the first level: its pictures are made again, and the second level's go.
    EXPECT_EQ(playAndDraw(game, 0), first);
    EXPECT_EQ(graphicsOf(second), 0u);
}
