// Towers: income, the range's edge, aiming and targeting, turning, firing, blocking, upgrades and
// tier steps, sheet reloads, the shell thrower, the teleport beam and frames.
#include "BattleFixture.h"

#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Level/TDWaveEntry.h"
#include "Source/TD/Units/TDSpriteEffect.h"

#include <algorithm>
#include <cmath>
#include <vector>

using tdtest::BattleFixture;
using tdtest::kThreeBrutes;
using tdtest::place;

namespace
{
// Opens the spot's menu at (x, y), lets it grow in and presses its entry with that id.
void pressEntry(BattleFixture& f, i32 x, i32 y, i32 id)
{
    f.map->mContextMenu.reset();
    f.map->onPointerUp(x, y);
    f.run(0.25f);
    const TDContextMenu& menu = *f.map->mContextMenu;
    for (const auto& item : menu.items)
        if (item->id == id)
        {
            const float a = item->angle * 3.14f / 180.0f;
            const float r = menu.radius * (menu.isNearEdge() ? 1.3f : 1.0f) + 25.0f;
            f.map->onPointerDown(static_cast<i32>(menu.centreX + std::sin(a) * r),
                                 static_cast<i32>(menu.centreY + std::cos(a) * r));
            return;
        }
    ADD_FAILURE() << "no entry " << id;
}
} // namespace

TEST_F(BattleFixture, TowerWithoutStrengthPaysIncomeAndTheShellTowerHoldsItsLastFrameUntilItsBulletIsGone)
{
    TDMap& m = start(kThreeBrutes);
    TDTower* t = m.buildTower(0, 300);
    ASSERT_NE(t, nullptr);
    i32 coins = m.mStats.mCoins;
    bool lookedAround = false;
    for (int i = 0; i < 150; ++i) // 2.5 s: one income tick after the 2 s cooldown
    {
        m.update(1.0f / 60.0f);
        EXPECT_EQ(t->mTarget, nullptr);
        lookedAround = lookedAround || t->mState == kTowerLooking;
    }
    EXPECT_TRUE(lookedAround);
    EXPECT_EQ(m.mStats.mCoins, coins + 10);
    EXPECT_EQ(sounds.played.back(), L"tower300shot");

    // The shell thrower holds its last frame until its bullet is gone.
    TDTower* shell = m.buildTower(1, 600);
    place(unit(0), 750.0f, 100.0f);
    shell->mState = kTowerFiring;
    shell->mTarget = unit(0);
    shell->mAnimTime = 1.0f;
    shell->update(0.01f);
    shell->update(0.01f);
    EXPECT_EQ(shell->mState, kTowerAwaitingBullet);
    EXPECT_TRUE(m.mBullets->hasBulletOf(shell));
    m.mBullets->forgetTower(shell);
    shell->update(0.01f);
    EXPECT_EQ(shell->mState, kTowerIdle);
}

TEST_F(BattleFixture, UnitsJustOutsideRangeArePreAimedAndTargetingPrefersThePickThenTheCurrentThenTheWeakest)
{
    TDMap& m = start(kThreeBrutes);
    TDTower* t = m.buildTower(0, 100); // range 200: fires within 100 of (250, 160)
    run(0.1f);
    for (TDUnit* u : m.mWaves.mUnits)
        place(u, 250.0f, 320.0f); // 160 away: inside 100 + 100
    for (int i = 0; i < 60; ++i)
    {
        m.update(1.0f / 60.0f);
        for (TDUnit* u : m.mWaves.mUnits)
            place(u, 250.0f, 320.0f);
    }
    EXPECT_EQ(t->mState, kTowerAiming);
    EXPECT_NE(t->mTarget, nullptr);
    EXPECT_TRUE(m.mBullets->items.empty());

    // Targeting: the pick, then the current target, then the weakest nearest.
    ASSERT_EQ(m.mWaves.mUnits.size(), 3u);
    TDUnit* a = unit(0);
    TDUnit* b = unit(1);
    TDUnit* c = unit(2);
    place(a, 250.0f, 100.0f); // 60 away
    place(b, 250.0f, 120.0f); // 40 away
    place(c, 250.0f, 80.0f);  // 80 away
    std::vector<TDUnit*> all{a, b, c};
    EXPECT_EQ(t->chooseTarget(all, nullptr, false), b);
    EXPECT_EQ(t->chooseTarget(all, nullptr, true), b); // equal health: the nearest
    c->mHealth = 50.0f;
    EXPECT_EQ(t->chooseTarget(all, nullptr, true), c); // the weakest
    EXPECT_EQ(t->chooseTarget(all, a, true), a);       // the current target stays
    m.mHovered = b;
    EXPECT_EQ(t->chooseTarget(all, a, true), b); // the player's pick wins
    EXPECT_EQ(t->chooseTarget(all, a, false), a);
    std::vector<TDUnit*> none;
    EXPECT_EQ(t->chooseTarget(none, a, false), nullptr);
}

TEST_F(BattleFixture, AUnitJustInsideTheRangeIsFiredAtAndOneOnTheEdgeOrJustOutsideIsOnlyAimedAt)
{
    TDMap& m = start(kThreeBrutes);
    TDTower* t = m.buildTower(0, 100); // "r" 200, a diameter: fires at units less than 100 away
    ASSERT_NE(t, nullptr);
    run(0.1f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 3u);
    EXPECT_FLOAT_EQ(t->range(), 200.0f);
    // One unit straight above the tower at each distance for two seconds (two cooldowns), the
    // others far off; the ones outside first, so that no shot begun inside ends outside.
    struct Case
    {
        float distance;
        bool fired;
    };
    for (const Case& c : {Case{150.0f, false}, Case{100.5f, false}, Case{100.0f, false}, Case{99.5f, true}})
    {
        SCOPED_TRACE(c.distance);
        auto hold = [&]
        {
            place(unit(0), t->mX, t->mY - c.distance);
            place(unit(1), 1000.0f, 700.0f);
            place(unit(2), 1000.0f, 700.0f);
        };
        hold();
        const auto shots = std::count(sounds.played.begin(), sounds.played.end(), L"tower100shot");
        for (int i = 0; i < 120; ++i)
        {
            m.update(1.0f / 60.0f);
            hold();
        }
        EXPECT_EQ(t->mTarget, unit(0)) << "aimed at in range and up to 100 beyond it";
        const auto fired = std::count(sounds.played.begin(), sounds.played.end(), L"tower100shot") - shots;
        if (c.fired)
            EXPECT_EQ(fired, 2) << "aimed already: a shot at once and one after the 1 s cooldown";
        else
        {
            EXPECT_EQ(fired, 0);
            EXPECT_EQ(t->mState, kTowerAiming);
        }
    }
}

TEST_F(BattleFixture, FlyersOnlyForTowersThatHitAirAndFirst)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"3\" y=\"-65\"/><e id=\"2\" y=\"-65\"/></wave><wave spawn=\"1\"><e "
                     "id=\"1\"/></wave>");
    TDTower* ground = m.buildTower(0, 100);
    TDTower* air = m.buildTower(1, 200);
    run(0.1f);
    place(unit(0), 250.0f, 110.0f);
    place(unit(1), 250.0f, 130.0f);
    std::vector<TDUnit*> out;
    ground->collectTargets(out, 0);
    EXPECT_EQ(out, std::vector<TDUnit*>{unit(1)});
    air->mX = 250.0f;
    air->collectTargets(out, 0);
    ASSERT_EQ(out.size(), 2u);
    unit(0)->mHealth = 1000.0f; // even the strongest flyer goes first
    EXPECT_EQ(air->chooseTarget(out, nullptr, true), unit(0));
    unit(1)->mHiddenTime = 1.0f;
    ground->collectTargets(out, 0);
    EXPECT_TRUE(out.empty());
}

TEST_F(BattleFixture, TurningTakesTheShortWaySectorsSettleTheAimAndFramesStayInTheirLists)
{
    sprites.counts[{700, ""}] = 128;
    sprites.counts[{100, "blast"}] = 0;
    TDMap& m = start(kThreeBrutes);
    TDTower* t = m.buildTower(0, 700);
    t->mState = kTowerIdle;
    t->mAngle = 350.0f;
    t->mTargetAngle = 10.0f;
    t->mPauseTimer = 100.0f;
    float previous = t->mAngle;
    bool passedZero = false;
    for (int i = 0; i < 10; ++i)
    {
        t->mState = kTowerLooking;
        t->update(0.005f);
        passedZero = passedZero || t->mAngle < previous;
        EXPECT_TRUE(t->mAngle >= 350.0f || t->mAngle <= 10.0f) << t->mAngle;
        previous = t->mAngle;
    }
    EXPECT_TRUE(passedZero);

    // Within the same 11.25-degree sector the aim does not change.
    t->mTargetAngle = 100.0f;  // sector 8 covers [90, 101.25)
    t->setTargetAngle(190.0f); // 190 - 90 = 100: same sector
    EXPECT_EQ(t->mTargetAngle, 100.0f);
    t->setTargetAngle(200.0f); // 110: next sector
    EXPECT_EQ(t->mTargetAngle, 110.0f);
    t->setTargetAngle(45.0f); // below 90: + 270
    EXPECT_EQ(t->mTargetAngle, 315.0f);

    // Frames stay within their lists whatever the angle or fps.
    TDTower* rotating = t;
    TDTower* plain = m.buildTower(1, 100);
    const char* list = nullptr;
    i32 index = 0;
    for (float angle : {0.0f, 5.0f, 359.9f, 360.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()})
    {
        rotating->mAngle = angle;
        rotating->mState = kTowerFiring;
        rotating->mAnimTime = 1.0e9f;
        rotating->currentFrame(list, index);
        EXPECT_GE(index, 0);
        EXPECT_LT(index, 128);
    }
    plain->mState = kTowerAwaitingBullet; // floor(t x fps) - 1 with an empty "blast": no frame, no crash
    plain->currentFrame(list, index);
    EXPECT_EQ(index, -1);
    m.mPrototypes.findById(100)->fps = 0.0f;
    plain->mState = kTowerFiring;
    plain->mTarget = nullptr;
    plain->update(0.1f); // fps 0: thresholds are 0, never a NaN
    EXPECT_EQ(plain->mState, kTowerIdle);
}

TEST_F(BattleFixture, TowerFiresOnItsCooldownAndKillsPayCoins)
{
    TDMap& m =
        start("<wave spawn=\"1\"><e id=\"1\" y=\"-65\"/></wave><wave spawn=\"1\" timeout=\"100\"><e id=\"1\"/></wave>");
    TDTower* t = m.buildTower(0, 200);            // homing, cooldown 1
    m.mPrototypes.findById(200)->strength = 7.0f; // three hits for 20 health
    i32 coins = m.mStats.mCoins;
    run(12.0f);
    EXPECT_EQ(m.mStats.mKillScore, 10);
    EXPECT_EQ(m.mStats.mCoins, coins + 10);
    EXPECT_EQ(std::count(sounds.played.begin(), sounds.played.end(), L"tower200shot"), 3);
    EXPECT_EQ(std::count(sounds.played.begin(), sounds.played.end(), L"enemy1hit"), 3);
    EXPECT_EQ(std::count(sounds.played.begin(), sounds.played.end(), L"ammo2002hit"), 3);
    EXPECT_EQ(particles.count(L"hit"), 3u);
    EXPECT_EQ(t->mTarget, nullptr);
}

namespace
{
// The battle times at which the tower's shot sound plays, in frames of 1/60 s over `seconds`.
std::vector<float> shotTimes(BattleFixture& f, const std::wstring& sound, float seconds)
{
    std::vector<float> times;
    for (int i = 1; i <= static_cast<int>(seconds * 60.0f); ++i)
    {
        const auto before = std::count(f.sounds.played.begin(), f.sounds.played.end(), sound);
        f.map->update(1.0f / 60.0f);
        if (std::count(f.sounds.played.begin(), f.sounds.played.end(), sound) > before)
            times.push_back(static_cast<float>(i) / 60.0f);
    }
    return times;
}
} // namespace

TEST_F(BattleFixture, EveryShotAfterTheFirstWaitsOutTheWholeCooldownAgain)
{
    // A brute walks through the homing tower's reach for long enough to take many shots.
    TDMap& m = start("<wave spawn=\"1\"><e id=\"2\" y=\"-65\"/></wave><wave spawn=\"1\" timeout=\"100\"><e "
                     "id=\"1\"/></wave>");
    m.buildTower(0, 200);
    m.mPrototypes.findById(200)->cooldown = 1.5f;
    const std::vector<float> shots = shotTimes(*this, L"tower200shot", 20.0f);
    ASSERT_GE(shots.size(), 5u);
    for (size_t i = 1; i < shots.size(); ++i)
        EXPECT_NEAR(shots[i] - shots[i - 1], 1.5f, 2.5f / 60.0f) << "shot " << i + 1;

    // The shell thrower throws again once its shell is gone and its cooldown (2 s) has passed.
    TDMap& shells = start(kThreeBrutes);
    TDTower* thrower = shells.buildTower(0, 600);
    std::vector<float> thrown;
    for (int i = 1; i <= 10 * 60; ++i)
    {
        const bool flying = shells.mBullets->hasBulletOf(thrower);
        shells.update(1.0f / 60.0f);
        if (!flying && shells.mBullets->hasBulletOf(thrower))
            thrown.push_back(static_cast<float>(i) / 60.0f);
    }
    ASSERT_GE(thrown.size(), 3u);
    for (size_t i = 1; i < thrown.size(); ++i)
        EXPECT_NEAR(thrown[i] - thrown[i - 1], 2.0f, 2.5f / 60.0f) << "shell " << i + 1;
}

TEST_F(BattleFixture, BlockedTowerFreezesAndSlowedTowerCoolsDownLonger)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"7\" y=\"-65\"/><e id=\"8\" y=\"-65\"/></wave><wave spawn=\"1\"><e "
                     "id=\"1\"/></wave>");
    TDTower* t = m.buildTower(0, 100);
    run(0.1f);
    TDUnit* blocker = unit(0);
    TDUnit* slower = unit(1);
    place(slower, 2000.0f, 2000.0f);
    place(blocker, t->mX, t->mY + 50.0f); // exactly r / 2: blocks
    t->mCooldown = 0.7f;
    EXPECT_TRUE(m.isTowerBlocked(t));
    t->update(0.5f);
    EXPECT_TRUE(t->mDisabled);
    EXPECT_FLOAT_EQ(t->mCooldown, 0.7f);
    ASSERT_NE(t->mDisabledSprite, nullptr);
    blocker->mSpeedPenalty = 30.0f; // held still: no longer blocks
    EXPECT_FALSE(m.isTowerBlocked(t));
    blocker->mSpeedPenalty = 0.0f;
    t->mImmune = true;
    EXPECT_FALSE(m.isTowerBlocked(t));
    t->mImmune = false;

    place(blocker, 2000.0f, 2000.0f);
    place(slower, t->mX, t->mY + 90.0f);
    t->update(0.01f);
    EXPECT_EQ(t->mDisabledSprite, nullptr); // free again: the sign goes
    ASSERT_NE(t->mDebuffSprite, nullptr);
    EXPECT_EQ(m.mAnimations.size(), 1u) << "the blocked sign went";
    t->mState = kTowerFiring;
    t->mTarget = slower;
    t->mAnimTime = 1.0f;
    t->update(0.01f);
    EXPECT_TRUE(t->mDebuffed);
    EXPECT_FLOAT_EQ(t->mCooldown, 1.5f);
    // Half as long again, whatever the cooldown: two seconds become three.
    m.mPrototypes.findById(100)->cooldown = 2.0f;
    t->mCooldown = 0.0f;
    t->mState = kTowerFiring;
    t->mTarget = slower;
    t->mAnimTime = 1.0f;
    t->update(0.01f);
    EXPECT_FLOAT_EQ(t->mCooldown, 3.0f);
}

TEST_F(BattleFixture, UpgradeNeedsTheCoinsShowsWhatChangedAndSurvivesReloadingTheSheets)
{
    LocalStrings::Instance()->loadText("towerUpgradeInfoRange;Range +%d%%\ntowerUpgradeInfoDamage;Damage %s +%d\n"
                                       "towerUpgradeInfoRof;Rate +%d%n%%\n");
    TDMap& m = start(kThreeBrutes);
    TDTower* t = m.buildTower(0, 100);
    m.mStats.mCoins = 40;
    EXPECT_FALSE(t->upgrade(9, 10.0f)); // no such tier
    EXPECT_FALSE(t->upgrade(1, 40.5f)) << "short of the fraction";
    EXPECT_EQ(m.mStats.mCoins, 40);
    ASSERT_TRUE(t->upgrade(1, 40.0f));
    EXPECT_EQ(m.mStats.mCoins, 0) << "the exact price";
    EXPECT_EQ(t->currentProto()->id, 101);
    TDIndicator* info = m.mIndicators.items.back();
    // Only the first integer conversion is filled; other sequences stay literal.
    EXPECT_EQ(info->mText, L"Range +20%\nDamage %s +100\nRate +100%n%");
    EXPECT_EQ(tutorial.count(L"tower_upgraded"), 1u);
    EXPECT_EQ(particles.count(L"upgrade"), 1u);

    // Range from 0 and a cooldown of 0 give no line; the damage line stays. A price with a
    // fraction charges its whole part.
    m.mStats.mCoins = 100;
    TDTower* other = m.buildTower(1, 100);
    m.mPrototypes.findById(100)->radius = 0.0f;
    const_cast<TDPrototype*>(other->currentProto(1))->cooldown = 0.0f;
    m.mStats.mCoins = 11;
    ASSERT_TRUE(other->upgrade(1, 10.5f));
    EXPECT_EQ(m.mStats.mCoins, 1);
    EXPECT_EQ(m.mIndicators.items.back()->mText, L"Damage %s +100");

    // Reloading the sheets under live objects keeps them valid.
    run(1.0f);
    m.loadSheets();
    m.mPrototypes.findById(100)->tiers[0]->strength = 33.0f;
    EXPECT_EQ(t->currentProto()->strength, 33.0f);
    run(2.0f);
    files.put(L"td/towers_sheet.csv", "id;parent;levelid\n");
    files.put(L"td/units_sheet.csv", "id\n");
    m.loadSheets();
    EXPECT_EQ(t->currentProto(), nullptr);
    run(2.0f); // objects whose kind is gone neither crash nor act
    EXPECT_EQ(unit(0) ? unit(0)->proto() : nullptr, nullptr);
}

TEST_F(BattleFixture, TierStepsLastThroughTheFramesAndTheUpgradesAndEachTierOffersItsOwn)
{
    // The base row holds the steps; the tier's own "tierCost" is not what the ring shows.
    files.put(L"td/towers_sheet.csv",
              "id;parent;type;levelid;require;cost;tierCost;tierUpdates;tierK;strength;cooldown;r;"
              "speed;ammoid;fps\n"
              "100;-1;1;0;-1;50;30;2;0,5;10;1;200;400;2001;10\n"
              "101;100;1;1;0;40;5;0;0;10;1;240;400;2001;10\n");
    TDMap& m = start("<wave spawn=\"1\" timeout=\"600\"><e id=\"1\"/></wave>");
    TDTower* tower = m.buildTower(0, 100);
    ASSERT_NE(tower, nullptr);
    const float plainRange = tower->range();
    m.onPointerUp(250, 160);
    ASSERT_NE(m.mContextMenu, nullptr);
    EXPECT_EQ(m.mContextMenu->kind, TDContextMenu::kTowerTier) << "the step is offered before the upgrades";
    EXPECT_EQ(m.mContextMenu->items.size(), 2u);
    m.mStats.mCoins = 29;
    pressEntry(*this, 250, 160, 1);
    EXPECT_EQ(tower->mTierCount, 0) << "one coin short";
    EXPECT_EQ(m.mStats.mCoins, 29);
    m.mStats.mCoins = 30;
    pressEntry(*this, 250, 160, 1);
    EXPECT_EQ(tower->mTierCount, 1);
    EXPECT_EQ(m.mStats.mCoins, 0) << "the exact price";
    // Each step: tierK of the base row's strength and range on top of the tier's own.
    EXPECT_FLOAT_EQ(tower->mBonus.strength, 0.5f * 10.0f) << "at once";
    m.mStats.mCoins = 1000;
    run(1.0f); // the battle resets every tower's additions each frame
    EXPECT_FLOAT_EQ(tower->mBonus.strength, 0.5f * 10.0f);
    EXPECT_FLOAT_EQ(tower->range(), plainRange + 0.5f * 200.0f);
    pressEntry(*this, 250, 160, 1);
    run(1.0f);
    EXPECT_EQ(tower->mTierCount, 2);
    EXPECT_FLOAT_EQ(tower->mBonus.strength, 2.0f * 0.5f * 10.0f);
    EXPECT_FLOAT_EQ(tower->range(), plainRange + 2.0f * 0.5f * 200.0f);

    // The full upgrade the coins do not cover changes nothing; the one they cover keeps the steps
    // bought and offers the new tier's own.
    m.mContextMenu.reset();
    m.onPointerUp(250, 160);
    EXPECT_EQ(m.mContextMenu->kind, TDContextMenu::kTowerUpgrades);
    m.mStats.mCoins = 39;
    pressEntry(*this, 250, 160, 1);
    run(0.5f);
    EXPECT_EQ(tower->mLevel, 0);
    EXPECT_EQ(tower->mTierCount, 2) << "nothing bought, nothing lost";
    EXPECT_FLOAT_EQ(tower->mBonus.strength, 2.0f * 0.5f * 10.0f);
    m.mStats.mCoins = 1000;
    pressEntry(*this, 250, 160, 1);
    run(0.5f);
    EXPECT_EQ(tower->mLevel, 1);
    EXPECT_EQ(tower->mTierCount, 0);
    EXPECT_FLOAT_EQ(tower->mBonus.strength, 2.0f * 0.5f * 10.0f);
    EXPECT_FLOAT_EQ(tower->range(), 240.0f + 2.0f * 0.5f * 200.0f);

    // The new tier's first step, at the price the ring shows: the base row's.
    m.mContextMenu.reset();
    m.onPointerUp(250, 160);
    ASSERT_EQ(m.mContextMenu->kind, TDContextMenu::kTowerTier);
    EXPECT_EQ(m.mContextMenu->costOf(1), 30.0f);
    m.mStats.mCoins = 29;
    pressEntry(*this, 250, 160, 1);
    EXPECT_EQ(tower->mTierCount, 0) << "the tier's own price (5) is not the one charged";
    m.mStats.mCoins = 30;
    pressEntry(*this, 250, 160, 1);
    EXPECT_EQ(tower->mTierCount, 1);
    EXPECT_EQ(m.mStats.mCoins, 0);
    run(0.5f);
    EXPECT_FLOAT_EQ(tower->range(), 240.0f + 3.0f * 0.5f * 200.0f);
}

TEST_F(BattleFixture, HoldAndTeleportSendsTheUnitBackAndTheTeleportBeamHitsOnceAndLetsGoOfIt)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"2\" y=\"-65\"/></wave><wave spawn=\"1\"><e id=\"1\"/></wave>");
    TDTower* t = m.buildTower(0, 500);
    m.mPrototypes.findById(500)->radius = 0.0f; // it never shoots by itself here
    run(14.0f);                                 // 280 units along the first segment
    TDUnit* u = unit(0);
    ASSERT_NE(u, nullptr);
    float x = u->mPos[0];
    ASSERT_GT(x, 200.0f);
    TDBullet hit(m, t, u);
    u->onHit(hit, true);
    ASSERT_EQ(u->mModifiers.size(), 1u);
    for (int i = 0; i < 126; ++i) // 2.1 s: held, both portals open
    {
        m.update(1.0f / 60.0f);
        EXPECT_NEAR(u->mPos[0], x, 0.001f);
    }
    EXPECT_EQ(particles.count(L"portal_1"), 2u);
    run(1.0f);
    EXPECT_EQ(std::count(sounds.played.begin(), sounds.played.end(), L"teleportEnemy"), 1);
    EXPECT_EQ(u->mSegment, 0);
    EXPECT_LT(u->mPos[0], 40.0f);
    EXPECT_TRUE(u->mModifiers.empty());
    run(1.0f);
    EXPECT_GT(u->mPos[0], 15.0f); // walks again

    // The beam hits once while it is shown and lets go of the unit when the target is cleared.
    place(u, 250.0f, 100.0f);
    const float health = u->mHealth;
    t->mTarget = u;
    t->fire();
    ASSERT_NE(t->mBeam, nullptr);
    EXPECT_EQ(u->mState, kUnitBeamed);
    t->fire(); // a beam is shown: no second shot
    EXPECT_FLOAT_EQ(u->mHealth, health - 2.0f);
    TDBeamParticle* beam = t->mBeam;
    t->clearTarget();
    EXPECT_EQ(t->mBeam, nullptr);
    EXPECT_FALSE(beam->isAlive());
    m.update(1.0f / 60.0f); // the finished beam is deleted; nothing points at it any more
    EXPECT_TRUE(m.mParticles.empty());
}

TEST_F(BattleFixture, RemovedTowerLeavesNothingPointingAtIt)
{
    TDMap& m = start(kThreeBrutes);
    TDTower* t = m.buildTower(0, 100);
    TDTower* other = m.buildTower(1, 100);
    m.mPrototypes.findById(100)->hold = true;
    ASSERT_TRUE(m.castSpell(4, 500.0f, 100.0f)); // a boost that lists every tower
    run(0.1f);
    place(unit(0), 250.0f, 100.0f);
    TDBullet hit(m, t, unit(0));
    unit(0)->onHit(hit, true);
    ASSERT_EQ(unit(0)->mModifiers.size(), 1u);
    m.mBullets->add(new TDBullet(m, t, unit(0)));
    TDSpotFrame* spot = t->mSpot;
    m.removeTower(t);
    EXPECT_TRUE(unit(0)->mModifiers.empty());
    EXPECT_FALSE(m.mBullets->hasBulletOf(t));
    EXPECT_FALSE(spot->hasTower);
    EXPECT_EQ(m.mTowers, std::vector<TDTower*>{other});
    run(11.0f); // the boost ends and walks only the towers that remain
    EXPECT_FALSE(other->mImmune);
    EXPECT_NE(m.buildTower(0, 100), nullptr);
}
