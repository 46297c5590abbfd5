// Modifiers: ticks and durations, holds, summons, the towers and magic boosts, blasts, haste and
// invisibility.
#include "BattleFixture.h"

#include <array>
#include <cmath>

using tdtest::BattleFixture;
using tdtest::kThreeBrutes;
using tdtest::place;

namespace
{
struct CountingModifier : TDModifier
{
    i32 ticks = 0;
    CountingModifier(TDMap& m, float duration, float period) : TDModifier(m, "", 0.0f, duration, nullptr)
    {
        mTickPeriod = period;
    }
    void tick(TDUnit*, float) override { ++ticks; }
};
} // namespace

TEST_F(BattleFixture, HeldUnitsNeitherRegenerateNorHealNorSummon)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"5\" y=\"-65\"/><e id=\"4\" y=\"-65\"/><e id=\"2\" y=\"-65\"/></wave>"
                     "<wave spawn=\"1\"><e id=\"1\"/></wave>");
    run(0.05f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 3u);
    TDUnit* shaman = unit(0);
    TDUnit* healer = unit(1);
    TDUnit* brute = unit(2);
    // regen + summon: Regen first, then the summoner with a period in [4, 8).
    ASSERT_EQ(shaman->mModifiers.size(), 2u);
    EXPECT_NE(dynamic_cast<RegenModifier*>(shaman->mModifiers[0]), nullptr);
    EXPECT_NE(dynamic_cast<ShamanModifier*>(shaman->mModifiers[1]), nullptr);
    EXPECT_GE(shaman->mModifiers[1]->mTickPeriod, 4.0f);
    EXPECT_LT(shaman->mModifiers[1]->mTickPeriod, 8.0f);

    shaman->mHealth = 10.0f;
    brute->mHealth = 10.0f;
    place(healer, 100.0f, 100.0f);
    place(brute, 150.0f, 100.0f);
    for (TDUnit* u : {shaman, healer})
        for (TDModifier* mod : u->mModifiers)
        {
            u->mSpeedPenalty = 30.0f; // held
            mod->tick(u, 0.1f);
        }
    EXPECT_FLOAT_EQ(shaman->mHealth, 10.0f);
    EXPECT_FLOAT_EQ(brute->mHealth, 10.0f);
    EXPECT_TRUE(m.mModifiers.empty()); // no portal

    shaman->mSpeedPenalty = 0.0f;
    healer->mSpeedPenalty = 0.0f;
    shaman->mModifiers[0]->tick(shaman, 0.1f);
    EXPECT_FLOAT_EQ(shaman->mHealth, 14.0f);
    healer->mModifiers[0]->tick(healer, 0.1f);
    EXPECT_FLOAT_EQ(brute->mHealth, 20.0f);
    EXPECT_EQ(healer->mState, kUnitSpecial);
    shaman->mModifiers[1]->tick(shaman, 0.1f);
    EXPECT_EQ(shaman->mState, kUnitSpecial);
    ASSERT_EQ(m.mModifiers.size(), 1u);
    EXPECT_NE(dynamic_cast<ShamanPortal*>(m.mModifiers[0]), nullptr);
}

TEST_F(BattleFixture, PortalSummonsImpsOnTheSummonersPath)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"5\" y=\"-65\"/></wave><wave spawn=\"1\"><e id=\"1\"/></wave>");
    run(2.0f);
    TDUnit* shaman = unit(0);
    shaman->mModifiers[1]->mTickPeriod = 1000.0f; // only the portal made here
    shaman->mModifiers[1]->tick(shaman, 0.1f);
    ASSERT_EQ(m.mModifiers.size(), 1u);
    float x = shaman->mPos[0];
    // Portal: lifetime = the summoner's cooldown (4), one imp per "speed" (8) of ammo 2100.
    m.mModifiers[0]->tick(nullptr, 0.1f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 2u);
    TDUnit* imp = unit(1);
    EXPECT_EQ(imp->protoId(), 0);
    EXPECT_EQ(imp->mEntry->mState, kEntrySummoned);
    EXPECT_FLOAT_EQ(imp->mPos[0], x);
    EXPECT_EQ(imp->mLevel, 0);
    run(5.0f);
    EXPECT_TRUE(m.mModifiers.empty());
    // Its looping portal effect was told to finish.
    EXPECT_GE(particles.count(L"portal_1"), 1u);
}

TEST_F(BattleFixture, MissingSummonKindsGiveNoPortalAndNoUnit)
{
    files.put(L"td/units_sheet.csv",
              std::string(tdtest::kUnits)
                  .replace(std::string(tdtest::kUnits).find("\n0;"), 25, "\n99;5;40;0;1;10;1;0;0;0;0;"));
    TDMap& m = start("<wave spawn=\"1\"><e id=\"5\" y=\"-65\"/></wave><wave spawn=\"1\"><e id=\"1\"/></wave>");
    run(0.5f);
    TDUnit* shaman = unit(0);
    ASSERT_NE(shaman, nullptr);
    shaman->mModifiers[1]->tick(shaman, 0.1f);
    EXPECT_TRUE(m.mModifiers.empty());
}

TEST_F(BattleFixture, TowersBoostRaisesEveryTowerAndClearsItsMarksWhenItEnds)
{
    TDMap& m = start(kThreeBrutes);
    TDTower* a = m.buildTower(0, 100);
    TDTower* b = m.buildTower(1, 200);
    ASSERT_TRUE(m.castSpell(4, 500.0f, 100.0f)); // 3004: boost 50 %, 10 s
    m.update(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(a->mBonus.strength, 2.5f);
    EXPECT_FLOAT_EQ(a->mBonus.radius, 100.0f);
    EXPECT_FLOAT_EQ(b->mBonus.strength, 2.0f);
    EXPECT_TRUE(a->mImmune && b->mImmune);
    EXPECT_EQ(particles.count(L"hammer"), 2u);
    m.update(1.0f / 60.0f);
    EXPECT_EQ(particles.count(L"hammer"), 2u); // once per tower
    auto hammers = [&]
    {
        size_t n = 0;
        for (TDEffectHolder* e : m.mEffects)
            n += static_cast<tdtest::FakeEmitter*>(e->mEmitter.get())->name == L"hammer";
        return n;
    };
    EXPECT_EQ(hammers(), 2u);
    run(10.5f);
    EXPECT_FALSE(a->mImmune || b->mImmune);
    EXPECT_EQ(hammers(), 0u);
    EXPECT_FLOAT_EQ(a->mBonus.strength, 0.0f);
}

TEST_F(BattleFixture, MagicBoostSkipsBoostersReachesByTheSpotMultiplierAndSurvivesGoneHammers)
{
    particles.missing.insert(L"hammer");
    TDMap& m = start(kThreeBrutes, "<spot x=\"300\" y=\"160\"><p name=\"radius_mult\" value=\"1\"/></spot>");
    TDTower* booster = m.buildTower(2, 400); // r 400, "speed" 50: +50 %
    TDTower* plain = m.buildTower(0, 100);   // 50 away
    TDTower* far = m.buildTower(1, 100);     // 450 away
    ASSERT_TRUE(booster && plain && far);
    EXPECT_EQ(m.mTowers.front(), booster); // boosters update first
    m.update(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(plain->mBonus.strength, 2.5f);
    EXPECT_TRUE(plain->mBoosted);
    EXPECT_FLOAT_EQ(far->mBonus.strength, 0.0f);
    EXPECT_FLOAT_EQ(booster->mBonus.strength, 0.0f);
    // A spot without "radius_mult" reads 0 here: the boost reaches nobody.
    booster->mSpot->spot->properties.set("radius_mult", 0.0f);
    m.update(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(plain->mBonus.strength, 0.0f);
    EXPECT_FALSE(plain->mBoosted);
    // The towers boost survives hammer effects that are already gone.
    ASSERT_TRUE(m.castSpell(4, 500.0f, 100.0f));
    run(11.0f);
    EXPECT_TRUE(m.mModifiers.empty());
}

TEST_F(BattleFixture, ShowInvisibleRevealsUnitsCloserThanHalfTheTowersRadiusTimesTheSpotMultiplier)
{
    TDMap& m = start(kThreeBrutes);
    TDTower* seer = m.buildTower(0, 800); // r 200 on a spot of "radius_mult" 1, at (250, 160)
    ASSERT_NE(seer, nullptr);
    ShowInvisible* reveal = nullptr;
    for (TDModifier* mod : seer->mModifiers)
        reveal = reveal ? reveal : dynamic_cast<ShowInvisible*>(mod);
    ASSERT_NE(reveal, nullptr);
    run(0.05f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 3u);
    // Hides the three units at these distances straight above the tower, reveals, and says which
    // came out.
    const auto revealedAt = [&](std::array<float, 3> distances)
    {
        std::array<bool, 3> shown{};
        for (size_t i = 0; i < 3; ++i)
        {
            place(unit(i), seer->mX, seer->mY - distances[i]);
            unit(i)->mHiddenTime = 2.0f;
            unit(i)->mAlphaTarget = 0.4f;
        }
        reveal->tick(nullptr, 0.1f);
        for (size_t i = 0; i < 3; ++i)
        {
            shown[i] = unit(i)->mHiddenTime == 0.0f;
            EXPECT_EQ(unit(i)->mAlphaTarget, shown[i] ? 1.0f : 0.4f) << distances[i];
        }
        return shown;
    };
    // 200 x 0.5 x 1 = 100, strictly closer.
    EXPECT_EQ(revealedAt({99.0f, 100.0f, 101.0f}), (std::array{true, false, false}));
    seer->mSpot->spot->properties.set("radius_mult", 1.5f);
    EXPECT_EQ(revealedAt({149.0f, 150.0f, 151.0f}), (std::array{true, false, false}));
    // The tower's own radius bonus does not widen it.
    seer->mBonus.radius = 100.0f;
    EXPECT_EQ(revealedAt({149.0f, 151.0f, 180.0f}), (std::array{true, false, false}));
}

TEST_F(BattleFixture, AnImpassableAreaHoldsTheUnitsInHalfItsRadiusStillUntilItEnds)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"1\" y=\"-65\"/><e id=\"1\" x=\"45\" y=\"-65\"/>"
                     "<e id=\"1\" x=\"90\" y=\"-65\"/></wave>");
    run(2.5f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 3u);
    // The area stands on the last unit; the two ahead of it are more than half its radius away
    // and walk off.
    TDUnit* held = unit(2);
    std::vector<std::pair<float, float>> before;
    for (size_t i = 0; i < 3; ++i)
        before.emplace_back(unit(i)->mDrawPos[0], unit(i)->mDrawPos[1]);
    const auto [x, y] = before[2];
    const float nearest = std::min(std::hypot(before[0].first - x, before[0].second - y),
                                   std::hypot(before[1].first - x, before[1].second - y));
    ASSERT_GT(nearest, 5.0f) << "the units walk apart";
    m.mModifiers.push_back(new MapImpassableArea(m, 2.0f, x, y, 2.0f * nearest - 2.0f));
    run(1.5f);
    EXPECT_EQ(std::pair(held->mDrawPos[0], held->mDrawPos[1]), before[2]) << "held still all along";
    EXPECT_EQ(held->mSpeedPenalty, 0.0f) << "the hold is set again in every frame";
    for (size_t i = 0; i < 2; ++i)
        EXPECT_GT(unit(i)->mDrawPos[0], before[i].first + 10.0f) << i << " walks on";
    run(1.0f);
    EXPECT_TRUE(m.mModifiers.empty());
    EXPECT_GT(held->mDrawPos[0], before[2].first + 5.0f) << "walks again once the area is gone";
}

TEST_F(BattleFixture, BlastSpeedRatiosHasteInvisibilityTickPeriodsAndDurations)
{
    TDMap& m = start(kThreeBrutes);
    TDTower* t = m.buildTower(0, 100);
    m.mPrototypes.findById(2001)->radius = 40.0f;
    run(0.05f);
    place(unit(0), 300.0f, 100.0f);
    place(unit(1), 330.0f, 100.0f);
    TDBullet b(m, t, unit(0));
    b.mX = 300.0f;
    b.mY = 100.0f;
    BlastModifier blast(m, b);
    EXPECT_FLOAT_EQ(unit(0)->mHealth, 95.0f);
    EXPECT_FLOAT_EQ(unit(1)->mHealth, 100.0f); // beyond half the "r"
    blast.update(nullptr, 0.01f);
    EXPECT_FALSE(blast.mActive);
    // Speed ratios never divide by zero.
    EXPECT_EQ(tdSpeedRatio(10.0f, 0.0f), 1.0f);
    EXPECT_EQ(tdSpeedRatio(10.0f, 5.0f), 2.0f);
    EXPECT_EQ(tdSpeedRatio(std::numeric_limits<float>::infinity(), 5.0f), 1.0f);

    // Haste and invisibility act on others in range.
    place(unit(0), 100.0f, 100.0f);
    place(unit(1), 150.0f, 100.0f);
    m.mPrototypes.findById(2)->radius = 60.0f;
    HasteAreaModifier haste(m);
    haste.tick(unit(0), 0.1f);
    EXPECT_EQ(unit(1)->mSpeedFactorTarget, 2.0f);
    EXPECT_EQ(unit(0)->mSpeedFactorTarget, 1.0f);
    InvisibleAreaModifier hide(m);
    hide.tick(unit(0), 0.1f);
    EXPECT_EQ(unit(1)->mHiddenTime, 2.0f);
    InvisibleModifier self(m);
    EXPECT_EQ(self.mTickTimer, 100.0f); // ticks on its first update
    self.update(unit(0), 0.01f);
    EXPECT_EQ(unit(0)->mHiddenTime, 2.0f);

    // Tick periods and durations.
    CountingModifier every(m, -1.0f, -1.0f);
    for (int i = 0; i < 5; ++i)
        every.update(nullptr, 0.1f);
    EXPECT_EQ(every.ticks, 5);
    EXPECT_TRUE(every.mActive);

    CountingModifier period(m, -1.0f, 0.9f);
    for (int i = 0; i < 8; ++i)
        period.update(nullptr, 0.1f);
    EXPECT_EQ(period.ticks, 0);
    period.update(nullptr, 0.1f); // nine steps of 0.1f sum to just above 0.9
    EXPECT_EQ(period.ticks, 1);
    EXPECT_EQ(period.mTickTimer, 0.0f);

    CountingModifier timed(m, 3.0f, -1.0f);
    int updates = 0;
    while (timed.mActive && updates < 100)
    {
        timed.update(nullptr, 0.5f);
        ++updates;
    }
    // 3.5 passes 3.0 on the seventh update, which still ticks.
    EXPECT_EQ(updates, 7);
    EXPECT_EQ(timed.ticks, 7);
    timed.update(nullptr, 0.5f);
    EXPECT_EQ(timed.ticks, 7);
}
