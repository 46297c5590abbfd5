// Envelope evaluation against values worked out by hand from the curve and behaviour formulas.
#include "AnimFileBuilder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace animation;
using animtest::Env;
using animtest::Key;

namespace
{
constexpr float kEps = 1e-5f;
} // namespace

TEST(Envelope, NoKeysIsZeroAndOneKeyIsConstant)
{
    EXPECT_EQ(0.0f, Env({}).Evaluate(3.0f));
    const Envelope one = Env({Key(1.0f, 7.0f)}, BEHAVIOUR_RESET, BEHAVIOUR_LINEAR);
    for (float t : {-10.0f, 0.0f, 1.0f, 2.5f, 100.0f})
        EXPECT_EQ(7.0f, one.Evaluate(t)) << t;
}

TEST(Envelope, KeyTimesGiveTheKeyValuesExactly)
{
    // TCB keys would overshoot between keys; at the keys the stored values come back as they are.
    const Envelope e = Env({Key(0, 1, SHAPE_TCB), Key(0.5f, 4, SHAPE_TCB), Key(2, -3, SHAPE_TCB)});
    EXPECT_EQ(1.0f, e.Evaluate(0.0f));
    EXPECT_EQ(4.0f, e.Evaluate(0.5f));
    EXPECT_EQ(-3.0f, e.Evaluate(2.0f));
}

TEST(Envelope, LinearSteppedAndUnknownShapesFollowTheSecondKey)
{
    EXPECT_NEAR(2.5f, Env({Key(0, 0), Key(2, 10, SHAPE_LINEAR)}).Evaluate(0.5f), kEps);
    EXPECT_EQ(3.0f, Env({Key(0, 3), Key(2, 10, SHAPE_STEPPED)}).Evaluate(1.9f));
    // The first key's shape plays no part in picking the curve.
    EXPECT_NEAR(2.5f, Env({Key(0, 0, SHAPE_STEPPED), Key(2, 10, SHAPE_LINEAR)}).Evaluate(0.5f), kEps);
    EXPECT_EQ(0.0f, Env({Key(0, 3), Key(2, 10, 17)}).Evaluate(1.0f));
}

TEST(Envelope, HermiteUsesTheKeyTangentsScaledByNeighbourSpans)
{
    // u = 0.5: h1 = h2 = 0.5, h3 = 0.125, h4 = -0.125.
    const Envelope pair = Env({Key(0, 0, SHAPE_HERMITE, 0, 2), Key(1, 1, SHAPE_HERMITE, 3, 0)});
    EXPECT_NEAR(0.5f + 0.125f * 2 - 0.125f * 3, pair.Evaluate(0.5f), kEps);

    const Envelope three =
        Env({Key(0, 0, SHAPE_HERMITE, 0, 2), Key(1, 1, SHAPE_HERMITE, 3, 4), Key(3, 5, SHAPE_HERMITE, 1, 0)});
    // Incoming at key 1 scaled by (1 - 0) / (3 - 0).
    EXPECT_NEAR(0.5f + 0.125f * 2 - 0.125f * 1, three.Evaluate(0.5f), kEps);
    // Outgoing at key 1 scaled by (3 - 1) / (3 - 0); the last key has no next one.
    EXPECT_NEAR(0.5f * 1 + 0.5f * 5 + 0.125f * 4 * 2 / 3 - 0.125f * 1, three.Evaluate(2.0f), kEps);

    // Bezier keys share the Hermite tangents.
    const Envelope bezier = Env({Key(0, 0, SHAPE_BEZIER, 0, 2), Key(1, 1, SHAPE_BEZIER, 3, 0)});
    EXPECT_NEAR(pair.Evaluate(0.5f), bezier.Evaluate(0.5f), kEps);
    // A quarter of the way: u = 0.25, h2 = 0.15625, h4 = -0.046875, h3 = 0.140625.
    EXPECT_NEAR(0.15625f + 0.140625f * 2 - 0.046875f * 3, pair.Evaluate(0.25f), kEps);
}

TEST(Envelope, TcbTensionContinuityAndBias)
{
    // Catmull-Rom (all zero): out(k0) = d = 1; in(k1) = (1 / 2) x ((4 - 1) + 1) = 2.
    EXPECT_NEAR(0.5f + 0.125f * 1 - 0.125f * 2,
                Env({Key(0, 0, SHAPE_TCB), Key(1, 1, SHAPE_TCB), Key(2, 4, SHAPE_TCB)}).Evaluate(0.5f), kEps);
    // Tension 0.5 at key 1 halves both incoming weights: in = 0.5 x (0.5 x 3 + 0.5 x 1) = 1.
    EXPECT_NEAR(0.5f + 0.125f * 1 - 0.125f * 1,
                Env({Key(0, 0, SHAPE_TCB), Key(1, 1, SHAPE_TCB, 0.5f), Key(2, 4, SHAPE_TCB)}).Evaluate(0.5f),
                kEps);
    // Continuity 0.5 on both: out = (1 - 0.5) x 1 = 0.5; in = 0.5 x (1.5 x 3 + 0.5 x 1) = 2.5.
    EXPECT_NEAR(0.5f + 0.125f * 0.5f - 0.125f * 2.5f,
                Env({Key(0, 0, SHAPE_TCB, 0, 0.5f), Key(1, 1, SHAPE_TCB, 0, 0.5f), Key(2, 4, SHAPE_TCB)})
                    .Evaluate(0.5f),
                kEps);
    // Bias 0.5 on both: out = 0.5 x 1; in = 0.5 x (0.5 x 3 + 1.5 x 1) = 1.5.
    EXPECT_NEAR(0.5f + 0.125f * 0.5f - 0.125f * 1.5f,
                Env({Key(0, 0, SHAPE_TCB, 0, 0, 0.5f), Key(1, 1, SHAPE_TCB, 0, 0, 0.5f), Key(2, 4, SHAPE_TCB)})
                    .Evaluate(0.5f),
                kEps);
    // Between keys 1 and 2: out(k1) = (1 / 2) x ((1 - 0) + (4 - 1)) = 2, in(k2) = d = 3.
    EXPECT_NEAR(0.5f * 1 + 0.5f * 4 + 0.125f * 2 - 0.125f * 3,
                Env({Key(0, 0, SHAPE_TCB), Key(1, 1, SHAPE_TCB), Key(2, 4, SHAPE_TCB)}).Evaluate(1.5f), kEps);
}

TEST(Envelope, LinearKeysBetweenHermiteKeysGiveChordTangents)
{
    // Key 1 linear (outgoing with a previous key): (1 / 2) x ((1 - 0) + (4 - 1)) = 2; key 2 Hermite
    // with incoming tangent 6 and no next key.
    const Envelope e = Env({Key(0, 0, SHAPE_LINEAR), Key(1, 1, SHAPE_LINEAR), Key(2, 4, SHAPE_HERMITE, 6, 0)});
    EXPECT_NEAR(0.5f * 1 + 0.5f * 4 + 0.125f * 2 - 0.125f * 6, e.Evaluate(1.5f), kEps);
}

TEST(Envelope, TwoDimensionalBezierFollowsItsHandles)
{
    // Handles on the chord thirds: time and value both run straight, so the value is the time.
    const Envelope straight =
        Env({Key(0, 0, SHAPE_BEZIER2D, 0, 0, 1.0f / 3, 1.0f / 3), Key(1, 1, SHAPE_BEZIER2D, -1.0f / 3, -1.0f / 3)});
    for (float t : {0.1f, 0.25f, 0.6f, 0.9f})
        EXPECT_NEAR(t, straight.Evaluate(t), 2e-4f) << t;
    // Value handles at 1: y(0.5) = 3 x 0.25 x 0.5 + 3 x 0.5 x 0.25 + 0.125 = 0.875.
    const Envelope eased = Env({Key(0, 0, SHAPE_BEZIER2D, 0, 0, 1.0f / 3, 1), Key(1, 1, SHAPE_BEZIER2D, -1.0f / 3, 0)});
    EXPECT_NEAR(0.875f, eased.Evaluate(0.5f), kEps);
    // A first key of another shape puts its handle a third of the way with value + p1 / 3.
    const Envelope mixed = Env({Key(0, 0, SHAPE_LINEAR, 0, 3), Key(1, 1, SHAPE_BEZIER2D, -1.0f / 3, 0)});
    EXPECT_NEAR(0.875f, mixed.Evaluate(0.5f), kEps);
}

TEST(Envelope, TwoDimensionalBezierEndsOnBrokenHandles)
{
    // Handles that are not numbers never bring the curve's time near t: the search still ends.
    const Envelope broken = Env({Key(0, 0, SHAPE_BEZIER2D, 0, 0, NAN, 1), Key(1, 1, SHAPE_BEZIER2D, NAN, 0)});
    (void)broken.Evaluate(0.5f);
    // A time handle that folds the curve back: no parameter reaches t, the search ends anyway.
    const Envelope folded = Env({Key(0, 0, SHAPE_BEZIER2D, 0, 0, -50, 1), Key(1, 1, SHAPE_BEZIER2D, 50, 0)});
    EXPECT_TRUE(std::isfinite(folded.Evaluate(0.5f)));
}

TEST(Envelope, ResetAndConstantBehaviours)
{
    const Envelope reset = Env({Key(0, 5), Key(2, 10)}, BEHAVIOUR_RESET, BEHAVIOUR_RESET);
    EXPECT_EQ(0.0f, reset.Evaluate(-1.0f));
    EXPECT_EQ(0.0f, reset.Evaluate(3.0f));
    EXPECT_NEAR(7.5f, reset.Evaluate(1.0f), kEps);
    const Envelope constant = Env({Key(0, 5), Key(2, 10)});
    EXPECT_EQ(5.0f, constant.Evaluate(-1.0f));
    EXPECT_EQ(10.0f, constant.Evaluate(3.0f));
}

TEST(Envelope, RepeatWrapsIntoTheKeyedRange)
{
    const Envelope e = Env({Key(0, 5), Key(2, 10)}, BEHAVIOUR_REPEAT, BEHAVIOUR_REPEAT);
    EXPECT_NEAR(e.Evaluate(1.0f), e.Evaluate(3.0f), kEps);
    EXPECT_NEAR(7.5f, e.Evaluate(3.0f), kEps);
    EXPECT_NEAR(8.75f, e.Evaluate(-0.5f), kEps); // = value at 1.5
    EXPECT_NEAR(6.25f, e.Evaluate(20.5f), kEps); // = value at 0.5
}

TEST(Envelope, OscillateMirrorsEveryOddCycle)
{
    const Envelope e = Env({Key(0, 5), Key(2, 10)}, BEHAVIOUR_OSCILLATE, BEHAVIOUR_OSCILLATE);
    EXPECT_NEAR(8.75f, e.Evaluate(2.5f), kEps);  // first cycle after the end: mirrored, 1.5
    EXPECT_NEAR(6.25f, e.Evaluate(4.5f), kEps);  // second: as keyed, 0.5
    EXPECT_NEAR(6.25f, e.Evaluate(-0.5f), kEps); // first cycle before the start: mirrored, 0.5

    // A range that does not start at 0 mirrors within itself: half a second past the end is half
    // a second before it.
    const Envelope late = Env({Key(1, 0), Key(3, 10)}, BEHAVIOUR_OSCILLATE, BEHAVIOUR_OSCILLATE);
    EXPECT_NEAR(7.5f, late.Evaluate(3.5f), kEps);
    EXPECT_NEAR(2.5f, late.Evaluate(0.5f), kEps);
}

TEST(Envelope, OffsetRepeatAddsTheRangeRisePerCycle)
{
    const Envelope e = Env({Key(0, 0), Key(1, 10)}, BEHAVIOUR_OFFSET_REPEAT, BEHAVIOUR_OFFSET_REPEAT);
    EXPECT_NEAR(10.0f + e.Evaluate(0.5f), e.Evaluate(1.5f), kEps);
    EXPECT_NEAR(15.0f, e.Evaluate(1.5f), kEps);
    EXPECT_NEAR(32.5f, e.Evaluate(3.25f), kEps);
    EXPECT_NEAR(-5.0f, e.Evaluate(-0.5f), kEps);
    EXPECT_NEAR(-20.0f, e.Evaluate(-2.0f), kEps); // exactly on a key of an earlier cycle
}

TEST(Envelope, LinearBehaviourExtendsTheEndTangents)
{
    const Envelope chord = Env({Key(0, 5), Key(2, 10)}, BEHAVIOUR_LINEAR, BEHAVIOUR_LINEAR);
    EXPECT_NEAR(0.0f, chord.Evaluate(-2.0f), kEps);
    EXPECT_NEAR(15.0f, chord.Evaluate(4.0f), kEps);
    // Hermite keys: outgoing 4 before the start, incoming 2 after the end, per second of key span.
    const Envelope tangents =
        Env({Key(0, 0, SHAPE_HERMITE, 0, 4), Key(1, 1, SHAPE_HERMITE, 2, 0)}, BEHAVIOUR_LINEAR, BEHAVIOUR_LINEAR);
    EXPECT_NEAR(-4.0f, tangents.Evaluate(-1.0f), kEps);
    EXPECT_NEAR(3.0f, tangents.Evaluate(2.0f), kEps);
}

TEST(Envelope, KeysWithinTheToleranceKeepThePairBeforeThem)
{
    // Just past key 1 (within 0.0002) the pair (0, 1) is still used, extended past its end.
    const Envelope e = Env({Key(0, 0), Key(1, 10), Key(2, 0)});
    EXPECT_NEAR(10.001f, e.Evaluate(1.0001f), 1e-4f);
    EXPECT_NEAR(9.99f, e.Evaluate(1.001f), 1e-4f);
}

TEST(Envelope, DegenerateRangesAndTimesStayFinite)
{
    // All keys at one time: the range is empty and repeating lands on its first key.
    const Envelope flat = Env({Key(1, 3), Key(1, 8)}, BEHAVIOUR_REPEAT, BEHAVIOUR_LINEAR);
    EXPECT_EQ(3.0f, flat.Evaluate(0.0f));
    EXPECT_EQ(8.0f, flat.Evaluate(5.0f));
    // Times far beyond the range, with cycle counts that do not fit an int.
    const Envelope e = Env({Key(0, 0), Key(1, 10)}, BEHAVIOUR_OFFSET_REPEAT, BEHAVIOUR_OSCILLATE);
    EXPECT_FALSE(std::isnan(e.Evaluate(-3e30f)));
    EXPECT_TRUE(std::isfinite(e.Evaluate(3e30f)));
    // An unknown behaviour leaves the time as it is: the first pair is extended.
    EXPECT_NEAR(20.0f, Env({Key(0, 0), Key(1, 10)}, 9, 9).Evaluate(2.0f), kEps);
}
