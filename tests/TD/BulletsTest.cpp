// Bullets and spells in flight: misses, bursts, homing, a muzzle-point target and spell hits.
#include "BattleFixture.h"

using tdtest::BattleFixture;
using tdtest::kThreeBrutes;
using tdtest::place;

TEST_F(BattleFixture, StraightBulletThatMissesVanishesAtTheRadiusAMuzzleTargetGivesADirectionAndAHomingOneBecomesABlast)
{
    TDMap& m = start(kThreeBrutes);
    TDTower* t = m.buildTower(0, 100);
    run(0.05f);
    TDUnit* u = unit(0);
    place(u, 250.0f, 100.0f);
    TDBullet* b = new TDBullet(m, t, u);
    m.mBullets->add(b);
    EXPECT_EQ(particles.count(L"fire"), 1u);
    EXPECT_EQ(particles.count(L"trail"), 1u); // the trailing carriage return is cut
    place(u, 900.0f, 100.0f);                 // walked away; the bullet flies on to the old spot
    b->mAimX = 250.0f;
    b->mAimY = 400.0f;
    b->mDirX = 0.0f;
    b->mDirY = 1.0f;
    for (int i = 0; i < 30 && !m.mBullets->items.empty(); ++i)
        m.mBullets->update(1.0f / 60.0f);
    EXPECT_TRUE(m.mBullets->items.empty());
    EXPECT_FLOAT_EQ(u->mHealth, 100.0f);

    // A target on the muzzle gives a finite direction.
    place(u, t->mX, t->mY);
    TDBullet still(m, t, u);
    EXPECT_EQ(std::pair(still.mDirX, still.mDirY), std::pair(0.0f, 1.0f));

    // A homing bullet whose target dies becomes a blast.
    TDTower* homing = m.buildTower(1, 200);
    place(unit(0), 250.0f, 120.0f);
    place(unit(1), 250.0f, 100.0f);
    TDBullet* h = new TDBullet(m, homing, unit(0));
    m.mBullets->add(h);
    m.forgetUnit(unit(0));
    EXPECT_EQ(h->mTarget, nullptr);
    size_t before = m.mModifiers.size();
    m.mBullets->update(1.0f / 60.0f);
    ASSERT_EQ(m.mModifiers.size(), before + 1);
    m.mModifiers.back()->update(nullptr, 0.01f); // a blast ends on its first update
    EXPECT_FALSE(m.mModifiers.back()->mActive);
}

TEST_F(BattleFixture, ExplosionHitsEveryUnitWithinTheAmmoRadiusOnce)
{
    TDMap& m = start(kThreeBrutes);
    TDTower* t = m.buildTower(0, 100);
    m.mPrototypes.findById(2001)->radius = 30.0f;
    run(0.05f);
    place(unit(0), 250.0f, 120.0f);
    place(unit(1), 250.0f, 150.0f); // exactly 30 from the bullet at (250, 120)
    place(unit(2), 250.0f, 151.0f);
    TDBullet* b = new TDBullet(m, t, unit(0));
    b->mX = 250.0f;
    b->mY = 125.0f;
    b->mDirX = 0.0f;
    b->mDirY = -1.0f;
    b->mSpeed = 300.0f; // 5 units per frame: within 10 of the aim at once
    m.mBullets->add(b);
    m.mBullets->update(1.0f / 60.0f);
    EXPECT_TRUE(m.mBullets->items.empty());
    // Indirect hits: ammo r 30, strength 5, falloff by distance from the burst.
    EXPECT_LT(unit(0)->mHealth, 100.0f);
    EXPECT_FLOAT_EQ(unit(1)->mHealth, 100.0f); // at r: falloff 0, but it was hit
    EXPECT_FLOAT_EQ(unit(2)->mHealth, 100.0f);
    EXPECT_EQ(std::count(sounds.played.begin(), sounds.played.end(), L"enemy2hit"), 2);
}

TEST_F(BattleFixture, AStraightBulletBurstsAroundItsOwnPointOverTheUnitsDrawnPositions)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"2\"/><e id=\"2\"/><e id=\"2\"/><e id=\"2\"/></wave>");
    TDTower* t = m.buildTower(0, 100);
    m.mPrototypes.findById(2001)->radius = 30.0f;
    run(0.05f);
    ASSERT_EQ(m.mWaves.mUnits.size(), 4u);
    TDUnit* aimed = unit(0);
    place(aimed, 250.0f, 120.0f);
    TDBullet* b = new TDBullet(m, t, aimed);
    // One frame of 1/64 s at 320 moves it 5 up, to (250, 126): 6 from its aim, so it bursts there.
    b->mX = 250.0f;
    b->mY = 131.0f;
    b->mDirX = 0.0f;
    b->mDirY = -1.0f;
    b->mSpeed = 320.0f;
    place(aimed, 250.0f, 157.0f);   // moved on: 31 from the burst, 37 from the aim
    place(unit(1), 226.0f, 108.0f); // 30 from the burst, at its edge
    place(unit(2), 250.0f, 93.0f);  // 33 from the burst, 27 from the aim
    place(unit(3), 230.0f, 126.0f); // drawn 20 from the burst...
    unit(3)->mPos[0] = 900.0f;      // ...while it stands far off
    m.mBullets->add(b);
    m.mBullets->update(1.0f / 64.0f);
    EXPECT_TRUE(m.mBullets->items.empty());
    EXPECT_EQ(std::count(sounds.played.begin(), sounds.played.end(), L"enemy2hit"), 2) << "units 1 and 3";
    EXPECT_LT(unit(3)->mHealth, 100.0f);
    for (size_t i : {0, 1, 2})
        EXPECT_FLOAT_EQ(unit(i)->mHealth, 100.0f) << i; // unit 1 is hit at the edge, where the falloff is 0
}

TEST_F(BattleFixture, SpellHitsEachUnitOnceForItsLifetimeAndItsAreaEffectsComeFromItsFlags)
{
    TDMap& m = start(kThreeBrutes);
    run(0.05f);
    place(unit(0), 500.0f, 100.0f);
    place(unit(1), 900.0f, 100.0f);
    ASSERT_TRUE(m.castSpell(0, 500.0f, 100.0f)); // 3000: strength 10, lifetime 3, r 100, stun
    EXPECT_EQ(tutorial.count(L"spell_casted"), 1u);
    for (int i = 0; i < 120; ++i)
    {
        m.mBullets->update(1.0f / 60.0f);
        place(unit(0), 500.0f, 100.0f);
        place(unit(1), i < 100 ? 900.0f : 510.0f, 100.0f); // walks in at second 1.67
    }
    EXPECT_FLOAT_EQ(unit(0)->mHealth, 90.0f);
    EXPECT_FLOAT_EQ(unit(1)->mHealth, 90.0f);
    EXPECT_EQ(unit(1)->mHealthBarTime, 0.0f); // no health bar, no sound
    EXPECT_EQ(std::count(sounds.played.begin(), sounds.played.end(), L"enemy2hit"), 0);
    EXPECT_EQ(unit(0)->mModifiers.size(), 1u); // the stun
    m.forgetUnit(unit(0));
    EXPECT_EQ(m.mBullets->items[0]->mHitUnits.size(), 1u);
    for (int i = 0; i < 70; ++i)
        m.mBullets->update(1.0f / 60.0f);
    EXPECT_TRUE(m.mBullets->items.empty());

    // A second cast hits again a unit the first one hit, once for its own lifetime.
    place(unit(1), 480.0f, 100.0f);
    ASSERT_TRUE(m.castSpell(0, 500.0f, 100.0f));
    ASSERT_EQ(m.mBullets->items.size(), 1u);
    for (int i = 0; i < 3 * 60 + 10 && !m.mBullets->items.empty(); ++i)
        m.mBullets->update(1.0f / 60.0f);
    EXPECT_TRUE(m.mBullets->items.empty());
    EXPECT_FLOAT_EQ(unit(1)->mHealth, 80.0f);
    EXPECT_EQ(tutorial.count(L"spell_casted"), 2u);

    // A spell without its ammunition ends at once; an unknown spell is not cast.
    m.mBullets->add(new TDSpell(m, 9999));
    m.mBullets->update(0.01f);
    EXPECT_TRUE(m.mBullets->items.empty());
    EXPECT_FALSE(m.castSpell(7, 0.0f, 0.0f));

    // Area effects come from the spell's flags.
    place(unit(2), 500.0f, 100.0f);
    ASSERT_TRUE(m.castSpell(1, 500.0f, 100.0f)); // 3001: splash, fire, hold, dot; onAmmo "spell"
    EXPECT_FLOAT_EQ(unit(2)->mHealth, 95.0f);    // the splash goes through damage()
    ASSERT_EQ(m.mModifiers.size(), 3u);          // burning ground, impassable area, dot field
    EXPECT_EQ(particles.count(L"spell"), 1u);
    m.update(1.0f / 60.0f);
    EXPECT_EQ(unit(2)->mSpeedPenalty, 0.0f);   // reset at the end of the frame
    EXPECT_FALSE(unit(2)->mModifiers.empty()); // the field's damage over time
}
