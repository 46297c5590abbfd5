// The battle frame: its steps in order, what runs under another screen, speed zero, effects, timers, sprites,
// restarts and levels with absurd numbers.
#include "BattleFixture.h"

#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Units/TDEffectTimer.h"
#include "Source/TD/Units/TDSpriteEffect.h"

using tdtest::BattleFixture;
using tdtest::FakeEmitter;

namespace
{
const char* kWave = "<wave spawn=\"1\"><e id=\"1\" y=\"-65\"/></wave><wave spawn=\"1\"><e id=\"1\"/></wave>";
}

TEST_F(BattleFixture, ScreensReloadsEffectsSpeedZeroDamageOverTimeAndADeadPick)
{
    particles.missing.insert(L"damage_h");
    TDMap& m = start(kWave);
    std::vector<std::string> steps;
    m.mTrace = &steps;
    m.update(0.016f); // the running battle: every step, in order
    EXPECT_EQ(steps,
              (std::vector<std::string>{"hud",        "tutorial",   "effects",         "emitters",  "timers",
                                        "drops",      "animations", "stats",           "particles", "effects2",
                                        "indicators", "bonus",      "modifiers",       "towers",    "unitModifiers",
                                        "units",      "bullets",    "removeModifiers", "waves",     "penalties"}));
    steps.clear();
    m.mScreen = kScreenIngameMenu; // a screen over the battle: only the presentation runs
    m.mStats.mCoins = 1000;
    TDTower* tower = m.buildTower(0, 100);
    ASSERT_NE(tower, nullptr);
    m.mContextMenu = std::make_unique<TDContextMenu>(m); // a tower's ring, still opening, goes with it
    m.mContextMenu->openTower(tower);
    m.update(0.016f);
    EXPECT_EQ(steps, (std::vector<std::string>{"hud", "tutorial", "effects", "emitters"}));
    EXPECT_EQ(m.mContextMenu, nullptr);
    steps.clear();
    m.mReloadState = kReloadShown;
    m.update(0.016f);
    EXPECT_EQ(steps, std::vector<std::string>{"reload"});
    EXPECT_EQ(m.mReloadState, kReloadNone);
    EXPECT_EQ(m.mScreen, kScreenBattle);
    m.mTrace = nullptr;

    // Null emitters are dropped and one-shots end.
    EXPECT_EQ(m.startEffect(m.mEffects2, L"damage_h", 0, 0), nullptr);
    m.mEffects.push_back(new TDEffectHolder(nullptr)); // a holder without an emitter
    m.startEffect(m.mEffects, L"flash", 0, 0);
    m.update(0.016f);
    EXPECT_EQ(m.mEffects.size(), 1u); // the empty holder went
    run(1.1f);
    EXPECT_TRUE(m.mEffects.empty()); // the one-shot finished
    m.mParticles.push_back(new TDParticle(particles, L""));
    m.update(0.016f);
    EXPECT_TRUE(m.mParticles.empty()); // no emitters: deleted on the next pass

    // Effect timers fire first after their delay, then at random repeats.
    TDEffectTimer* timer = new TDEffectTimer();
    timer->name = L"smoke";
    timer->firstDelay = 1.0f;
    timer->maxRepeatDelay = 5.0f; // below 20: the repeat is still drawn between 20 and 5
    m.mEffectTimers.push_back(timer);
    run(0.9f);
    EXPECT_EQ(particles.count(L"smoke"), 0u);
    for (int i = 0; i < 20 && particles.count(L"smoke") == 0; ++i)
        m.update(0.016f);
    EXPECT_EQ(particles.count(L"smoke"), 1u);
    m.update(0.016f); // the first repeat comes at once
    EXPECT_EQ(particles.count(L"smoke"), 2u);
    EXPECT_LE(timer->repeatDelay, 20.0f);
    EXPECT_GE(timer->repeatDelay, 5.0f);

    TDEffectTimer* steady = new TDEffectTimer();
    steady->name = L"fog";
    steady->continuous = true;
    m.mEffectTimers.push_back(steady);
    run(1.0f);
    EXPECT_EQ(particles.count(L"fog"), 1u);
    EXPECT_EQ(static_cast<FakeEmitter*>(steady->effect->mEmitter.get())->loop, 1);

    // Speed zero freezes the battle but not the presentation.
    TDUnit* u = unit(0);
    ASSERT_NE(u, nullptr);
    float x = u->mPos[0];
    float time = m.mTime;
    m.mStats.addCoins(10);
    TDCrystallSpecial* gem = new TDCrystallSpecial(m, *u);
    m.mDrops.push_back(gem);
    m.mSpeed = 0.0f;
    for (int i = 0; i < 30; ++i)
        m.update(0.016f);
    EXPECT_EQ(u->mPos[0], x);
    EXPECT_EQ(m.mTime, time);
    EXPECT_EQ(gem->mTime, 0.0f);                      // drops do not age
    EXPECT_EQ(m.mStats.mShownCoins, m.mStats.mCoins); // the counter runs on

    // The button emitter plays on; damage over time ticks.
    m.mSpeed = 1.0f;
    ASSERT_NE(m.mActiveButtonEmitter, nullptr);
    m.mActiveButtonEmitter->setState(kEmitterStopped);
    m.update(0.016f);
    EXPECT_EQ(m.mActiveButtonEmitter->state(), kEmitterPlaying);
    // 0.5 per tick every 0.9 s for 2 s: ticks at 0.9 and 1.8 s (and not once more).
    u->mModifiers.push_back(new DotModifier(m, "health", 0.5f, 2.0f, nullptr, 0.9f));
    const float health = u->mHealth;
    for (int i = 0; i < 150; ++i)
        u->mModifiers.back()->update(u, 0.02f);
    EXPECT_FLOAT_EQ(u->mHealth, health - 1.0f);
    StunModifier stun(m, "speed", 0.5f, 3.0f, nullptr);
    stun.update(u, 0.01f);
    EXPECT_FLOAT_EQ(u->mSpeedPenalty, 25.0f); // half of 50

    // Running again: a picked unit is dropped once it has died.
    m.mHovered = u;
    u->mHealth = 0.0f;
    m.update(0.016f); // dying now
    EXPECT_EQ(m.mHovered, u);
    m.update(0.016f);
    EXPECT_EQ(m.mHovered, nullptr);
}

TEST_F(BattleFixture, EffectTimerRepeatsAreDrawnBetweenTwentySecondsAndTheirLargestDelay)
{
    TDMap& m = start(kWave);
    // Fires a started timer as often as asked, each time once its drawn delay has passed, and
    // gives the smallest and largest delay drawn.
    const auto drawn = [&](float largest)
    {
        TDEffectTimer timer;
        timer.started = true;
        timer.maxRepeatDelay = largest;
        float low = 1e9f, high = -1e9f;
        for (int i = 0; i < 400; ++i)
        {
            timer.update(m, timer.repeatDelay + 0.01f);
            low = std::min(low, timer.repeatDelay);
            high = std::max(high, timer.repeatDelay);
            EXPECT_EQ(timer.elapsed, 0.0f);
        }
        return std::pair(low, high);
    };
    // Between 20 and the largest delay, either way round, reaching both ends.
    for (float largest : {60.0f, 5.0f})
    {
        const auto [low, high] = drawn(largest);
        EXPECT_GE(low, std::min(20.0f, largest)) << largest;
        EXPECT_LE(high, std::max(20.0f, largest)) << largest;
        EXPECT_LT(low, std::min(20.0f, largest) + 1.0f) << largest;
        EXPECT_GT(high, std::max(20.0f, largest) - 1.0f) << largest;
    }
    EXPECT_EQ(drawn(20.0f), std::pair(20.0f, 20.0f));
}

TEST_F(BattleFixture, SpriteEffectsPlayOnceOrLoopAfterTheirDelay)
{
    TDSpriteEffect once(L"x", 0, 0, 4, 20.0f);
    for (int i = 0; i < 3; ++i)
        once.update(0.05f);
    EXPECT_TRUE(once.mAlive);
    once.update(0.05f); // 0.2 x 20 = 4 > 3
    EXPECT_FALSE(once.mAlive);

    once.mLoop = true;
    once.mAlive = true;
    for (int i = 0; i < 20; ++i)
        once.update(0.05f);
    EXPECT_TRUE(once.mAlive) << "a loop plays on";

    TDSpriteEffect later(L"x", 0, 0, 4, 20.0f);
    later.mDelay = 0.5f;
    later.update(0.1f);
    EXPECT_EQ(later.frame(), -1);

    // Fades over the last 0.2 s of its pass: 4 frames at 20 per second last 0.2 s.
    TDSpriteEffect fading(L"x", 0, 0, 8, 20.0f);
    EXPECT_EQ(fading.alpha(), 1.0f);
    fading.update(0.3f);
    EXPECT_FLOAT_EQ(fading.alpha(), 0.5f);

    TDSpriteEffect empty(L"x", 0, 0, 0, 20.0f);
    empty.update(0.1f);
    EXPECT_EQ(empty.frame(), -1);
}

TEST_F(BattleFixture, RestartingAMidBattleLevelLeavesNothingBehind)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"5\" y=\"-65\"/><e id=\"6\" y=\"-65\"/><e id=\"2\" y=\"-65\"/></wave>"
                     "<wave spawn=\"1\"><e id=\"1\"/></wave>");
    m.buildTower(0, 100);
    m.buildTower(1, 600);
    m.mPrototypes.findById(100)->hold = true;
    run(8.0f);
    m.castSpell(1, 200.0f, 100.0f);
    m.castSpell(4, 200.0f, 100.0f);
    run(0.5f);
    ASSERT_FALSE(m.mWaves.mUnits.empty());
    ASSERT_FALSE(m.mModifiers.empty());
    m.mHovered = unit(0);
    ASSERT_EQ(m.loadLevel(), QL_OK);
    EXPECT_TRUE(m.mTowers.empty() && m.mWaves.mUnits.empty() && m.mModifiers.empty() && m.mBullets->items.empty());
    EXPECT_EQ(m.mHovered, nullptr);
    run(5.0f);
    EXPECT_EQ(m.mWaves.mUnits.size(), 3u);
}

TEST_F(BattleFixture, OddLevelsRunWithoutFault)
{
    // Coordinates and times that are no numbers, endless or absurd: the battle runs on to the
    // ending its waves give, and the sanitizer build checks that no such value reaches an integer
    // conversion.
    struct OddLevel
    {
        const char* waves;
        TDScreen screen;
        i32 through;
        TDWaveEntryState entries; // the state of the first wave's first two entries
    };
    const OddLevel levels[] = {
        // A scale that is no number keeps every entry back: nothing comes, the battle waits.
        {"<wave spawn=\"1\" scale=\"nan\"><e id=\"1\" x=\"inf\"/><e id=\"2\" x=\"-inf\"/></wave>", kScreenBattle, 0,
         kEntryNotSpawned},
        // The first wave's two units walk at absurd side offsets and through; the two waves linked
        // only to each other never start, so the level is won.
        {"<wave spawn=\"1\" timeout=\"-5\"><e id=\"14\" y=\"nan\"/><e id=\"6\" y=\"1e30\"/></wave>"
         "<wave spawn=\"1\" linked=\"2\"><e id=\"1\"/></wave><wave spawn=\"1\" linked=\"1\"><e id=\"1\"/></wave>",
         kScreenWon, 2, kEntryThrough},
        // Times before the start bring the units on at once; the towers stop them.
        {"<wave spawn=\"-1\" scale=\"-1\"><e id=\"9\" x=\"-90\"/><e id=\"15\" x=\"-45\"/><e id=\"4\"/></wave>",
         kScreenBattle, 0, kEntryKilled},
    };
    const char* spots = "<spot x=\"nan\" y=\"100\"><p name=\"radius_mult\" value=\"inf\"/></spot>"
                        "<spot x=\"1e30\" y=\"-1e30\"><p name=\"damage_mult\" value=\"nan\"/></spot>";
    for (const OddLevel& level : levels)
    {
        TDMap& m = start(level.waves, spots);
        m.mStats.mCoins = 100000;
        m.buildTower(0, 100);
        m.buildTower(1, 200);
        m.buildTower(2, 600);
        m.buildTower(3, 500);
        m.castSpell(1, std::numeric_limits<float>::quiet_NaN(), 100.0f);
        run(20.0f);
        for (TDTower* t : m.mTowers)
        {
            const char* list = nullptr;
            i32 index = 0;
            t->currentFrame(list, index);
        }
        EXPECT_EQ(m.mScreen, level.screen) << level.waves;
        EXPECT_EQ(m.mStats.mUnitsThrough, level.through) << level.waves;
        ASSERT_FALSE(m.mWaves.mWaves.empty());
        const TDWaveProto& first = *m.mWaves.mWaves.front();
        ASSERT_GE(first.mEntries.size(), 2u);
        EXPECT_EQ(first.mEntries[0]->mState, level.entries) << level.waves;
        EXPECT_EQ(first.mEntries[1]->mState, level.entries) << level.waves;
    }
}
