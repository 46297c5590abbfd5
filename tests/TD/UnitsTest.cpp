// Units: health by difficulty, damage, bounty, splash, immunities, holds, raising, death and
// exploding, and the straight walker.
#include "BattleFixture.h"

#include "Source/TD/Level/TDWaveEntry.h"

#include <cmath>

using tdtest::BattleFixture;

namespace
{
// A bullet of a tower of that kind at (x, y), aimed at target.
struct Shot
{
    TDTower tower;
    std::unique_ptr<TDBullet> bullet;
    Shot(TDMap& m, i32 towerId, TDUnit* target, float x, float y) : tower(m)
    {
        tower.init(towerId);
        tower.mX = x;
        tower.mY = y;
        bullet = std::make_unique<TDBullet>(m, &tower, target);
        bullet->mX = x;
        bullet->mY = y;
    }
};
} // namespace

TEST_F(BattleFixture, HealthFollowsTheDifficultyHitsRevealAndTheBountyUsesSinglePrecisionCeilAndIncomeTowers)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"1\" y=\"-65\"/><e id=\"1\" y=\"-65\"/></wave>" +
                     std::string("<wave spawn=\"1\"><e id=\"1\"/></wave>"));
    run(0.1f);
    TDUnit* u = unit(0);
    TDUnit* next = unit(1);
    ASSERT_NE(next, nullptr);
    EXPECT_FLOAT_EQ(u->maxHealth(), 20.0f);
    for (auto [mode, health] : {std::pair{kDifficultyEasy, 18.0f},
                                {kDifficultyHard, 22.0f},
                                {kDifficultyHardcore, 20.0f},
                                {kDifficultyNormal, 20.0f}})
    {
        m.mMode = mode;
        EXPECT_FLOAT_EQ(u->maxHealth(), health) << static_cast<i32>(mode);
    }
    u->mEntry->mExtraHealth = 10;
    EXPECT_FLOAT_EQ(u->maxHealth(), 25.0f);

    // Dying units take no damage; hits reveal hidden units.
    u->mHiddenTime = 5.0f;
    u->mAlphaTarget = 0.4f;
    u->damage(2.0f);
    EXPECT_EQ(u->mHiddenTime, 0.0f);
    EXPECT_EQ(u->mAlphaTarget, 1.0f);
    EXPECT_EQ(sounds.played.back(), L"enemy1hit");
    u->damage(-5.0f); // heals
    EXPECT_FLOAT_EQ(u->mHealth, 23.0f);
    for (TDUnitState dying : {kUnitDying, kUnitFading})
    {
        u->mState = dying;
        u->damage(50.0f);
        EXPECT_FLOAT_EQ(u->mHealth, 23.0f);
    }

    // One hold per tower, but two towers may each hold.
    u->mState = kUnitWalking;
    m.mPrototypes.findById(100)->hold = true;
    Shot first(m, 100, u, 0.0f, 100.0f);
    Shot second(m, 100, u, 0.0f, 100.0f);
    u->onHit(*first.bullet, true);
    u->onHit(*first.bullet, true);
    EXPECT_EQ(u->mModifiers.size(), 1u);
    u->onHit(*second.bullet, true);
    EXPECT_EQ(u->mModifiers.size(), 2u);
    u->removeModifiersOf(&first.tower);
    EXPECT_EQ(u->mModifiers.size(), 1u);
    u->removeModifiersOf(&second.tower);

    // m = 0.5, b = 0 (no income tower): ceil(5) + trunc(0.5) + 10 = 15.
    u->mState = kUnitWalking;
    m.mEnemyCostBonus = 0.5f;
    i32 before = m.mStats.mKillScore;
    u->mHealth = 0.0f;
    m.update(1.0f / 60.0f);
    EXPECT_EQ(m.mStats.mKillScore - before, 15);
    EXPECT_EQ(m.mIndicators.items.back()->mText, L"+15");
    EXPECT_EQ(m.mIndicators.items.back()->mIconSlot, 3);
    EXPECT_EQ(sounds.played.back(), L"enemy1die");

    // An income tower in range ("health" 50: b = 0.5): ceil(5) + trunc(5.5) + 10 = 20.
    ASSERT_NE(m.buildTower(0, 300), nullptr);
    next->mDrawPos[0] = 250.0f;
    next->mDrawPos[1] = 100.0f;
    EXPECT_FLOAT_EQ(m.killBonusFactor(next), 0.5f);
    before = m.mStats.mKillScore;
    next->mHealth = 0.0f;
    m.update(1.0f / 60.0f);
    EXPECT_EQ(m.mStats.mKillScore - before, 20);
}

TEST_F(BattleFixture, SplashFallsOffAndNeverRecurses)
{
    TDMap& m = start(tdtest::kThreeBrutes);
    run(0.05f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 3u);
    TDUnit* a = unit(0);
    TDUnit* b = unit(1);
    TDUnit* c = unit(2);
    tdtest::place(a, 300.0f, 100.0f);
    tdtest::place(b, 315.0f, 100.0f);     // 15 from the impact: (60 - 15) / 60 of the damage
    tdtest::place(c, 360.0f, 100.0f);     // exactly r away: nothing
    Shot shot(m, 600, a, 300.0f, 100.0f); // strength 8, ammo 2003 with r 60, splash
    a->onHit(*shot.bullet, true);
    EXPECT_FLOAT_EQ(a->mHealth, 92.0f);
    EXPECT_FLOAT_EQ(b->mHealth, 100.0f - 8.0f * 45.0f / 60.0f);
    EXPECT_FLOAT_EQ(c->mHealth, 100.0f);
    // One area mark, for the direct hit only.
    i32 areas = 0;
    for (TDModifier* mod : m.mModifiers)
        areas += mod->mKind == kModifierAreaDamage;
    EXPECT_EQ(areas, 1);
}

TEST_F(BattleFixture, ImmunitiesShowTheImmuneIconAndBlockTheHit)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"13\" y=\"-65\"/><e id=\"12\" y=\"-65\"/></wave><wave spawn=\"1\"><e "
                     "id=\"1\"/></wave>");
    run(0.05f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 2u);
    TDUnit* fireOnly = unit(0);
    Shot homing(m, 200, fireOnly, 0.0f, 100.0f); // ammo 2002: allowed
    fireOnly->onHit(*homing.bullet, true);
    EXPECT_FLOAT_EQ(fireOnly->mHealth, 46.0f);
    float health = fireOnly->mHealth;
    fireOnly->mHealth = 0.0f; // a unit at 0 health is not hit again
    fireOnly->onHit(*homing.bullet, true);
    EXPECT_EQ(fireOnly->mHealth, 0.0f);
    EXPECT_TRUE(fireOnly->mModifiers.empty());
    fireOnly->mHealth = health;
    m.mPrototypes.findById(200)->ammoId = 2004; // any ammo outside 2001..2003
    fireOnly->onHit(*homing.bullet, true);
    EXPECT_FLOAT_EQ(fireOnly->mHealth, 46.0f);
    EXPECT_EQ(m.mIndicators.items.back()->mKind, kIndicatorImmune);
    EXPECT_TRUE(m.mIndicators.items.back()->mText.empty());

    TDUnit* icy = unit(1);
    m.mPrototypes.findById(200)->dot = true;
    icy->onHit(*homing.bullet, true);
    EXPECT_FLOAT_EQ(icy->mHealth, 50.0f);
    EXPECT_TRUE(icy->mModifiers.empty());
}

TEST_F(BattleFixture, DeadUnitIsRaisedByANearbyRaiserThatIsNotHeldStill)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"1\" y=\"-65\"/><e id=\"1\" y=\"-65\"/><e id=\"9\" y=\"-65\"/></wave>"
                     "<wave spawn=\"1\"><e id=\"1\"/></wave>");
    run(0.5f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 3u);
    TDUnit* raiser = unit(2);
    auto dieBeside = [&](TDUnit* dead)
    {
        raiser->mPos[0] = dead->mPos[0] + 10.0f;
        raiser->mPos[1] = dead->mPos[1];
        dead->mHealth = 0.0f;
        dead->update(0.01f); // dies; no death frames: ends at once
        dead->update(0.01f);
        EXPECT_EQ(dead->mAlive, 0);
    };
    // A raiser held in place (a hold or a stun takes its whole speed) raises no one.
    raiser->mSpeedPenalty = 30.0f;
    dieBeside(unit(0));
    EXPECT_EQ(m.mWaves.mUnits.size(), 3u);
    EXPECT_NE(raiser->mState, kUnitSpecial);
    // Slowed, it still raises.
    raiser->mSpeedPenalty = 15.0f;
    TDUnit* dead = unit(1);
    dieBeside(dead);
    ASSERT_EQ(m.mWaves.mUnits.size(), 4u);
    TDUnit* skeleton = unit(3);
    EXPECT_EQ(skeleton->protoId(), 39);
    EXPECT_EQ(raiser->mState, kUnitSpecial);
    EXPECT_FLOAT_EQ(skeleton->mPos[0], dead->mPos[0]);
    // A skeleton is never raised again.
    skeleton->mHealth = 0.0f;
    skeleton->mState = kUnitWalking;
    raiser->mPos[0] = skeleton->mPos[0];
    skeleton->update(0.01f);
    skeleton->update(0.01f);
    EXPECT_EQ(m.mWaves.mUnits.size(), 4u);
}

TEST_F(BattleFixture, DeathWaitsForItsFramesThenFadesOut)
{
    sprites.counts[{1, "death"}] = 5; // 0.5 s at 10 fps
    TDMap& m = start("<wave spawn=\"1\"><e id=\"1\" y=\"-65\"/></wave><wave spawn=\"1\"><e id=\"1\"/></wave>");
    run(1.0f);
    TDUnit* u = unit(0);
    u->mHealth = 0.0f;
    m.update(0.01f);
    EXPECT_EQ(u->mState, kUnitDying);
    for (int i = 0; i < 36; ++i)
        u->update(0.0125f);
    EXPECT_EQ(u->mState, kUnitDying); // 0.45 s of 0.5
    for (int i = 0; i < 6; ++i)
        u->update(0.0125f);
    EXPECT_EQ(u->mState, kUnitFading);
    EXPECT_EQ(u->mAlive, 1);
    for (int i = 0; i < 60; ++i)
        u->update(0.0125f);
    EXPECT_EQ(u->mAlive, 0);
}

TEST_F(BattleFixture, ExplodingUnitHurtsItsNeighbours)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"15\" y=\"-65\"/><e id=\"2\" y=\"-65\"/><e id=\"2\" "
                     "y=\"-65\"/></wave><wave spawn=\"1\"><e id=\"1\"/></wave>");
    run(0.05f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 3u);
    unit(0)->mPos[0] = 100.0f;
    unit(1)->mPos[0] = 160.0f; // at the radius: hit
    unit(2)->mPos[0] = 161.0f;
    unit(0)->mHealth = 0.0f;
    unit(0)->update(0.01f);
    EXPECT_FLOAT_EQ(unit(1)->mHealth, 70.0f);
    EXPECT_FLOAT_EQ(unit(2)->mHealth, 100.0f);
    EXPECT_EQ(particles.count(L"mg_00"), 1u);
}

TEST_F(BattleFixture, StraightWalkerIgnoresSlowsAndFacesItsTarget)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"14\" y=\"-65\"/></wave><wave spawn=\"1\"><e id=\"1\"/></wave>");
    run(0.02f);
    TDUnit* u = unit(0);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->mWaypoints, (std::vector<i32>{1, 3}));
    float x = u->mPos[0];
    u->mSpeedPenalty = 100.0f;
    u->update(0.1f);
    EXPECT_NEAR(u->mPos[0] - x, 10.0f, 0.01f);
    EXPECT_FALSE(u->mFacingLeft);
    run(20.0f);
    EXPECT_EQ(m.mStats.mUnitsThrough, 1);
}

TEST_F(BattleFixture, ALinkDrawnAgainstTheRouteIsWalkedForwardOnTheUnitsOwnSide)
{
    // The second road runs from the goal back to the middle point: units take it the other way.
    std::string level =
        tdtest::battleLevel("<wave spawn=\"1\"><e id=\"1\" y=\"-130\"/></wave><wave spawn=\"1\"><e id=\"1\"/></wave>");
    const std::string forward = "<link sid=\"2\" eid=\"3\" anchor_x=\"750\" anchor_y=\"100\"/>";
    level.replace(level.find(forward), forward.size(), "<link sid=\"3\" eid=\"2\" anchor_x=\"750\" anchor_y=\"100\"/>");
    map = std::make_unique<TDMap>(services, profiles);
    map->mMode = kDifficultyNormal;
    files.put(L"td/levels_normal/level_01_01.xml", level);
    ASSERT_EQ(map->loadLevel(), QL_OK);
    ASSERT_EQ(map->mLinks.size(), 2u);
    EXPECT_TRUE(map->mPaths.has(map->mLinks[1], -20)) << "the level start builds the line walked there";
    run(0.05f);
    TDUnit* u = unit(0);
    ASSERT_NE(u, nullptr);
    // Side offset 20 is 20 to the walker's right (y + 20 walking toward +x) on both roads.
    float lastX = u->mPos[0], widest = 0.0f, lowest = 1e9f, highest = -1e9f;
    bool facedLeft = false;
    int backward = 0;
    while (map->mStats.mUnitsThrough == 0 && map->mTime < 30.0f)
    {
        map->update(1.0f / 60.0f);
        if (map->mWaves.mUnits.empty() || unit(0) != u || !u->mAlive)
            break;
        backward += u->mPos[0] < lastX - 1e-3f ? 1 : 0;
        widest = std::max(widest, u->mPos[0] - lastX);
        lastX = u->mPos[0];
        lowest = std::min(lowest, u->mPos[1]);
        highest = std::max(highest, u->mPos[1]);
        facedLeft = facedLeft || u->mFacingLeft;
    }
    EXPECT_EQ(backward, 0);
    EXPECT_GT(lastX, 900.0f) << "it walked the second road";
    EXPECT_EQ(map->mStats.mUnitsThrough, 1);
    EXPECT_LT(widest, 60.0f) << "no jump along the road";
    EXPECT_NEAR(lowest, 120.0f, 0.5f);
    EXPECT_NEAR(highest, 120.0f, 0.5f);
    EXPECT_FALSE(facedLeft);
}
