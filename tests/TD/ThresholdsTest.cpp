// Distances between their end points: the unit grid's cells against a full scan, blocking and
// slowing units around a tower, the income tower's kill bonus, area and booster reach, each
// strictly inside, at, just past the edge and in the middle of the range.
#include "BattleFixture.h"

#include "Source/TD/Units/TDBattleStats.h"
#include "Source/TD/Units/TDUnitGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using tdtest::BattleFixture;
using tdtest::MapFixture;
using tdtest::place;

namespace
{
// A wave of `count` brutes that all walk on at once.
std::string Brutes(int count)
{
    std::string wave = "<wave spawn=\"1\">";
    for (int i = 0; i < count; ++i)
        wave += "<e id=\"2\" y=\"-65\"/>";
    return wave + "</wave><wave spawn=\"1\"><e id=\"1\"/></wave>";
}

// The grid's answer must hold every unit inside the square of half-side reach, once, in list
// order, and nothing that is not a unit.
::testing::AssertionResult CoversSquare(const TDUnitGrid& grid, const base::OwnedList<TDUnit>& units, float x, float y,
                                        float reach)
{
    std::vector<i32> got;
    if (!grid.query(x, y, reach, got))
        return ::testing::AssertionFailure() << "no answer";
    if (!std::is_sorted(got.begin(), got.end()) || std::adjacent_find(got.begin(), got.end()) != got.end())
        return ::testing::AssertionFailure() << "not ascending and unique";
    for (i32 index : got)
        if (index < 0 || static_cast<size_t>(index) >= units.size())
            return ::testing::AssertionFailure() << "index " << index << " is no unit";
    for (size_t i = 0; i < units.size(); ++i)
    {
        const float dx = std::fabs(units[i]->mPos[0] - x), dy = std::fabs(units[i]->mPos[1] - y);
        if (dx <= reach && dy <= reach && !std::binary_search(got.begin(), got.end(), static_cast<i32>(i)))
            return ::testing::AssertionFailure()
                   << "unit " << i << " at (" << units[i]->mPos[0] << ", " << units[i]->mPos[1]
                   << ") missed by a query at (" << x << ", " << y << ") reaching " << reach;
    }
    return ::testing::AssertionSuccess();
}
} // namespace

TEST_F(BattleFixture, TheUnitGridFindsEveryUnitNearACellEdgeAndTowersSeeWhatAFullScanSees)
{
    constexpr int kUnits = 24;
    TDMap& m = start(Brutes(kUnits));
    TDTower* tower = m.buildTower(0, 100); // fires at units less than 100 away
    ASSERT_NE(tower, nullptr);
    run(0.1f);
    ASSERT_EQ(m.mWaves.mUnits.size(), static_cast<size_t>(kUnits));
    const base::OwnedList<TDUnit>& units = m.mWaves.mUnits;

    std::mt19937 random(99);
    TDUnitGrid grid;
    // Spans: inside one cell, a few 64-unit cells, and so wide that the cells grow past 64.
    for (float span : {40.0f, 300.0f, 900.0f, 100000.0f})
        for (int round = 0; round < 6; ++round)
        {
            SCOPED_TRACE("span " + std::to_string(span) + ", round " + std::to_string(round));
            // Half the units exactly on a line between cells (multiples of 64 from the first),
            // the rest anywhere; one without a position.
            std::uniform_real_distribution<float> anywhere(0.0f, span);
            for (int i = 0; i < kUnits; ++i)
            {
                float x = anywhere(random), y = anywhere(random);
                if (i % 2 == 1)
                {
                    x = 64.0f * std::floor(x / 64.0f);
                    y = 64.0f * std::floor(y / 64.0f);
                }
                place(units[static_cast<size_t>(i)], i == 0 ? 0.0f : x, i == 0 ? 0.0f : y);
            }
            units[5]->mPos[0] = std::numeric_limits<float>::quiet_NaN();
            grid.build(units);
            ASSERT_TRUE(grid.valid());
            std::vector<i32> all;
            ASSERT_TRUE(grid.query(span / 2, span / 2, 2 * span, all));
            EXPECT_EQ(all.size(), static_cast<size_t>(kUnits - 1)) << "every unit but the one at no position";
            EXPECT_FALSE(std::binary_search(all.begin(), all.end(), 5));

            for (int q = 0; q < 40; ++q)
            {
                const size_t pick = random() % kUnits;
                const TDUnit* near = units[pick == 5 ? 6 : pick]; // not the one at no position
                // Centred on a unit, on a cell line or anywhere; reaches of nothing, one cell,
                // in between, and beyond the grid on one side.
                const float x = q % 3 == 0 ? near->mPos[0] : (q % 3 == 1 ? 64.0f * (q % 7) : anywhere(random));
                const float y = q % 3 == 0 ? near->mPos[1] - 0.5f : anywhere(random);
                for (float reach : {0.0f, 1.0f, 63.5f, 64.0f, 100.0f, 101.0f, span / 3})
                    ASSERT_TRUE(CoversSquare(grid, units, x, y, reach));
            }
            ASSERT_TRUE(CoversSquare(grid, units, -5.0f, -5.0f, 5.0f)) << "outside, touching the first unit";
            std::vector<i32> none;
            EXPECT_TRUE(grid.query(-500.0f, -500.0f, 10.0f, none));
            EXPECT_TRUE(none.empty());
        }

    // The battle's own grid: units around the tower at distances just inside, at and past 100,
    // across cell lines; a tower's targets are the same whether the grid answers or the list.
    const float cx = tower->mX, cy = tower->mY;
    std::vector<TDUnit*> byGrid, byScan;
    for (int round = 0; round < 30; ++round)
    {
        for (int i = 0; i < kUnits; ++i)
        {
            const float angle = static_cast<float>(random() % 3600) / 10.0f * 3.14159265f / 180.0f;
            const float distances[] = {99.9f, 100.0f, 100.1f, 50.0f, 99.0f, 250.0f};
            const float d = distances[(i + round) % 6];
            place(units[static_cast<size_t>(i)], cx + d * std::cos(angle), cy + d * std::sin(angle));
        }
        m.mUnitGrid.build(units);
        tower->collectTargets(byGrid, 0);
        m.mUnitGrid.clear();
        tower->collectTargets(byScan, 0);
        ASSERT_EQ(byGrid, byScan) << "round " << round;
        for (int i = 0; i < kUnits; ++i)
        {
            const TDUnit* u = units[static_cast<size_t>(i)];
            if (std::hypot(u->mPos[0] - cx, u->mPos[1] - cy) >= 99.95f)
                continue;
            EXPECT_NE(std::find(byScan.begin(), byScan.end(), u), byScan.end()) << "unit " << i;
        }
    }
    // A rebuild after the units moved forgets where they were.
    for (int i = 0; i < kUnits; ++i)
        place(units[static_cast<size_t>(i)], 5000.0f + static_cast<float>(i), 5000.0f);
    m.mUnitGrid.build(units);
    tower->collectTargets(byGrid, 0);
    EXPECT_TRUE(byGrid.empty());
    m.mUnitGrid.clear();
}

TEST_F(BattleFixture, BlockersAndSlowersAndIncomeTowersReachToTheirEdgeAndNoFurther)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"7\" y=\"-65\"/><e id=\"8\" y=\"-65\"/></wave><wave spawn=\"1\"><e "
                     "id=\"1\"/></wave>");
    TDTower* t = m.buildTower(0, 100);
    ASSERT_NE(t, nullptr);
    run(0.1f);
    TDUnit* blocker = unit(0); // "r" 100: blocks within 50
    TDUnit* slower = unit(1);  // "r" 100: slows within 100
    ASSERT_NE(slower, nullptr);
    struct Case
    {
        float distance;
        bool blocked;
        bool slowed;
    };
    const Case cases[] = {{0.0f, true, true},     {25.0f, true, true},   {49.9f, true, true},  {50.0f, true, true},
                          {50.1f, false, true},   {75.0f, false, true},  {99.9f, false, true}, {100.0f, false, true},
                          {100.1f, false, false}, {150.0f, false, false}};
    // Straight above, and on a diagonal so that no single axis decides.
    for (bool diagonal : {false, true})
        for (const Case& c : cases)
        {
            const float dx = diagonal ? c.distance * 0.6f : 0.0f, dy = diagonal ? c.distance * 0.8f : c.distance;
            place(blocker, t->mX + dx, t->mY - dy);
            place(slower, 3000.0f, 3000.0f);
            EXPECT_EQ(m.isTowerBlocked(t), c.blocked) << c.distance << (diagonal ? " diagonal" : "");
            EXPECT_FALSE(m.isTowerDebuffed(t)) << "a blocker does not slow";
            place(blocker, 3000.0f, 3000.0f);
            place(slower, t->mX - dx, t->mY + dy);
            EXPECT_EQ(m.isTowerDebuffed(t), c.slowed) << c.distance << (diagonal ? " diagonal" : "");
            EXPECT_FALSE(m.isTowerBlocked(t)) << "a slower does not block";
        }

    // The same rule while the battle holds its list of blockers (during the towers' update).
    m.mTowerBlockers = {blocker, slower};
    m.mBlockersValid = true;
    for (const Case& c : cases)
    {
        place(blocker, t->mX, t->mY + c.distance);
        place(slower, t->mX + c.distance, t->mY);
        EXPECT_EQ(m.isTowerBlocked(t), c.blocked) << c.distance << " from the list";
        EXPECT_EQ(m.isTowerDebuffed(t), c.slowed) << c.distance << " from the list";
    }
    m.mBlockersValid = false;
    m.mTowerBlockers.clear();

    // An income tower ("r" 200, "health" 50) adds 0.5 for a kill within 100 of it.
    TDTower* income = m.buildTower(1, 300);
    ASSERT_NE(income, nullptr);
    ASSERT_FLOAT_EQ(income->range(), 200.0f);
    for (const Case& c : cases)
    {
        place(slower, income->mX - c.distance, income->mY);
        EXPECT_FLOAT_EQ(m.killBonusFactor(slower), c.slowed ? 0.5f : 0.0f) << c.distance;
    }
}

TEST_F(BattleFixture, AreaAndBoosterReachCountTheirEdgeAndTheMiddleButNotPastIt)
{
    TDMap& m = start(tdtest::kThreeBrutes);
    run(0.1f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 3u);
    // An area of diameter 120 takes units up to 60 away, edge included.
    std::vector<TDUnit*> found;
    for (float d : {0.0f, 30.0f, 59.9f, 60.0f, 60.1f, 90.0f})
    {
        place(unit(0), 400.0f + d * 0.6f, 300.0f + d * 0.8f);
        place(unit(1), 400.0f - d, 300.0f);
        place(unit(2), 2000.0f, 2000.0f);
        m.mWaves.unitsInRadius(400.0f, 300.0f, 120.0f, found);
        const size_t expected = d <= 60.0f ? 2u : 0u;
        EXPECT_EQ(found.size(), expected) << d;
    }
    unit(0)->mAlive = 0;
    place(unit(0), 400.0f, 300.0f);
    m.mWaves.unitsInRadius(400.0f, 300.0f, 120.0f, found);
    EXPECT_EQ(std::count(found.begin(), found.end(), unit(0)), 0) << "the dead are not in an area";
    unit(0)->mAlive = 1;

    // A booster ("r" 400 on a spot of "radius_mult" 1) lifts towers up to 200 away.
    const std::string spot = "<spot x=\"%X\" y=\"160\"><p name=\"radius_mult\" value=\"1\"/><p name=\"damage_mult\" "
                             "value=\"0\"/><p name=\"income_mult\" value=\"1\"/></spot>";
    std::string spots;
    for (int x : {450, 550, 650})
    {
        std::string s = spot;
        s.replace(s.find("%X"), 2, std::to_string(x));
        spots += s;
    }
    // Spots at 250 (the booster), 750 (500 away), 450 (200), 550 (300) and 650 (400).
    TDMap& boosted = start(tdtest::kThreeBrutes, spots);
    TDTower* booster = boosted.buildTower(0, 400);
    ASSERT_NE(booster, nullptr);
    std::vector<TDTower*> others;
    for (i32 spotIndex : {2, 3, 1})
        others.push_back(boosted.buildTower(spotIndex, 100));
    for (TDTower* other : others)
        ASSERT_NE(other, nullptr);
    const float gaps[] = {100.0f, 199.9f, 200.0f, 200.1f, 300.0f};
    for (float gap : gaps)
    {
        others[0]->mX = booster->mX + gap;
        boosted.update(1.0f / 60.0f);
        EXPECT_EQ(others[0]->mBoosted, gap <= 200.0f) << gap;
        EXPECT_FALSE(others[2]->mBoosted) << "500 away";
    }
}

TEST_F(BattleFixture, StarsFollowTheHealthLeftAtEachThresholdAndBetween)
{
    TDMap& m = start(tdtest::kThreeBrutes);
    m.mScreen = kScreenWon;
    m.mMaxHealth = 20.0f;
    struct Case
    {
        float health;
        i32 stars;
    };
    // Whole health gives three; half or more two; anything left one.
    for (const Case& c : {Case{20.0f, 3}, Case{19.9f, 2}, Case{15.0f, 2}, Case{10.1f, 2}, Case{10.0f, 2}, Case{9.9f, 1},
                          Case{5.0f, 1}, Case{0.1f, 1}, Case{0.0f, 0}})
    {
        m.mHealth = c.health;
        EXPECT_EQ(m.resultStars(), c.stars) << c.health << " of 20";
    }
    m.mHealth = 20.0f;
    m.mScreen = kScreenLost;
    EXPECT_EQ(m.resultStars(), 0) << "only a won level has stars";
}

TEST_F(MapFixture, AnEpisodeOpensAtItsStarCountAndHardcoreAtThreePerLevelNotOneStarBefore)
{
    // Episode 1 asks for 6 stars; episode 0 has three levels (hardcore at 9).
    TDMap& m = make();
    ASSERT_EQ(m.parseLevelText("<map/>", L"x.xml"), QL_OK);
    const auto stars = [&](i32 level, i32 count)
    {
        TDLevelResult r;
        r.stars = count;
        m.mProgress->saveLevelResult(0, level, kDifficultyNormal, r);
    };
    struct Step
    {
        i32 level, count;
        bool episode, hardcore;
    };
    // Totals 1, 3, 5 (one short), 6 (exactly), 8 (one short of hardcore), 9.
    for (const Step& s : {Step{0, 1, false, false}, Step{1, 2, false, false}, Step{0, 3, false, false},
                          Step{1, 3, true, false}, Step{2, 2, true, false}, Step{2, 3, true, true}})
    {
        stars(s.level, s.count);
        const i32 total = m.mProgress->getStarTotal(-1);
        EXPECT_EQ(m.isEpisodeUnlocked(1), s.episode) << total << " stars";
        EXPECT_EQ(m.isHardcoreUnlocked(0), s.hardcore) << total << " stars";
        EXPECT_TRUE(m.isEpisodeUnlocked(0)) << "the first episode asks for none";
    }
}

TEST_F(BattleFixture, PressesPickSpotsTowersAndUnitsUpToTheirEdge)
{
    TDMap& m = start(tdtest::kThreeBrutes);
    ASSERT_NE(m.mScenery, nullptr);
    ASSERT_GE(m.mScenery->spotFrames.size(), 2u);
    TDTower* tower = m.buildTower(0, 100);
    ASSERT_NE(tower, nullptr);
    run(0.1f);

    // A free spot answers presses up to 40 from its centre, edge included, in any direction.
    const TDSpotFrame& free = m.mScenery->spotFrames[1];
    const float sx = static_cast<float>(free.x) + 0.5f * static_cast<float>(free.width);
    const float sy = static_cast<float>(free.y) + 0.5f * static_cast<float>(free.height);
    for (const auto& [d, hit] : {std::pair{0.0f, true}, std::pair{20.0f, true}, std::pair{39.9f, true},
                                 std::pair{40.0f, true}, std::pair{40.1f, false}, std::pair{60.0f, false}})
    {
        EXPECT_EQ(m.findFreeSpotAt(sx + d, sy) == &free, hit) << d;
        EXPECT_EQ(m.findFreeSpotAt(sx - d * 0.6f, sy - d * 0.8f) == &free, hit) << d << " diagonal";
    }
    // The built spot is not free at any distance.
    const TDSpotFrame& built = m.mScenery->spotFrames[0];
    EXPECT_NE(m.findFreeSpotAt(static_cast<float>(built.x) + 0.5f * static_cast<float>(built.width),
                               static_cast<float>(built.y) + 0.5f * static_cast<float>(built.height)),
              &built);

    // A tower answers presses strictly closer than 50.
    for (const auto& [d, hit] : {std::pair{0.0f, true}, std::pair{25.0f, true}, std::pair{49.9f, true},
                                 std::pair{50.0f, false}, std::pair{50.1f, false}})
    {
        EXPECT_EQ(m.findTowerAt(tower->mX, tower->mY + d) == tower, hit) << d;
        EXPECT_EQ(m.findTowerAt(tower->mX - d * 0.8f, tower->mY - d * 0.6f) == tower, hit) << d << " diagonal";
    }

    // A unit answers presses inside its rectangle, edges included.
    TDUnit* u = unit(0);
    ASSERT_NE(u, nullptr);
    for (size_t i = 1; i < m.mWaves.mUnits.size(); ++i)
        place(unit(i), 2000.0f, 2000.0f);
    place(u, 600.0f, 400.0f);
    float x = 0, y = 0, w = 0, h = 0;
    u->getRect(x, y, w, h);
    ASSERT_GT(w, 2.0f);
    ASSERT_GT(h, 2.0f);
    for (const auto& [px, py, hit] :
         {std::tuple{x + w / 2, y + h / 2, true}, std::tuple{x, y, true}, std::tuple{x + w, y + h, true},
          std::tuple{x + w / 3, y + h, true}, std::tuple{x - 0.1f, y + h / 2, false},
          std::tuple{x + w + 0.1f, y + h / 2, false}, std::tuple{x + w / 2, y - 0.1f, false},
          std::tuple{x + w / 2, y + h + 0.1f, false}})
        EXPECT_EQ(m.findUnitAt(px, py) == u, hit) << px << ", " << py;
}

TEST(ComboWindow, KillsUpToOneSecondApartMakeAComboAndLaterOnesDoNot)
{
    // Two kills `gap` seconds apart (in frames of a tenth, then the rest), paid a second and a
    // half after the second.
    const auto bonusOf = [](float gap)
    {
        TDBattleStats stats;
        stats.addKill(0, 0.0f, 0.0f);
        float left = gap;
        for (; left > 0.1f; left -= 0.1f)
            stats.update(0.1f);
        stats.update(left);
        stats.addKill(0, 0.0f, 0.0f);
        for (int i = 0; i < 15; ++i)
            stats.update(0.1f);
        return stats.mComboBonus;
    };
    for (const auto& [gap, bonus] : {std::pair{0.0f, 3}, std::pair{0.25f, 3}, std::pair{0.5f, 3}, std::pair{0.99f, 3},
                                     std::pair{1.01f, 0}, std::pair{1.5f, 0}})
        EXPECT_EQ(bonusOf(gap), bonus) << gap << " s apart";

    // Exactly at the window: the timer reaches 1 without passing it.
    TDBattleStats edge;
    edge.addKill(0, 0.0f, 0.0f);
    edge.update(1.0f);
    edge.addKill(0, 0.0f, 0.0f);
    edge.update(1.5f);
    EXPECT_EQ(edge.mComboBonus, 3) << "one second apart is still a combo";
}

TEST_F(BattleFixture, ALyingGemIsPickedUpWithinItsRadiusAndNotOnePixelBeyond)
{
    TDMap& m = start("<wave spawn=\"1\" timeout=\"60\"><e id=\"1\"/></wave>");
    TDUnit stand(m, m.mWaves.mWaves[0]->mEntries[0]);
    m.mDropChanceOverride = 1.0f; // lies at once at (200, 200)
    auto* gem = new TDCrystallSpecial(m, stand);
    m.mDrops.push_back(gem);
    ASSERT_EQ(gem->mState, kDropLying);
    ASSERT_EQ(std::pair(gem->mX, gem->mY), std::pair(200.0f, 200.0f));
    // Squared distances below 1200 (a radius of about 34.6) pick it up.
    struct Case
    {
        i32 dx, dy;
        bool picked;
    };
    for (const Case& c : {Case{0, 0, true}, Case{17, 0, true}, Case{34, 0, true}, Case{-34, 0, true},
                          Case{35, 0, false}, Case{0, -35, false}, Case{20, 28, true}, Case{-20, -28, true},
                          Case{20, 29, false}, Case{24, 24, true}, Case{25, 25, false}, Case{60, 0, false}})
        EXPECT_EQ(m.findDropAt(200 + c.dx, 200 + c.dy) == gem, c.picked) << c.dx << ", " << c.dy;
}
