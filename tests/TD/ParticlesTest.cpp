// Beam links and their end, particle colours and angles, and rising indicators.
#include "BattleFixture.h"

#include "Source/TD/Units/TDIndicator.h"

using tdtest::BattleFixture;

TEST_F(BattleFixture, BeamGrowsKeepsOneLinkPerThirtyUnitsAndFinishesWithItsUnit)
{
    TDMap& m = start("<wave spawn=\"1\"><e id=\"2\" y=\"-65\"/></wave><wave spawn=\"1\"><e id=\"1\"/></wave>");
    run(0.05f);
    TDUnit* u = unit(0);
    u->mDrawPos[0] = 59.0f;
    u->mDrawPos[1] = 0.0f;
    TDBeamParticle beam(particles, 0.0f, 0.0f, u, L"t_line");
    EXPECT_EQ(beam.mEmitters.size(), 2u);
    u->mDrawPos[0] = 61.0f;
    beam.update(0.05f);
    EXPECT_EQ(beam.mEmitters.size(), 3u);
    EXPECT_FLOAT_EQ(beam.mGrow, 0.5f);
    u->mDrawPos[0] = 10.0f;
    beam.update(0.05f);
    EXPECT_EQ(beam.mEmitters.size(), 2u); // one link per frame
    beam.update(0.05f);
    EXPECT_EQ(beam.mEmitters.size(), 1u);
    EXPECT_FLOAT_EQ(beam.mGrow, 1.0f);
    EXPECT_FLOAT_EQ(beam.mAngle, 180.0f); // atan2(dx, dy) + 90 for a target to the right
    EXPECT_TRUE(beam.isAlive());
    beam.dropTarget();
    beam.update(0.05f); // keeps its last end point
    EXPECT_EQ(beam.mEndX, 10.0f);

    // Forgetting the unit finishes the battle's beams on it.
    TDBeamParticle* owned = new TDBeamParticle(particles, 0.0f, 0.0f, u, L"t_line");
    m.mParticles.push_back(owned);
    m.forgetUnit(u);
    EXPECT_EQ(owned->mTarget, nullptr);
    EXPECT_FALSE(owned->isAlive());
    u->mHealth = 0.0f;
    run(0.1f);
    EXPECT_TRUE(m.mParticles.empty());
}

TEST(BattleParticles, ColoursAndAngles)
{
    float c[4];
    tdColorFromARGB(0x80FF0000u, c);
    EXPECT_EQ(std::vector<float>(c, c + 3), (std::vector<float>{1.0f, 0.0f, 0.0f}));
    EXPECT_NEAR(c[3], 0.502f, 0.001f);
    for (auto [in, out] : {std::pair{-90.0f, 270.0f}, {720.0f, 0.0f}, {std::numeric_limits<float>::quiet_NaN(), 0.0f}})
        EXPECT_EQ(tdNormalizeAngle(in), out) << in;
}

TEST(Indicators, RiseFadeAndGo)
{
    TDIndicatorList list;
    TDIndicator* text = list.add(10.0f, 50.0f, kIndicatorPlain);
    EXPECT_EQ(text->mIconSlot, -1);
    // Immune and gold have icons (slots 2 and 3); a tower's text has none. The braces add in order.
    EXPECT_EQ((std::vector<i32>{list.add(0, 0, kIndicatorImmune)->mIconSlot, list.add(0, 0, kIndicatorGold)->mIconSlot,
                                list.add(0, 0, kIndicatorText)->mIconSlot}),
              (std::vector<i32>{2, 3, -1}));
    list.update(0.5f);
    EXPECT_EQ(text->alpha(), 1.0f);
    EXPECT_FLOAT_EQ(text->mY, 42.5f);
    list.update(0.125f);
    EXPECT_FLOAT_EQ(text->alpha(), 0.5f);
    list.update(0.125f);
    EXPECT_TRUE(list.items.empty());
}

TEST(Indicators, AStackedTextLiftsTheOlderTextsOverItsPointClearOfItAndLeavesTheRestAlone)
{
    TDIndicatorList list;
    auto text = [&](float x, float y, const wchar_t* words, TDIndicatorKind kind = kIndicatorText)
    {
        TDIndicator* added = list.add(x, y, kind);
        added->mText = words;
        added->mLife = kind == kIndicatorText ? 2.5f : added->mLife;
        list.stackAbove(*added);
        return added;
    };
    auto clear = [](const TDIndicator& lower, const TDIndicator& upper)
    { return upper.mY + upper.height() * 0.5f <= lower.mY - lower.height() * 0.5f; };
    TDIndicator* first = text(100.0f, 200.0f, L"+10% range\n+10% damage");
    EXPECT_EQ(first->height(), 36.0f);
    EXPECT_EQ(first->mY, 200.0f) << "nothing to clear";
    TDIndicator* gold = text(100.0f, 200.0f, L"+5", kIndicatorGold);
    TDIndicator* elsewhere = text(300.0f, 200.0f, L"+9% range");
    TDIndicator* second = text(100.0f, 200.0f, L"+9% range\n+9% damage");
    TDIndicator* third = text(100.0f, 200.0f, L"+8% range");
    EXPECT_EQ(third->mY, 200.0f) << "the newest at its point";
    EXPECT_TRUE(clear(*third, *second));
    EXPECT_TRUE(clear(*second, *first));
    EXPECT_LT(second->mY, 200.0f - 27.0f) << "no farther than clear of the newest";
    EXPECT_GT(second->mY, 200.0f - 27.0f - 10.0f);
    EXPECT_EQ(std::pair(gold->mY, elsewhere->mY), std::pair(200.0f, 200.0f)) << "another kind, another point";

    // Older texts that have risen far enough stay where they are; a gone one is not counted.
    list.update(2.0f);
    ASSERT_EQ(list.items.size(), 4u) << "the gold has gone";
    const float risen = first->mY, thirdRisen = third->mY;
    second->mAlive = false;
    TDIndicator* fourth = text(100.0f, 185.0f, L"+7% range");
    EXPECT_EQ(fourth->mY, 185.0f);
    EXPECT_TRUE(clear(*fourth, *third));
    EXPECT_LT(third->mY, thirdRisen);
    EXPECT_EQ(first->mY, risen);
    EXPECT_TRUE(clear(*third, *first));
}
