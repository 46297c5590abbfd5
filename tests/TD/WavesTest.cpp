// Waves: spawn timing and offsets, the wipe award, gem drops, linked waves and the start buttons.
#include "BattleFixture.h"

#include "Source/TD/Level/TDWaveEntry.h"

#include <tinyxml2.h>

using tdtest::BattleFixture;

namespace
{
// Battle time until the first unit exists.
float firstSpawn(TDMap& m, float limit = 30.0f)
{
    float t = 0.0f;
    const float dt = 1.0f / 60.0f;
    while (m.mWaves.mUnits.empty() && t < limit && m.mScreen == kScreenBattle)
    {
        m.update(dt);
        t += dt;
    }
    return t;
}
} // namespace

TEST_F(BattleFixture, EntriesSpawnOnTimeOnTheirSideAndBadOnesCountAsDone)
{
    TDMap& m = start("<wave spawn=\"1\" timeout=\"2\"><e id=\"1\" x=\"90\" y=\"-65\"/></wave>");
    // The wave starts in the first frame; its entry is due 2 + 2 s later.
    EXPECT_NEAR(firstSpawn(m), 4.0f, 0.05f);

    TDMap& fast = start("<wave spawn=\"1\" timeout=\"2\" scale=\"0.5\"><e id=\"1\" x=\"90\" y=\"-65\"/></wave>");
    EXPECT_NEAR(firstSpawn(fast), 3.0f, 0.05f);

    // The tutorial hears the second and the tenth spawn of each wave.
    std::string entries;
    for (int i = 0; i < 10; ++i)
        entries += "<e id=\"1\" x=\"" + std::to_string(i * 9) + "\" y=\"-65\"/>";
    TDMap& many = start("<wave spawn=\"1\">" + entries + "</wave>");
    run(3.0f);
    EXPECT_EQ(tutorial.count(L"wave_1_spawned_2"), 1u);
    EXPECT_EQ(tutorial.count(L"wave_1_spawned_10"), 1u);

    // A side offset no wave of the file asked for is built on demand.
    TDUnit* u = unit(0);
    ASSERT_NE(u, nullptr);
    u->mEntry->mY = -130.0f; // offset 20: no wave of the file asked for it
    u->enterSegment();
    many.update(1.0f / 60.0f);
    EXPECT_FALSE(u->mSamples.empty());
    EXPECT_NEAR(u->mPos[1], 120.0f, 1.0f) << u->mPos[0]; // 20 to the side of the road

    // Each wave counts its own spawns: the next wave's second and tenth are heard again.
    tutorial.events.clear();
    TDMap& two = start("<wave spawn=\"1\"><e id=\"1\" y=\"-65\"/><e id=\"1\" x=\"9\" y=\"-65\"/></wave>"
                       "<wave spawn=\"1\">" +
                       entries + "</wave>");
    run(1.0f);
    ASSERT_EQ(two.mWaves.mUnits.size(), 2u);
    EXPECT_EQ(tutorial.count(L"wave_1_spawned_2"), 1u);
    for (TDUnit* first : two.mWaves.mUnits)
        first->mHealth = 0.0f;
    run(6.0f);
    ASSERT_EQ(two.mWaves.mUnits.size(), 10u);
    EXPECT_EQ(tutorial.count(L"wave_1_spawned_2"), 2u);
    EXPECT_EQ(tutorial.count(L"wave_1_spawned_10"), 1u);

    // A bad spawn point or an unknown kind counts as done, so the wave ends.
    TDMap& bad = start("<wave spawn=\"42\"><e id=\"1\"/></wave><wave spawn=\"1\"><e id=\"77\"/></wave>");
    run(2.0f);
    EXPECT_TRUE(bad.mWaves.mUnits.empty());
    EXPECT_EQ(bad.mScreen, kScreenWon);
    EXPECT_EQ(bad.mStats.mCoins, 500); // no award, no bounty
}

TEST_F(BattleFixture, WipeAwardIsPaidOnceAtTheLastKillAndNeverAfterALeak)
{
    TDMap& m =
        start("<wave spawn=\"1\" wipeAward=\"25\"><e id=\"1\" y=\"-65\"/><e id=\"1\" x=\"45\" y=\"-65\"/></wave>"
              "<wave spawn=\"1\" wipeAward=\"40\"><e id=\"1\" y=\"-65\"/><e id=\"1\" x=\"45\" y=\"-65\"/></wave>");
    m.mDropChanceOverride = 0.5f; // keep the drops out of the way: chance 0.5 per kill
    run(1.5f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 2u);
    i32 before = m.mStats.mCoins;
    unit(0)->mHealth = 0.0f;
    run(0.5f);
    i32 bounty = 10;
    EXPECT_EQ(m.mStats.mCoins, before + bounty);
    unit(0)->mHealth = 0.0f;
    run(0.5f);
    EXPECT_EQ(m.mStats.mCoins, before + 2 * bounty + 25);
    run(1.0f); // the combo of two kills pays 3 a second later
    EXPECT_EQ(m.mStats.mCoins, before + 2 * bounty + 25 + 3);

    // Second wave: one walks into the goal, then the other is killed: no award.
    run(3.0f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 2u);
    TDUnit* last = unit(1);
    for (int i = 0; i < 60 * 30 && m.mStats.mUnitsThrough == 0; ++i)
        m.update(1.0f / 60.0f);
    ASSERT_EQ(m.mStats.mUnitsThrough, 1);
    ASSERT_EQ(m.mWaves.mUnits.size(), 1u);
    i32 coins = m.mStats.mCoins;
    last->mHealth = 0.0f;
    run(0.5f);
    EXPECT_EQ(m.mStats.mCoins, coins + bounty);
}

TEST_F(BattleFixture, CarriedUnitsAreUpdatedInThePassThatReleasesThemAndMustAlsoDieBeforeTheAward)
{
    TDMap& m = start(
        "<wave spawn=\"1\" wipeAward=\"25\"><e id=\"6\" y=\"-65\"/></wave><wave spawn=\"1\"><e id=\"1\"/></wave>");
    run(4.0f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 1u);
    unit(0)->mHealth = 0.0f;
    i32 before = m.mStats.mCoins;
    m.update(0.1f);
    // Released during the unit pass and updated in it: the fade-in has begun.
    ASSERT_EQ(m.mWaves.mUnits.size(), 4u); // the dying carrier and its larvae
    for (size_t i = 1; i < 4; ++i)
        EXPECT_GT(unit(i)->mFade, 0.0f);
    run(0.1f);
    // The carrier releases three larvae of kind 11 on its path.
    ASSERT_EQ(m.mWaves.mUnits.size(), 3u);
    for (TDUnit* u : m.mWaves.mUnits)
        EXPECT_EQ(u->protoId(), 11);
    EXPECT_EQ(m.mStats.mCoins, before + 10);
    // Released near the end of the road, they are kept short of the goal.
    unit(0)->mProgress = 0.99f;
    m.spawnCarriedUnits(unit(0), 1);
    EXPECT_FLOAT_EQ(unit(3)->mProgress, 0.85f);
    EXPECT_EQ(unit(3)->mEntry->mX, -1.0f);
    for (TDUnit* u : m.mWaves.mUnits)
        u->mHealth = 0.0f;
    run(0.1f);
    EXPECT_EQ(m.mStats.mCoins, before + 10 + 4 * 1 + 25);
}

TEST_F(BattleFixture, DropOverrideMakesEveryKillDropAGemAtTheCounterSpot)
{
    TDMap& m = start(tdtest::kThreeBrutes);
    run(0.5f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 3u);
    unit(0)->mHealth = 0.0f;
    run(0.1f);
    EXPECT_TRUE(m.mDrops.empty()); // kind 2 has dropChance 0
    m.mDropChanceOverride = 1.0f;
    unit(0)->mHealth = 0.0f;
    m.onUnitReachedGoal(unit(1)); // units that got through never drop
    run(0.1f);
    ASSERT_EQ(m.mDrops.size(), 1u);
    EXPECT_EQ(tutorial.count(L"gem_dropped"), 1u);
    EXPECT_EQ(m.mDrops[0]->mState, kDropLying);
    EXPECT_EQ(m.findDropAt(200, 200), m.mDrops[0]);
    EXPECT_EQ(m.findDropAt(200, 235), nullptr);     // 35^2 > 1200
    EXPECT_EQ(m.findDropAt(220, 220), m.mDrops[0]); // 800 < 1200
}

TEST_F(BattleFixture, LinkedWavesStartTogetherAndVictoryFollowsTheLastWave)
{
    TDMap& m = start("<wave spawn=\"1\" timeout=\"2\"><e id=\"1\" y=\"-65\"/></wave>"
                     "<wave spawn=\"1\" timeout=\"2\" linked=\"0\"><e id=\"1\" y=\"-65\"/></wave>"
                     "<wave spawn=\"1\" linked=\"5\"><e id=\"1\"/></wave>");
    EXPECT_EQ(m.mWaves.countWaves(), 1);
    run(0.2f);
    EXPECT_EQ(m.mWaves.mActiveWaves.size(), 2u);
    // One start button per starting wave until their units come.
    EXPECT_EQ(m.mNextWave.buttons.size(), 2u);
    EXPECT_EQ(m.mNextWave.firstSpawnTime, 2.0f);
    run(2.0f);
    EXPECT_TRUE(m.mNextWave.buttons.empty());
    EXPECT_EQ(m.mWaves.mUnits.size(), 2u);
    for (TDUnit* u : m.mWaves.mUnits)
        u->mHealth = 0.0f;
    run(1.0f);
    // The remaining wave is linked to a wave that never starts: the level is won.
    EXPECT_EQ(m.mScreen, kScreenWon);
    EXPECT_EQ(m.mResultAction, kResultActionNextLevel);
    EXPECT_EQ(tutorial.count(L"wave_vanish_1"), 1u);
    EXPECT_EQ(m.resultStars(), 3);
}

TEST(WaveFile, OnlyAZeroScaleBecomesOneANegativeOneStays)
{
    tinyxml2::XMLDocument doc;
    doc.Parse("<waves><wave scale=\"0\"><e x=\"90\"/></wave><wave scale=\"-2\"><e x=\"90\"/></wave></waves>");
    TDWaveManager waves;
    waves.loadWaves(doc.FirstChildElement());
    ASSERT_EQ(waves.mWaves.size(), 2u);
    EXPECT_EQ(waves.mWaves[0]->mScale, 1.0f);
    EXPECT_EQ(waves.mWaves[1]->mScale, -2.0f);
}

TEST(WaveHint, StartButtonsStayOnTheScreen)
{
    TDWaveHint hint;
    hint.iconWidth = hint.iconHeight = 40;
    TDPoint p(1, 1020.0f, 40.0f);
    hint.addButton(&p);
    ASSERT_EQ(hint.buttons.size(), 1u);
    EXPECT_EQ(std::pair(hint.buttons[0].x, hint.buttons[0].y), std::pair(984, 100));
    TDPoint low(2, -5.0f, 700.0f);
    hint.addButton(&low);
    EXPECT_EQ(std::pair(hint.buttons[1].x, hint.buttons[1].y), std::pair(0, 628));
}
