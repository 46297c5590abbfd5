#include "MapFixture.h"
#include "Source/TD/TDOwnedList.h"
#include "Source/TD/TDWaveEntry.h"

#include <cmath>

using tdtest::MapFixture;

namespace
{
std::vector<TDPathPoint*> line(int n)
{
    std::vector<TDPathPoint*> points;
    for (int i = 0; i < n; ++i)
    {
        TDPathPoint* p = new TDPathPoint();
        p->x = static_cast<float>(i) * 10.0f;
        p->y = 5.0f;
        points.push_back(p);
    }
    return points;
}
} // namespace

TEST(Geometry, PointOnPathInterpolatesAndClamps)
{
    std::vector<TDPathPoint*> path = line(21);
    float x, y;
    TDMap::getPointOnPath(path, 0.5f, x, y);
    EXPECT_EQ(x, 100.0f);
    TDMap::getPointOnPath(path, 1.0f, x, y);
    EXPECT_EQ(x, 200.0f);
    TDMap::getPointOnPath(path, 0.525f, x, y);
    EXPECT_NEAR(x, 105.0f, 1e-3f);
    TDMap::getPointOnPath(path, 1.05f, x, y);
    EXPECT_EQ(x, 200.0f);
    TDMap::getPointOnPath(path, -0.5f, x, y);
    EXPECT_EQ(x, 0.0f);
    TDMap::getPointOnPath({}, 0.5f, x, y);
    EXPECT_EQ(x, 0.0f);
    tdDeleteAll(path);
}

TEST(Geometry, AdvanceOnPathNeverGivesNaN)
{
    std::vector<TDPathPoint*> path = line(21);
    EXPECT_FLOAT_EQ(TDMap::advanceOnPath(path, 0.0f, 10.0f), 0.05f);
    EXPECT_EQ(TDMap::advanceOnPath(path, 0.01f, -10.0f), 0.0f);
    std::vector<TDPathPoint*> one = line(1);
    EXPECT_EQ(TDMap::advanceOnPath(one, 0.3f, 1.0f), 1.0f);
    one.push_back(new TDPathPoint(*one[0]));
    EXPECT_EQ(TDMap::advanceOnPath(one, 0.3f, 1.0f), 1.0f);
    tdDeleteAll(path);
    tdDeleteAll(one);
}

TEST(Geometry, SideOffsetFromTheEntryY)
{
    EXPECT_EQ(tdSideOffset(-65.0f), 0);
    EXPECT_EQ(tdSideOffset(-130.0f), 20);
    EXPECT_EQ(tdSideOffset(0.0f), -20);
    EXPECT_EQ(tdSideOffset(-100.0f), 10);
}

TEST(Geometry, ChainCostSumsTiersAndStopsOnBrokenChains)
{
    TDPrototype base, second, third, loop;
    base.levelId = 1;
    base.require = 0;
    base.cost = 70;
    second.levelId = 2;
    second.require = 1;
    second.cost = 90;
    third.levelId = 3;
    third.require = 2;
    third.cost = 120;
    loop.levelId = 9;
    loop.require = 9;
    loop.cost = 1;
    std::vector<TDPrototype*> chain{&base, &second, &third, &loop};
    EXPECT_EQ(TDMap::getChainCost(0, chain, &base), 70.0f);
    EXPECT_EQ(TDMap::getChainCost(0, chain, &third), 280.0f);
    TDPrototype orphan;
    orphan.require = 55;
    orphan.cost = 5;
    EXPECT_EQ(TDMap::getChainCost(0, chain, &orphan), 5.0f);
    EXPECT_EQ(TDMap::getChainCost(0, chain, &loop), 64.0f); // depth limit ends the loop
}

TEST_F(MapFixture, LinkGeometryAndHealthFactor)
{
    TDMap& m = make();
    m.mPoints.push_back(new TDPoint(1, 0, 0));
    m.mPoints.push_back(new TDPoint(2, 10, 0));
    m.mLinks.push_back(new TDLink(1, 2, 5, 0));
    m.mLinks.push_back(new TDLink(1, 42, 5, 0));
    EXPECT_NEAR(m.getLinkCurveLength(m.mLinks[0]), 9.0f, 1e-4f);
    EXPECT_EQ(m.getLinkCurveLength(nullptr), 0.0f);
    EXPECT_EQ(m.getLinkCurveLength(m.mLinks[1]), 0.0f);
    float nx, ny;
    m.getLinkNormal(m.mLinks[0], 0.5f, nx, ny);
    EXPECT_FLOAT_EQ(ny, 1.0f);
    float t = m.findLinkParameter(m.mLinks[0], 0.0f, 5.0f, 0.0f);
    EXPECT_NEAR(t, 0.5f, 0.002f);
    EXPECT_EQ(m.findLinkParameter(m.mLinks[0], 0.9f, 50.0f, 0.0f), 1.0f);
    EXPECT_EQ(TDMap::findLink(m.mLinks, m.mPoints[1], m.mPoints[0]), m.mLinks[0]);
    EXPECT_EQ(m.getLinkLength(m.mPoints[0], m.mPoints[1]), 10.0f);
    m.mMode = 0;
    EXPECT_FLOAT_EQ(m.getHealthFactor(), -0.1f);
    m.mMode = 2;
    EXPECT_FLOAT_EQ(m.getHealthFactor(), 0.1f);
    m.mMode = 3;
    EXPECT_EQ(m.getHealthFactor(), 0.0f);
}
