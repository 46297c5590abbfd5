// Road curves, routes, the per-level path set and its cache file.
#include "Core/Base/OwnedList.h"
#include "Source/TD/Level/TDPathCurve.h"
#include "Source/TD/Level/TDPathSet.h"
#include "Source/TD/Level/TDPathSolver.h"
#include "Source/TD/Units/TDWaveManager.h"
#include "support/TempDir.h"
#include <cstring> // before base::OwnedList.h, which needs size_t

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cmath>
#include <limits>

namespace
{
struct Graph
{
    std::vector<TDPoint*> points;
    std::vector<TDLink*> links;
    TDWaveManager waves;
    ~Graph()
    {
        base::DeleteAll(points);
        base::DeleteAll(links);
    }
    TDPoint* point(i32 id, float x, float y, const char* role = nullptr)
    {
        TDPoint* p = new TDPoint(id, x, y);
        if (role)
            p->properties.set(role, 1.0f);
        points.push_back(p);
        return p;
    }
    TDLink* link(i32 a, i32 b, float ax, float ay)
    {
        links.push_back(new TDLink(a, b, ax, ay));
        return links.back();
    }
    void wavesXml(const char* xml)
    {
        tinyxml2::XMLDocument document;
        document.Parse(xml);
        waves.loadWaves(document.FirstChildElement());
    }
    TDRoadNetwork network() const { return TDRoadNetwork(points, links); }
};

std::vector<TDPathPoint*> curve(TDCurve c, float offset)
{
    std::vector<TDPathPoint*> out;
    tdcurve::makeCurve(c, offset, 20, out);
    return out;
}
// The game's cache format (little-endian, no header) for a level of one link.
std::string writeCache(const TDPathSet& set)
{
    std::string out;
    auto put = [&](u32 v)
    {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto putF = [&](float f)
    {
        u32 v;
        std::memcpy(&v, &f, 4);
        put(v);
    };
    put(static_cast<u32>(set.records().size()));
    for (const TDPathRecord* record : set.records())
    {
        put(0);
        put(static_cast<u32>(record->lengths.size()));
        for (auto& [offset, length] : record->lengths)
        {
            put(static_cast<u32>(offset));
            putF(length);
        }
        put(static_cast<u32>(record->points.size()));
        for (auto& [offset, line] : record->points)
        {
            put(static_cast<u32>(offset));
            put(static_cast<u32>(line.size()));
            for (const TDPathPoint* p : line)
            {
                put(p->extra);
                for (float f : {p->normalX, p->normalY, p->x, p->y})
                    putF(f);
            }
        }
    }
    return out;
}
} // namespace

TEST(PathCurve, CurvedLinkStepsByEqualArcLengthAndDegenerateCurvesTerminate)
{
    std::vector<TDPathPoint*> line = curve({0, 0, 100, 100, 200, 0}, 0.0f);
    ASSERT_GE(line.size(), 20u);
    float first = std::hypot(line[1]->x - line[0]->x, line[1]->y - line[0]->y);
    for (size_t i = 1; i + 1 < line.size(); ++i)
        EXPECT_NEAR(std::hypot(line[i + 1]->x - line[i]->x, line[i + 1]->y - line[i]->y), first, 0.1f);
    EXPECT_NEAR(line[10]->x, 100.0f, 0.5f);
    base::DeleteAll(line);

    // Rounding leaves a length of almost nothing: the walk still ends, on the one place.
    std::vector<TDPathPoint*> point = curve({5, 5, 5, 5, 5, 5}, 0.0f);
    EXPECT_GE(point.size(), 2u);
    EXPECT_LE(point.size(), 21u);
    for (const TDPathPoint* p : point)
        EXPECT_NEAR(p->x, 5.0f, 1e-4f);
    std::vector<TDPathPoint*> origin = curve({0, 0, 0, 0, 0, 0}, 20.0f);
    EXPECT_EQ(origin.size(), 2u);
    base::DeleteAll(origin);
    float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<TDPathPoint*> broken = curve({nan, 0, 1, 1, 2, 2}, 0.0f);
    EXPECT_EQ(broken.size(), 2u);
    EXPECT_LE(tdcurve::advance({nan, 0, 1, 1, 2, 2}, 0.0f, 1.0f, 0.0f), 2.0f);
    base::DeleteAll(point);
    base::DeleteAll(broken);
}

TEST(PathSolver, ShortestRouteTiesToTheEarlierPointAndUnreachableGoals)
{
    Graph g;
    g.point(1, 0, 0);
    g.point(2, 100, 0);
    g.point(3, 50, 10);
    g.point(4, 50, -10);
    g.point(9, 500, 500);
    g.link(1, 2, 50, 0);
    g.link(1, 3, 25, 5);
    g.link(3, 2, 75, 5);
    g.link(1, 4, 25, -5);
    g.link(4, 2, 75, -5);
    g.link(2, 77, 0, 0); // names no point
    g.link(3, 3, 0, 0);  // to itself
    EXPECT_EQ(tdFindRoute(g.network(), g.points[0], g.points[1]), (std::vector<i32>{1, 2}));
    delete g.links[0]; // without the straight way, two equal ways remain
    g.links.erase(g.links.begin());
    EXPECT_EQ(tdFindRoute(g.network(), g.points[0], g.points[1]), (std::vector<i32>{1, 3, 2}));
    std::swap(g.points[2], g.points[3]);
    EXPECT_EQ(tdFindRoute(g.network(), g.points[0], g.points[1]), (std::vector<i32>{1, 4, 2}));
    EXPECT_TRUE(tdFindRoute(g.network(), g.points[0], g.points[4]).empty());
    EXPECT_TRUE(tdFindRoute(g.network(), g.points[0], nullptr).empty());
    TDPoint stranger(55, 0, 0);
    EXPECT_TRUE(tdFindRoute(g.network(), &stranger, g.points[1]).empty());
    EXPECT_EQ(tdFindRoute(g.network(), g.points[0], g.points[0]), (std::vector<i32>{1}));
}

TEST(PathSet, SharedLinksAreBuiltOncePerOffset)
{
    Graph g;
    g.point(1, 0, 0, "spawn");
    g.point(2, 0, 200, "spawn");
    g.point(3, 100, 100);
    g.point(4, 300, 100, "goal");
    g.link(1, 3, 50, 50);
    g.link(2, 3, 50, 150);
    g.link(3, 4, 200, 100);
    g.wavesXml(R"(<waves><wave spawn="1"><e id="0" y="-65"/><e id="0" y="-130"/></wave>
        <wave spawn="1"><e id="0" y="-65"/></wave><wave spawn="2"><e y="-65"/></wave>
        <wave spawn="-1"><e y="0"/></wave></waves>)");
    TDPathSet set;
    set.build(g.network(), g.waves, L"");
    ASSERT_EQ(set.records().size(), 3u);
    EXPECT_TRUE(set.has(g.links[0], 0));
    EXPECT_TRUE(set.has(g.links[0], 20));
    EXPECT_FALSE(set.has(g.links[1], 20));
    EXPECT_TRUE(set.has(g.links[2], 20));
    EXPECT_FALSE(set.has(g.links[2], -20)); // the "spawn -1" wave builds nothing
    std::vector<TDPathPoint*> out;
    set.find(g.links[2], 0, out);
    EXPECT_GE(out.size(), 20u);
    std::vector<TDPathPoint*> untouched{nullptr};
    set.find(g.links[1], 40, untouched);
    EXPECT_EQ(untouched.size(), 1u);
}

TEST(PathSet, NoSpawnNoGoalAndUnreachableBuildNothing)
{
    Graph g;
    g.point(1, 0, 0);
    g.point(2, 100, 0, "goal");
    g.link(1, 2, 50, 0);
    g.wavesXml(R"(<waves><wave spawn="1"><e y="-65"/></wave></waves>)");
    TDPathSet set;
    set.build(g.network(), g.waves, L"");
    EXPECT_TRUE(set.records().empty());

    g.points[0]->properties.set("spawn", 1.0f);
    g.points[1]->properties.set("goal", 0.0f);
    set.build(g.network(), g.waves, L"");
    EXPECT_TRUE(set.records().empty());

    g.point(3, 9, 9, "goal"); // isolated goal
    set.build(g.network(), g.waves, L"");
    EXPECT_TRUE(set.records().empty());
}

TEST(PathCache, RoundTripAndDamagedCachesAreDiscardedForBuiltPaths)
{
    Graph g;
    g.point(1, 0, 0, "spawn");
    g.point(2, 100, 0, "goal");
    g.link(1, 2, 50, 30);
    g.wavesXml(R"(<waves><wave spawn="1"><e y="-65"/></wave></waves>)");
    TDPathSet built;
    built.buildPaths(g.network(), g.waves);
    const std::string good = writeCache(built);

    testsupport::TempDir dir;
    dir.Write("level.cache", good);
    TDPathSet loaded;
    EXPECT_EQ(loaded.loadCache(dir.WPath("level.cache"), g.links), 0);
    ASSERT_EQ(loaded.records().size(), 1u);
    std::vector<TDPathPoint*> a, b;
    built.find(g.links[0], 0, a);
    loaded.find(g.links[0], 0, b);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(a.back()->x, b.back()->x);
    EXPECT_EQ(a.back()->normalY, b.back()->normalY);
    EXPECT_NE(loaded.loadCache(dir.WPath("missing.cache"), g.links), 0);

    std::string truncated = good.substr(0, good.size() - 7);
    std::string badIndex = good;
    badIndex[4] = 5;
    std::string hugeCount = good;
    hugeCount[0] = hugeCount[1] = hugeCount[2] = hugeCount[3] = '\xFF';
    std::string hugePoints = good;
    hugePoints[4 + 4 + 4 + 4 + 4 + 3] = '\x7F';
    for (const std::string& bytes : {truncated, badIndex, hugeCount, hugePoints, std::string("\x01")})
    {
        TDPathSet set;
        EXPECT_EQ(set.readCache(bytes, g.links), QL_FAIL);
        EXPECT_TRUE(set.records().empty());
        dir.Write("bad.cache", bytes);
        set.build(g.network(), g.waves, dir.WPath("bad.cache"));
        EXPECT_TRUE(set.has(g.links[0], 0));
    }
}
