// Cost of building and walking one battle frame's draw lists (units with shadows, towers, spots,
// depth sort) into a canvas that draws nothing: what the battle drawing adds to a frame.
#include "Core/Base/Random.h"
#include "Core/Base/Singletone.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDProfileStore.h"
#include "Source/TD/Draw/TDBattleDrawer.h"
#include "Source/TD/Level/TDWaveEntry.h"
#include "Source/TD/Sprites/TDImageSheet.h"
#include "Source/TD/Sprites/TDResources.h"
#include "Source/TD/Units/TDUnit.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace
{
const int kTowers = 100;

std::shared_ptr<TDImageSheet> sheet(const std::wstring& path, const std::vector<std::wstring>& names)
{
    auto s = std::make_shared<TDImageSheet>(path);
    u32 i = 0;
    for (const std::wstring& name : names)
    {
        TDSheetImage image;
        image.mName = name;
        image.mWidth = 40;
        image.mHeight = 50;
        image.mIndex = i++;
        s->add(image);
    }
    return s;
}

struct Scene
{
    TDMemoryFileSource files;
    TDDocumentProfileStore profiles;
    std::unique_ptr<TDMap> map;
    std::unique_ptr<TDBattleDrawer> drawer;

    explicit Scene(int units)
    {
        base::SingletoneBase::DestroyAll();
        math::SetRandomSeed(5);
        TDFileSource::setCurrent(&files);
        std::string spots;
        for (int i = 0; i < kTowers; ++i)
            spots += "<spot x=\"" + std::to_string(20 + (i % 20) * 50) + "\" y=\"" +
                     std::to_string(60 + (i / 20) * 150) + "\"/>";
        files.put(L"td/setup_sheet.csv", "0;3;2;0;1\n");
        files.put(L"td/towers_sheet.csv", "id;parent;cost;strength;cooldown;r;fps\n100;-1;1;-1;1;10;10\n");
        files.put(L"td/units_sheet.csv", "id;health;speed;cost;fps;strength\n1;100;0;1;10;1\n3;100;0;1;10;1\n");
        files.put(L"td/ammo_sheet.csv", "id;speed\n");
        files.put(L"td/upgrades.xml", "<upgrades/>");
        files.put(L"td/levels_normal/level_01_01.xml",
                  "<map><budget>1000000</budget><points><point id=\"1\" x=\"0\" y=\"400\"><p name=\"spawn\" "
                  "value=\"1\"/></point><point id=\"2\" x=\"1024\" y=\"400\"><p name=\"goal\" value=\"1\"/></point>"
                  "</points><links><link sid=\"1\" eid=\"2\" anchor_x=\"512\" anchor_y=\"400\"/></links><spots>" +
                      spots + "</spots><waves><wave spawn=\"1\" timeout=\"100000\"><e id=\"1\"/></wave></waves></map>");
        TDResources::Instance()->setSheetOpener(
            [](const std::wstring& path, bool) -> std::shared_ptr<TDImageSheet>
            {
                if (path == L"td/data/ui_parts")
                    return sheet(path, {L"shadows/dragon_shadow"});
                if (path == L"td/mobs")
                    return sheet(path, {L"walk/00", L"walk/01", L"walk/02", L"base"});
                if (path == L"td/turrets")
                    return sheet(path, {L"idle/00"});
                return sheet(path, {L"ui/bar", L"spots/s"});
            });
        map = std::make_unique<TDMap>(TDBattleServices(), profiles);
        map->mMode = kDifficultyNormal;
        (void)map->loadLevel();
        map->mScreen = kScreenBattle;
        for (TDPrototype* p : map->mPrototypes.all)
            p->graphic = TDResources::Instance()->findGraphic(p->id < 100 ? L"td/mobs" : L"td/turrets");
        for (int i = 0; i < kTowers / 2; ++i)
            map->placeTower(i, 100);
        TDWaveProto* wave = map->mWaves.mWaves[0];
        for (int i = 0; i < units; ++i)
        {
            TDWaveEntry* entry = new TDWaveEntry();
            entry->mId = 1;
            entry->mWave = wave;
            entry->mSpawnedFlag = 1;
            wave->mEntries.push_back(entry);
            TDUnit* unit = map->spawnUnit(entry, map->mPoints[0]);
            // Scattered over the field, so the depth sort has work to do.
            unit->mDrawPos[0] = static_cast<float>((i * 7919) % 1024);
            unit->mDrawPos[1] = static_cast<float>((i * 104729) % 768);
            unit->mHealth = 50.0f;
            unit->mHealthBarTime = 1.0f;
        }
        drawer = std::make_unique<TDBattleDrawer>(*map, *TDResources::Instance());
        drawer->loadUiImages();
    }
    ~Scene()
    {
        drawer.reset();
        map.reset();
        TDFileSource::setCurrent(nullptr);
        base::SingletoneBase::DestroyAll();
    }
};

void DrawFrame(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    TDNullBattleCanvas canvas;
    for (auto _ : state)
        scene.drawer->draw(canvas);
    state.counters["units"] = static_cast<double>(scene.map->mWaves.mUnits.size());
    state.counters["towers"] = static_cast<double>(scene.map->mTowers.size());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(DrawFrame)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Complexity();
} // namespace

BENCHMARK_MAIN();
