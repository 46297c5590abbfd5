// Path geometry: points and steps on a path, side offsets, tier-chain costs, link curves and the health factor.
#include "BattleFixture.h"
#include "Core/Base/OwnedList.h"
#include "Source/TD/Level/TDWaveEntry.h"

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

TEST(Geometry, PointsAndStepsOnAPathClampAndNeverGiveNaNAndChainCostsSumTiersOrHaveNone)
{
    std::vector<TDPathPoint*> path = line(21);
    float x, y;
    for (auto [at, want] : {std::pair{0.5f, 100.0f}, {1.0f, 200.0f}, {0.525f, 105.0f}, {1.05f, 200.0f}, {-0.5f, 0.0f}})
    {
        TDMap::getPointOnPath(path, at, x, y);
        EXPECT_NEAR(x, want, 1e-3f) << at;
    }
    TDMap::getPointOnPath({}, 0.5f, x, y);
    EXPECT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(TDMap::advanceOnPath(path, 0.0f, 10.0f), 0.05f);
    EXPECT_EQ(TDMap::advanceOnPath(path, 0.01f, -10.0f), 0.0f);
    std::vector<TDPathPoint*> one = line(1);
    EXPECT_EQ(TDMap::advanceOnPath(one, 0.3f, 1.0f), 1.0f);
    one.push_back(new TDPathPoint(*one[0]));
    EXPECT_EQ(TDMap::advanceOnPath(one, 0.3f, 1.0f), 1.0f);
    base::DeleteAll(path);
    base::DeleteAll(one);
    for (auto [y, offset] : {std::pair{-65.0f, 0}, {-130.0f, 20}, {0.0f, -20}, {-100.0f, 10}})
        EXPECT_EQ(tdSideOffset(y), offset) << y;

    // Chain costs sum the tiers down to the root; a chain that never gets there has no price.
    TDPrototype base, second, third, loop, orphan;
    auto tier = [](TDPrototype& p, i32 level, i32 require, float cost)
    {
        p.levelId = level;
        p.require = require;
        p.cost = cost;
    };
    tier(base, 1, 0, 70);
    tier(second, 2, 1, 90);
    tier(third, 3, 2, 120);
    tier(loop, 9, 9, 1);
    tier(orphan, 5, 55, 5);
    const std::vector<const TDPrototype*> chain{&base, &second, &third, &loop, &orphan};
    EXPECT_EQ(TDMap::getChainCost(0, chain, &base), 70.0f);
    EXPECT_EQ(TDMap::getChainCost(0, chain, &third), 280.0f);
    EXPECT_EQ(TDMap::getChainCost(1, chain, &third), 210.0f) << "from a tower already on tier 1";
    EXPECT_FALSE(TDMap::getChainCost(0, chain, &orphan));
    EXPECT_FALSE(TDMap::getChainCost(0, chain, &loop));
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
    const std::pair<TDDifficulty, float> kFactors[] = {
        {kDifficultyEasy, -0.1f}, {kDifficultyHard, 0.1f}, {kDifficultyHardcore, 0.0f}};
    for (auto [mode, factor] : kFactors)
    {
        m.mMode = mode;
        EXPECT_FLOAT_EQ(m.getHealthFactor(), factor) << static_cast<i32>(mode);
    }
    i32 bx, by;
    m.mScale = 2.0f;
    m.mOffsetX = 20.0f;
    m.mOffsetY = 10.0f;
    m.screenToBattle(100.0f, 50.0f, bx, by);
    EXPECT_EQ(std::pair(bx, by), std::pair(40, 20));
}
