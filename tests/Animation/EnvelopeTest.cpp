// Envelope evaluation against values worked out by hand from the curve and behaviour formulas.
#include "AnimFileBuilder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace animation;
using animtest::Env;
using animtest::Key;

namespace
{
struct Case
{
    const char* what;
    Envelope envelope;
    float t;
    float expected;
    float tolerance = 1e-5f; // 0: the value comes back exactly
};

Envelope Tcb(float tension1, float continuity, float bias)
{
    return Env({Key(0, 0, SHAPE_TCB, 0, continuity, bias), Key(1, 1, SHAPE_TCB, tension1, continuity, bias),
                Key(2, 4, SHAPE_TCB)});
}

const Envelope kPair = Env({Key(0, 0, SHAPE_HERMITE, 0, 2), Key(1, 1, SHAPE_HERMITE, 3, 0)});
const Envelope kThree =
    Env({Key(0, 0, SHAPE_HERMITE, 0, 2), Key(1, 1, SHAPE_HERMITE, 3, 4), Key(3, 5, SHAPE_HERMITE, 1, 0)});
const Envelope kFiveTen = Env({Key(0, 5), Key(2, 10)});
} // namespace

// Hermite weights at u = 0.5: h1 = h2 = 0.5, h3 = 0.125, h4 = -0.125; at u = 0.25: h2 = 0.15625,
// h3 = 0.140625, h4 = -0.046875.
TEST(Envelope, CurvesAndBehavioursGiveTheWorkedOutValuesAndStayFinite)
{
    const auto fiveTen = [](u32 behaviour) { return Env({Key(0, 5), Key(2, 10)}, behaviour, behaviour); };
    const Envelope reset = fiveTen(BEHAVIOUR_RESET);
    const Envelope repeat = fiveTen(BEHAVIOUR_REPEAT);
    const Envelope oscillate = fiveTen(BEHAVIOUR_OSCILLATE);
    const Envelope linear = fiveTen(BEHAVIOUR_LINEAR);
    const Envelope lateOscillate = Env({Key(1, 0), Key(3, 10)}, BEHAVIOUR_OSCILLATE, BEHAVIOUR_OSCILLATE);
    const Envelope offset = Env({Key(0, 0), Key(1, 10)}, BEHAVIOUR_OFFSET_REPEAT, BEHAVIOUR_OFFSET_REPEAT);
    const Case cases[] = {
        {"no keys", Env({}), 3.0f, 0.0f, 0.0f},
        {"one key, before", Env({Key(1, 7)}, BEHAVIOUR_RESET, BEHAVIOUR_LINEAR), -10.0f, 7.0f, 0.0f},
        {"one key, after", Env({Key(1, 7)}, BEHAVIOUR_RESET, BEHAVIOUR_LINEAR), 100.0f, 7.0f, 0.0f},
        {"TCB at a key", Env({Key(0, 1, SHAPE_TCB), Key(0.5f, 4, SHAPE_TCB), Key(2, -3, SHAPE_TCB)}), 0.5f, 4.0f, 0.0f},
        {"linear", Env({Key(0, 0), Key(2, 10, SHAPE_LINEAR)}), 0.5f, 2.5f},
        {"stepped", Env({Key(0, 3), Key(2, 10, SHAPE_STEPPED)}), 1.9f, 3.0f, 0.0f},
        {"the first key's shape plays no part", Env({Key(0, 0, SHAPE_STEPPED), Key(2, 10, SHAPE_LINEAR)}), 0.5f, 2.5f},
        {"unknown shape", Env({Key(0, 3), Key(2, 10, 17)}), 1.0f, 0.0f},
        {"Hermite pair", kPair, 0.5f, 0.5f + 0.125f * 2 - 0.125f * 3},
        {"Hermite pair, a quarter", kPair, 0.25f, 0.15625f + 0.140625f * 2 - 0.046875f * 3},
        // Incoming at key 1 scaled by (1 - 0) / (3 - 0); outgoing by (3 - 1) / (3 - 0).
        {"Hermite incoming scaled by the spans", kThree, 0.5f, 0.5f + 0.125f * 2 - 0.125f * 1},
        {"Hermite outgoing scaled by the spans", kThree, 2.0f, 0.5f * 1 + 0.5f * 5 + 0.125f * 4 * 2 / 3 - 0.125f * 1},
        {"Bezier shares the Hermite tangents", Env({Key(0, 0, SHAPE_BEZIER, 0, 2), Key(1, 1, SHAPE_BEZIER, 3, 0)}),
         0.5f, 0.5f + 0.125f * 2 - 0.125f * 3},
        // Catmull-Rom: out(k0) = 1; in(k1) = (1 / 2) x ((4 - 1) + 1) = 2.
        {"TCB all zero", Tcb(0, 0, 0), 0.5f, 0.5f + 0.125f * 1 - 0.125f * 2},
        {"TCB tension halves the incoming weights", Tcb(0.5f, 0, 0), 0.5f, 0.5f + 0.125f * 1 - 0.125f * 1},
        {"TCB continuity", Tcb(0, 0.5f, 0), 0.5f, 0.5f + 0.125f * 0.5f - 0.125f * 2.5f},
        {"TCB bias", Tcb(0, 0, 0.5f), 0.5f, 0.5f + 0.125f * 0.5f - 0.125f * 1.5f},
        {"TCB second span", Tcb(0, 0, 0), 1.5f, 0.5f * 1 + 0.5f * 4 + 0.125f * 2 - 0.125f * 3},
        // Key 1 linear between keys: chord tangent 2; key 2 Hermite incoming 6, no next key.
        {"linear key among Hermite keys",
         Env({Key(0, 0, SHAPE_LINEAR), Key(1, 1, SHAPE_LINEAR), Key(2, 4, SHAPE_HERMITE, 6, 0)}), 1.5f,
         0.5f * 1 + 0.5f * 4 + 0.125f * 2 - 0.125f * 6},
        // y(0.5) = 3 x 0.25 x 0.5 + 3 x 0.5 x 0.25 + 0.125.
        {"2D Bezier eased",
         Env({Key(0, 0, SHAPE_BEZIER2D, 0, 0, 1.0f / 3, 1), Key(1, 1, SHAPE_BEZIER2D, -1.0f / 3, 0)}), 0.5f, 0.875f},
        {"2D Bezier after another shape: handle a third along, value + p1 / 3",
         Env({Key(0, 0, SHAPE_LINEAR, 0, 3), Key(1, 1, SHAPE_BEZIER2D, -1.0f / 3, 0)}), 0.5f, 0.875f},
        {"reset before", reset, -1.0f, 0.0f, 0.0f},
        {"reset after", reset, 3.0f, 0.0f, 0.0f},
        {"reset inside", reset, 1.0f, 7.5f},
        {"constant before", kFiveTen, -1.0f, 5.0f, 0.0f},
        {"constant after", kFiveTen, 3.0f, 10.0f, 0.0f},
        {"repeat after", repeat, 3.0f, 7.5f},
        {"repeat before", repeat, -0.5f, 8.75f},
        {"repeat far after", repeat, 20.5f, 6.25f},
        {"oscillate: first cycle after, mirrored", oscillate, 2.5f, 8.75f},
        {"oscillate: second cycle, as keyed", oscillate, 4.5f, 6.25f},
        {"oscillate: first cycle before, mirrored", oscillate, -0.5f, 6.25f},
        // A range that does not start at 0 mirrors within itself.
        {"oscillate a late range, after", lateOscillate, 3.5f, 7.5f},
        {"oscillate a late range, before", lateOscillate, 0.5f, 2.5f},
        {"offset repeat", offset, 1.5f, 15.0f},
        {"offset repeat, cycles on", offset, 3.25f, 32.5f},
        {"offset repeat before", offset, -0.5f, -5.0f},
        {"offset repeat on a key of an earlier cycle", offset, -2.0f, -20.0f},
        {"linear extends the chord before", linear, -2.0f, 0.0f},
        {"linear extends the chord after", linear, 4.0f, 15.0f},
        {"linear extends the Hermite tangent before",
         Env({Key(0, 0, SHAPE_HERMITE, 0, 4), Key(1, 1, SHAPE_HERMITE, 2, 0)}, BEHAVIOUR_LINEAR, BEHAVIOUR_LINEAR),
         -1.0f, -4.0f},
        {"linear extends the Hermite tangent after",
         Env({Key(0, 0, SHAPE_HERMITE, 0, 4), Key(1, 1, SHAPE_HERMITE, 2, 0)}, BEHAVIOUR_LINEAR, BEHAVIOUR_LINEAR),
         2.0f, 3.0f},
        // Just past key 1 (within 0.0002) the pair (0, 1) is still used, extended past its end.
        {"within the key tolerance", Env({Key(0, 0), Key(1, 10), Key(2, 0)}), 1.0001f, 10.001f, 1e-4f},
        {"past the key tolerance", Env({Key(0, 0), Key(1, 10), Key(2, 0)}), 1.001f, 9.99f, 1e-4f},
        {"all keys at one time, repeated", Env({Key(1, 3), Key(1, 8)}, BEHAVIOUR_REPEAT, BEHAVIOUR_LINEAR), 0.0f, 3.0f,
         0.0f},
        {"all keys at one time, after", Env({Key(1, 3), Key(1, 8)}, BEHAVIOUR_REPEAT, BEHAVIOUR_LINEAR), 5.0f, 8.0f,
         0.0f},
        {"unknown behaviour extends the first pair", Env({Key(0, 0), Key(1, 10)}, 9, 9), 2.0f, 20.0f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.expected, c.envelope.Evaluate(c.t), c.tolerance) << c.what;

    // Handles on the chord thirds: time and value run straight, so the value is the time.
    const Envelope straight =
        Env({Key(0, 0, SHAPE_BEZIER2D, 0, 0, 1.0f / 3, 1.0f / 3), Key(1, 1, SHAPE_BEZIER2D, -1.0f / 3, -1.0f / 3)});
    for (float t : {0.1f, 0.25f, 0.6f, 0.9f})
        EXPECT_NEAR(t, straight.Evaluate(t), 2e-4f) << t;

    // Broken handles and huge times stay finite.
    // Handles that are not numbers never bring the curve's time near t: the search still ends.
    (void)Env({Key(0, 0, SHAPE_BEZIER2D, 0, 0, NAN, 1), Key(1, 1, SHAPE_BEZIER2D, NAN, 0)}).Evaluate(0.5f);
    // A time handle that folds the curve back: no parameter reaches t, the search ends anyway.
    EXPECT_TRUE(
        std::isfinite(Env({Key(0, 0, SHAPE_BEZIER2D, 0, 0, -50, 1), Key(1, 1, SHAPE_BEZIER2D, 50, 0)}).Evaluate(0.5f)));
    // Cycle counts that do not fit an int.
    const Envelope e = Env({Key(0, 0), Key(1, 10)}, BEHAVIOUR_OFFSET_REPEAT, BEHAVIOUR_OSCILLATE);
    EXPECT_FALSE(std::isnan(e.Evaluate(-3e30f)));
    EXPECT_TRUE(std::isfinite(e.Evaluate(3e30f)));
}
