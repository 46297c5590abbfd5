// Cost of one battle frame: units walking, towers aiming and firing, bullets flying, with the
// null twins of particles, sounds and sprites. Units cannot die and never reach the goal, so
// the scene stays the same size while it is measured. Then the same for the busiest demo level
// in the real game, drawing included, recorded and on OpenGL.
#include "Core/Base/Random.h"
#include "Core/Base/Singletone.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDProfileStore.h"
#include "Source/TD/Level/TDWaveEntry.h"
#include "Source/TD/Units/TDBulletList.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include "Source/TD/Data/TDLevelResult.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Data/TDPrototype.h"
#include "Source/TD/Level/TDMapScene.h"
#include "support/GameHarness.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

#include <memory>
#include <string>

namespace
{
const float kRoad = 20000.0f;
const int kTowers = 100;

std::string level()
{
    std::string spots;
    for (int i = 0; i < kTowers; ++i)
        spots += "<spot x=\"" + std::to_string(100 + i * 200) +
                 "\" y=\"150\"><p name=\"radius_mult\" value=\"1\"/><p name=\"damage_mult\" value=\"0\"/></spot>";
    return "<map><budget>1000000</budget><points>"
           "<point id=\"1\" x=\"0\" y=\"100\"><p name=\"spawn\" value=\"1\"/></point>"
           "<point id=\"2\" x=\"" +
           std::to_string(static_cast<int>(kRoad)) +
           "\" y=\"100\"><p name=\"goal\" value=\"1\"/></point>"
           "</points><links><link sid=\"1\" eid=\"2\" anchor_x=\"10000\" anchor_y=\"100\"/></links><spots>" +
           spots + "</spots><waves><wave spawn=\"1\" timeout=\"100000\"><e id=\"1\" y=\"-65\"/></wave></waves></map>";
}

struct Battle
{
    TDMemoryFileSource files;
    TDDocumentProfileStore profiles;
    std::unique_ptr<TDMap> map;

    explicit Battle(int units)
    {
        base::SingletoneBase::DestroyAll();
        math::SetRandomSeed(99);
        TDFileSource::setCurrent(&files);
        files.put(L"td/setup_sheet.csv", "0;3;2;0;1\n");
        // A homing tower: range 300, a shot every 0.25 s at 35 units per second.
        files.put(L"td/towers_sheet.csv", "id;parent;cost;strength;cooldown;r;speed;ammoid;fps;aimed\n"
                                          "100;-1;1;1;0,25;300;35;2001;10;1\n");
        files.put(L"td/units_sheet.csv", "id;health;speed;cost;fps;strength\n1;1000000000;0,5;1;10;1\n");
        files.put(L"td/ammo_sheet.csv", "id;speed;r\n2001;60;0\n");
        files.put(L"td/upgrades.xml", "<upgrades/>");
        files.put(L"td/levels_normal/level_01_01.xml", level());
        map = std::make_unique<TDMap>(TDBattleServices(), profiles);
        map->mMode = kDifficultyNormal;
        (void)map->loadLevel();
        map->mScreen = kScreenBattle;
        for (int i = 0; i < kTowers; ++i)
            map->buildTower(i, 100);
        TDWaveProto* wave = map->mWaves.mWaves[0];
        for (int i = 0; i < units; ++i)
        {
            TDWaveEntry* entry = new TDWaveEntry();
            entry->mId = 1;
            entry->mY = -65.0f;
            entry->mWave = wave;
            entry->mSpawnedFlag = 1;
            wave->mEntries.push_back(entry);
            TDUnit* unit = map->spawnUnit(entry, map->mPoints[0]);
            // Spread over the first 95 % of the road.
            unit->mProgress = 0.95f * static_cast<float>(i) / static_cast<float>(units);
        }
        // Warm up: towers turn toward their first targets and fill the air with bullets.
        for (int i = 0; i < 240; ++i)
            map->update(1.0f / 60.0f);
    }
    ~Battle()
    {
        map.reset();
        TDFileSource::setCurrent(nullptr);
        base::SingletoneBase::DestroyAll();
    }
};

void BattleFrame(benchmark::State& state)
{
    Battle battle(static_cast<int>(state.range(0)));
    TDMap& map = *battle.map;
    size_t bullets = 0;
    int frames = 0;
    for (auto _ : state)
    {
        map.update(1.0f / 60.0f);
        bullets += map.mBullets->items.size();
        ++frames;
    }
    state.counters["units"] = static_cast<double>(map.mWaves.mUnits.size());
    state.counters["towers"] = static_cast<double>(map.mTowers.size());
    state.counters["bullets"] = frames ? static_cast<double>(bullets) / frames : 0.0;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BattleFrame)->Arg(100)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Complexity();

// The busiest demo level ("level_01_02", the first episode's second level) at its largest wave:
// the real game booted on the demo data, towers on every spot, every wave called early until the
// last one is on the field, then held there (units neither move nor die). One pass of the main
// loop per iteration: the battle update, the recording of its drawing and its playback, to the
// recording device or to OpenGL in a 1366 x 768 window.
void DemoBattleFrame(benchmark::State& state, bool gl)
{
    if (gl && !std::getenv("DISPLAY"))
    {
        state.SkipWithError("OpenGL needs a display (run under Xvfb)");
        return;
    }
    testsupport::GameHarness::Options options;
    options.realVideo = gl;
    {
        // A player who has won the first level, which opens the second.
        testsupport::GameHarness first;
        if (first.startLevel(0, 0))
        {
            TDLevelResult won;
            won.stars = 3;
            first.map().mProgress->saveLevelResult(0, 0, first.map().mMode, won);
            options.profiles = first.profilesFile();
        }
    }
    testsupport::GameHarness game(options);
    if (!game.started() || !game.startLevel(0, 1))
    {
        state.SkipWithError(("the demo level did not start (screen " +
                             std::to_string(game.started() ? static_cast<i32>(game.screen()) : -1) + ")")
                                .c_str());
        return;
    }
    TDMap& map = game.map();
    map.mStats.mCoins = 1000000;
    map.mHealth = 1.0e9f;
    const i32 kinds[] = {10000, 20000, 30000, 40000};
    for (size_t i = 0; i < map.mScenery->spotFrames.size(); ++i)
        map.placeTower(static_cast<i32>(i), kinds[i % 4]);
    for (TDPrototype* p : map.mPrototypes.all)
        if (p->type == 0)
            p->health = 1.0e9f;
    game.runUntil(
        [&]
        {
            if (!map.mNextWave.buttons.empty())
                map.forceNextWave(0.0f, 0.0f);
            return map.mWaves.mNextIndex >= static_cast<i32>(map.mWaves.mWaves.size());
        },
        120.0f, 1.0f / 60.0f);
    game.run(300, 1.0f / 60.0f); // the last wave walks in
    for (TDPrototype* p : map.mPrototypes.all)
        if (p->type == 0)
            p->speed = 0.0f;
    size_t units = 0, bullets = 0;
    int frames = 0;
    for (auto _ : state)
    {
        game.frame(1.0f / 60.0f);
        units += map.mWaves.mUnits.size();
        bullets += map.mBullets->items.size();
        ++frames;
    }
    state.counters["units"] = frames ? static_cast<double>(units) / frames : 0.0;
    state.counters["bullets"] = frames ? static_cast<double>(bullets) / frames : 0.0;
    state.counters["towers"] = static_cast<double>(map.mTowers.size());
}
BENCHMARK_CAPTURE(DemoBattleFrame, recording, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DemoBattleFrame, gl, true)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

BENCHMARK_MAIN();
