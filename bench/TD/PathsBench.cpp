// Level loading with path building: every demo level, and a large generated road network.
#include "Core/Base/OwnedList.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDProfileStore.h"
#include "Source/TD/Data/TDText.h"
#include "Source/TD/Level/TDPathSet.h"
#include "Source/TD/Units/TDWaveManager.h"

#include <benchmark/benchmark.h>
#include <tinyxml2.h>

#include <string>

namespace
{
void LoadEveryDemoLevel(benchmark::State& state)
{
    TDFolderFileSource files(tdtext::utf8ToWide(QL_CONTENT_DIR));
    TDFileSource::setCurrent(&files);
    TDDocumentProfileStore profiles;
    TDMap map(TDBattleServices(), profiles);
    int loaded = 0;
    for (auto _ : state)
    {
        for (const auto& [episode, info] : map.mEpisodes.episodes())
            for (TDDifficulty mode : {kDifficultyNormal, kDifficultyHardcore})
            {
                i32 count = mode == kDifficultyHardcore ? info.hardcoreLevelCount : info.levelCount;
                for (i32 level = 0; level < count; ++level)
                {
                    map.mMode = mode;
                    map.mEpisode = episode;
                    map.mLevel = level;
                    loaded += map.loadLevel() == QL_OK;
                }
            }
    }
    state.counters["levels"] = benchmark::Counter(loaded, benchmark::Counter::kAvgIterations);
    TDFileSource::setCurrent(nullptr);
}
BENCHMARK(LoadEveryDemoLevel)->Unit(benchmark::kMillisecond);

// A 40 x 25 grid of points (1,000) joined across, down and on 65 diagonals (2,000 links), ten
// spawn points down the left edge and the goal on the right; each spawn's wave walks two lanes.
struct BigMap
{
    std::vector<TDPoint*> points;
    std::vector<TDLink*> links;
    TDWaveManager waves;

    BigMap()
    {
        const int columns = 40, rows = 25;
        auto id = [&](int c, int r) { return r * columns + c; };
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
            {
                TDPoint* p = new TDPoint(id(c, r), 10.0f + 25.0f * c + (r % 3), 20.0f + 30.0f * r + (c % 4));
                if (c == 0 && r % 5 == 2)
                    p->properties.set("spawn", 1.0f);
                if (c == columns - 1 && r == rows / 2)
                    p->properties.set("goal", 1.0f);
                points.push_back(p);
            }
        auto join = [&](int a, int b)
        {
            const TDPoint* pa = points[a];
            const TDPoint* pb = points[b];
            links.push_back(new TDLink(a, b, (pa->x + pb->x) * 0.5f + 4.0f, (pa->y + pb->y) * 0.5f - 3.0f));
        };
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c + 1 < columns; ++c)
                join(id(c, r), id(c + 1, r));
        for (int r = 0; r + 1 < rows; ++r)
            for (int c = 0; c < columns; ++c)
                join(id(c, r), id(c, r + 1));
        for (int k = 0; links.size() < 2000; ++k)
            join(id(k % (columns - 1), k % (rows - 1)), id(k % (columns - 1) + 1, k % (rows - 1) + 1));

        std::string xml = "<waves>";
        for (const TDPoint* p : points)
            if (p->isSpawn())
                xml += "<wave spawn=\"" + std::to_string(p->id) + "\"><e y=\"-65\"/><e y=\"-130\"/></wave>";
        xml += "</waves>";
        tinyxml2::XMLDocument document;
        document.Parse(xml.c_str());
        waves.loadWaves(document.FirstChildElement());
    }
    ~BigMap()
    {
        base::DeleteAll(points);
        base::DeleteAll(links);
    }
};

void BuildPathsLargeMap(benchmark::State& state)
{
    BigMap big;
    TDRoadNetwork network(big.points, big.links);
    size_t records = 0;
    for (auto _ : state)
    {
        TDPathSet set;
        set.buildPaths(network, big.waves);
        records = set.records().size();
    }
    state.counters["points"] = static_cast<double>(big.points.size());
    state.counters["links"] = static_cast<double>(big.links.size());
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BuildPathsLargeMap)->Unit(benchmark::kMillisecond);
} // namespace
