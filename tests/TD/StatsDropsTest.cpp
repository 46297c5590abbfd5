// The battle counters (combos, shown coins, gems) and gem drops.
#include "BattleFixture.h"

#include "Source/TD/Units/TDBattleStats.h"

using tdtest::BattleFixture;

namespace
{
// Combo bonus and coins of n kills 0.5 s apart (for no gold), paid a second after the last.
std::pair<i32, i32> comboOf(int kills)
{
    TDBattleStats stats;
    for (int i = 0; i < kills; ++i)
    {
        stats.addKill(0, 0.0f, 0.0f);
        stats.update(0.5f);
    }
    for (int i = 0; i < 11; ++i)
        stats.update(0.1f);
    return {stats.mComboBonus, stats.mCoins};
}
} // namespace

TEST(BattleStats, CombosPayForQuickKillsAndShownCoinsRunTowardTheCountBothWays)
{
    // trunc(kills x 1.3 + 0.5), paid into the coins too; long runs pin the factor.
    for (auto [kills, bonus] : {std::pair{1, 0}, {2, 3}, {3, 4}, {4, 5}, {5, 7}, {6, 8}, {8, 10}, {10, 13}, {50, 65}})
        EXPECT_EQ(comboOf(kills), std::pair(bonus, bonus)) << kills;

    // A second combo after the first was paid counts its own kills only.
    TDBattleStats twice;
    for (int combo : {2, 3})
    {
        for (int i = 0; i < combo; ++i)
        {
            twice.addKill(0, 0.0f, 0.0f);
            twice.update(0.5f);
        }
        for (int i = 0; i < 11; ++i)
            twice.update(0.1f);
    }
    EXPECT_EQ(twice.mComboBonus, 3 + 4);
    EXPECT_EQ(twice.mComboKills, 0);
    // A slow kill after quick ones pays the running combo at once and counts toward no combo.
    TDBattleStats broken;
    broken.addKill(0, 0.0f, 0.0f);
    broken.update(0.5f);
    broken.addKill(0, 0.0f, 0.0f);
    broken.mComboTimer = 1.5f; // a long pause without an update (a paused battle)
    broken.addKill(0, 0.0f, 0.0f);
    EXPECT_EQ(broken.mComboBonus, 3);
    EXPECT_EQ(broken.mComboKills, 0);

    TDBattleStats stats;
    stats.addCoins(10);
    std::vector<i32> shown;
    for (int i = 0; i < 5; ++i)
    {
        stats.update(0.0f); // unscaled time: runs at speed 0 too
        shown.push_back(stats.mShownCoins);
    }
    EXPECT_EQ(shown, (std::vector<i32>{4, 8, 9, 10, 10}));
    stats.spendCoins(5);
    EXPECT_EQ(stats.mCoinsSpent, 5);
    stats.update(0.0f);
    stats.update(0.0f);
    EXPECT_EQ(stats.mShownCoins, 5);
}

TEST_F(BattleFixture, GemArcsLiesIsCollectedByItselfAfterAWhileAndGemsLeftLyingAreCreditedWhenTheLevelEnds)
{
    TDMap& m = start("<wave spawn=\"1\" timeout=\"60\"><e id=\"1\"/></wave>");
    TDUnit stand(m, m.mWaves.mWaves[0]->mEntries[0]);
    stand.mDrawPos[0] = 400.0f;
    stand.mDrawPos[1] = 300.0f;
    TDCrystallSpecial* gem = new TDCrystallSpecial(m, stand);
    m.mDrops.push_back(gem);
    float distance = tdDistance(400.0f, 300.0f, gem->mEndX, gem->mEndY);
    EXPECT_GE(distance, 49.99f);
    EXPECT_LT(distance, 100.01f);
    EXPECT_FLOAT_EQ(gem->mControlY, std::min(300.0f, gem->mEndY) - 25.0f);
    EXPECT_EQ(m.findDropAt(static_cast<i32>(gem->mX), static_cast<i32>(gem->mY)), nullptr); // still arcing
    i32 gems = m.mStats.mGems;
    // Lands after 1 time unit = 0.67 s of battle time, then lies for 4 more units = 2.67 s.
    run(0.7f);
    EXPECT_EQ(gem->mState, kDropLying);
    EXPECT_EQ(m.findDropAt(static_cast<i32>(gem->mEndX), static_cast<i32>(gem->mEndY)), gem);
    run(2.6f);
    EXPECT_EQ(gem->mState, kDropLying);
    const i32 lyingX = static_cast<i32>(gem->mX), lyingY = static_cast<i32>(gem->mY);
    run(0.1f);
    EXPECT_EQ(gem->mState, kDropCollected);
    EXPECT_EQ(m.mStats.mGems, gems + 1);
    EXPECT_EQ(tutorial.count(L"gem_collected"), 1u);
    // Flying to the counter it is no longer there to click, and it is counted once.
    EXPECT_EQ(m.findDropAt(lyingX, lyingY), nullptr);
    run(0.4f); // flies for at most 0.2 s after a delay of at most 0.2 s
    EXPECT_TRUE(m.mDrops.empty());
    EXPECT_EQ(m.mStats.mGems, gems + 1);
    EXPECT_EQ(tutorial.count(L"gem_collected"), 1u);

    // Gems left lying are credited when the level ends.
    m.mDropChanceOverride = 1.0f;
    for (int i = 0; i < 3; ++i)
        m.mDrops.push_back(new TDCrystallSpecial(m, stand));
    gems = m.mStats.mGems;
    const i32 won = m.mStats.mGemsWon;
    m.mHealth = 0.0f; // no stars: no reward beyond the gems left lying
    m.showVictory();
    EXPECT_EQ(std::tuple(m.mStats.mGems, m.mStats.mGemsWon, m.mProgress->getGems()),
              std::tuple(gems + 3, won + 3, gems + 3));
    EXPECT_TRUE(m.mDrops.empty());
    EXPECT_EQ(m.mScreen, kScreenWon);
    EXPECT_EQ(sounds.played.back(), L"winSound");
    m.showDefeat(); // the level already has its result
    EXPECT_EQ(m.mScreen, kScreenWon);
    EXPECT_EQ(hud.results, 1);
}
