// A long session through the real game: fifty battles started from the main menu, each played,
// restarted, played again, won and left for the main menu by way of the shop, with the resident
// size read from /proc/self/statm and the device's textures after each. Headless (recording
// device) or, with a display, on the real window and OpenGL. Prints the size at the menu, after
// the warm-up and at the end, and the growth per battle after the warm-up.
#include "App/Game.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Platform/Gpu/Device.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "support/GameHarness.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace
{
// The game's GPU device: its textures are counted after each battle.
gpu::Device* device(testsupport::GameHarness& game)
{
    auto* render = dynamic_cast<render::RenderDX9*>(game.game().mRender);
    return render ? render->GetDevice() : nullptr;
}

double residentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

constexpr int kBattles = 50;
constexpr int kWarmUp = 10;
constexpr int kFrames = 150; // five seconds of battle at 30 frames a second

// One battle: started through the menus, played, restarted from the pause menu, played, won,
// and left for the main menu.
bool playBattle(testsupport::GameHarness& game, i32 episode, i32 level)
{
    if (!game.startLevel(episode, level))
        return false;
    TDMap& map = game.map();
    if (!game.run(kFrames))
        return false;
    map.pause();
    game.frame();
    map.onMessageBoxResult(L"restart");
    if (!game.run(kFrames))
        return false;
    map.showVictory();
    if (!game.run(60))
        return false;
    map.onMessageBoxResult(L"mmenu");
    if (!game.runUntil([&] { return game.screen() == kScreenMainMenu; }, 2.0f))
        return false;
    // The shop and back, as a player looks in between battles.
    if (!game.reachEpisodeSelect() || !game.click(L"shop") ||
        !game.runUntil([&] { return game.top<HUDShopWindow>() != nullptr; }, 2.0f) || !game.run(30) ||
        !game.click(L"back_ac") || !game.runUntil([&] { return game.top<HUDEpisodeSelectIOS>() != nullptr; }, 2.0f) ||
        !game.click(L"back"))
        return false;
    return game.runUntil([&] { return game.top<HUDMainMenu>() != nullptr; }, 2.0f);
}

void BM_FiftyBattleSession(benchmark::State& state)
{
    const bool gl = state.range(0) != 0;
    if (gl && !std::getenv("DISPLAY"))
    {
        state.SkipWithError("no display for the real window (run under Xvfb)");
        return;
    }
    for (auto _ : state)
    {
        testsupport::GameHarness::Options options;
        options.realVideo = gl;
        options.keepAllDeviceCalls = false; // the device keeps a frame, as in the shipped program
        testsupport::GameHarness game(options);
        if (!game.started() || !game.reachMainMenu())
        {
            state.SkipWithError("the game did not reach its main menu");
            return;
        }
        // Every level open: the session walks all of them in turn.
        TDMap& map = game.map();
        map.mProgress->createProfile(L"Soak");
        TDLevelResult three;
        three.stars = 3;
        std::vector<std::pair<i32, i32>> levels;
        for (i32 e = 0; e < map.getEpisodeCount(); ++e)
            for (i32 l = 0; l < map.getLevelCount(e); ++l)
            {
                map.mProgress->saveLevelResult(e, l, kDifficultyNormal, three);
                levels.emplace_back(e, l);
            }
        const double atMenu = residentMegabytes();
        double afterWarmUp = atMenu, last = atMenu;
        size_t menuTextures = 0, menuBytes = 0;
        if (gpu::Device* gpu = device(game))
            gpu->TextureMemory(menuTextures, menuBytes);
        std::fprintf(stderr, "resident at the main menu: %.1f MB, %zu textures of %.1f MB\n", atMenu, menuTextures,
                     static_cast<double>(menuBytes) / (1024.0 * 1024.0));
        for (int battle = 0; battle < kBattles; ++battle)
        {
            const auto& [e, l] = levels[static_cast<size_t>(battle) % levels.size()];
            if (!playBattle(game, e, l))
            {
                state.SkipWithError("a battle did not start or end as played");
                return;
            }
            gpu::Device* gpu = device(game);
            size_t textures = 0, bytes = 0;
            if (gpu)
                gpu->TextureMemory(textures, bytes);
            last = residentMegabytes();
            if (battle + 1 == kWarmUp)
                afterWarmUp = last;
            std::fprintf(stderr, "battle %2d (episode %d, level %d): resident %.1f MB, %zu textures of %.1f MB\n",
                         battle + 1, e + 1, l + 1, last, textures, static_cast<double>(bytes) / (1024.0 * 1024.0));
        }
        state.counters["menu_MB"] = atMenu;
        state.counters["warm_MB"] = afterWarmUp;
        state.counters["end_MB"] = last;
        state.counters["growth_KB_per_battle"] = (last - afterWarmUp) * 1024.0 / (kBattles - kWarmUp);
    }
}
} // namespace

// 0: headless; 1: the real window and OpenGL (needs a display).
BENCHMARK(BM_FiftyBattleSession)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);
