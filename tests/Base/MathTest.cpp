// Math helpers, boxes, rectangles, the seeded random numbers, the vertex layouts, 3 x 3 matrices and
// the lazy 2D transform (operation order, modes, rotation sign and reset).
#include "Core/Base/Math.h"
#include "Core/Base/Box.h"
#include "Core/Base/Matrix3.h"
#include "Core/Base/Random.h"
#include "Core/Base/Rect.h"
#include "Core/Base/Transform2D.h"
#include "Core/Base/VertexLayouts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <tuple>

TEST(MathFunctions, MoveTowardDoubleFormsBoxesRectsAndVertexLayouts)
{
    struct Step
    {
        float from, step, target, after;
        bool arrived;
    };
    const Step steps[] = {{0.0f, 1.0f, 1.0f, 1.0f, false},   {1.0f, 1.0f, 1.0f, 1.0f, true},
                          {0.5f, 2.0f, 1.0f, 1.0f, true},    {1.0f, 0.25f, 0.4f, 0.75f, false},
                          {0.75f, 0.25f, 0.4f, 0.5f, false}, {0.5f, 0.25f, 0.4f, 0.4f, true}};
    for (const Step& s : steps)
    {
        float value = s.from;
        EXPECT_EQ(math::MoveToward(value, s.step, s.target), s.arrived) << s.from << " toward " << s.target;
        EXPECT_EQ(value, s.after) << s.from << " toward " << s.target;
    }

    // Double forms keep double precision.
    EXPECT_EQ(math::Floor(2.9999999999), 2.0);
    EXPECT_EQ(math::Floor(-0.5f), -1.0f);
    EXPECT_EQ(math::Ceil(1.0001f), 2.0f);
    EXPECT_EQ(math::Log10(1000.0), 3.0);
    EXPECT_EQ(math::Pow(2.0, 40.0), 1099511627776.0);
    EXPECT_EQ(math::Atan2(1.0f, 0.0f), 1.5707964f);

    // The angle constants: 180 degrees in double are the float pi, not the double one; the
    // reciprocals carry the rounding of the values they invert.
    EXPECT_EQ(180.0 * math::kDegToRadD, 3.1415927410125732);
    EXPECT_NE(180.0 * math::kDegToRadD, 3.141592653589793);
    EXPECT_EQ(math::kRadToDegD, 57.29577791868204);
    EXPECT_EQ(math::kOneOverTwoPi, 0.15915494f);
    EXPECT_EQ(math::kRadToDeg, 57.29578f);
    // A full turn: the double pi doubled, and its nearest float.
    EXPECT_EQ(math::kTwoPiD, 2.0 * std::numbers::pi);
    EXPECT_EQ(math::kTwoPi, 2.0f * std::numbers::pi_v<float>);

    // An empty box takes the first point, merging widens, corners come in order, rects exclude
    // their far edges.
    math::Box box;
    box.AddPoint(3.0f, 4.0f, 5.0f);
    box.SetEmpty();
    EXPECT_TRUE(box.IsEmpty());
    EXPECT_EQ(box.minX, 3.4028235e38f);
    EXPECT_EQ(box.maxZ, -3.4028235e38f);
    box.AddPoint(-2.0f, 7.0f, 1.0f);
    EXPECT_FALSE(box.IsEmpty());
    EXPECT_EQ(std::make_tuple(0.0f, 0.0f, 0.0f, -2.0f, 7.0f),
              std::make_tuple(box.Width(), box.Height(), box.Depth(), box.minX, box.maxY));

    math::Box a, b, empty;
    a.AddPoint(0, 0, 0);
    a.AddPoint(1, 1, 1);
    b.AddPoint(-1, 0.5f, 3);
    math::Box before = a;
    a.Merge(empty);
    EXPECT_EQ(a, before);
    a.Merge(b);
    EXPECT_EQ(std::make_tuple(-1.0f, 3.0f, 1.0f), std::tie(a.minX, a.maxZ, a.maxY));

    box.SetEmpty();
    box.AddPoint(1, 2, 3);
    box.AddPoint(4, 5, 6);
    const std::array<float, 3> expected[8] = {{1, 2, 3}, {1, 2, 6}, {4, 2, 6}, {4, 2, 3},
                                              {1, 5, 3}, {1, 5, 6}, {4, 5, 6}, {4, 5, 3}};
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(box.GetCorner(n), expected[n]) << n;
    EXPECT_EQ(box.GetCorner(8), (std::array<float, 3>{0, 0, 0}));
    EXPECT_EQ(box.GetCorner(-1), (std::array<float, 3>{0, 0, 0}));

    math::Rect r(10, 20, 5, 5);
    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(14.9f, 24.9f));
    EXPECT_FALSE(r.Contains(15, 22));
    EXPECT_FALSE(r.Contains(12, 25));
    EXPECT_FALSE(r.Contains(9.9f, 22));
    // Right and Bottom are the first coordinates outside, next to the last inside.
    EXPECT_FALSE(r.Contains(r.Right(), 22));
    EXPECT_TRUE(r.Contains(std::nextafter(r.Right(), 0.0f), 22));
    EXPECT_FALSE(r.Contains(12, r.Bottom()));
    EXPECT_TRUE(r.Contains(12, std::nextafter(r.Bottom(), 0.0f)));

    // Vertex layout elements tile each stride in id order.
    ASSERT_EQ(std::size(base::kVertexLayouts), 3u);
    for (const base::VertexLayoutInfo& layout : base::kVertexLayouts)
    {
        EXPECT_STREQ(layout.elements[0].name, "pos");
        u32 end = 0;
        for (size_t e = 0; e < layout.elementCount; ++e)
        {
            EXPECT_EQ(layout.elements[e].offset, end) << layout.name << " element " << e;
            end += layout.elements[e].size;
        }
        EXPECT_EQ(end, layout.stride) << layout.name;
    }
}

TEST(Random, SeededValuesMatchTheReferenceVectorsRangesScaleInFloatAndStayInTheUnitInterval)
{
    math::SetRandomSeed(0);
    // r = 548517411, 1909112175, 77625358 and 1642700795, each x 2^-32 in float.
    EXPECT_EQ(math::Random(1), 0.12771167f);
    EXPECT_EQ(math::Random(2), 0.44449982f);
    EXPECT_EQ(math::Random(7), 0.018073563f);
    EXPECT_EQ(math::Random(8), 0.38247108f);

    math::SetRandomSeed(0);
    EXPECT_EQ(math::Random(), 0.12771167f);
    EXPECT_EQ(math::GetRandomSeed(), 1u);
    EXPECT_EQ(math::Random(), 0.44449982f);
    math::Random(7);
    EXPECT_EQ(math::Random(), 0.38247108f) << "a seed moves the sequence";

    math::SetRandomSeed(0xFFFFFFFEu);
    math::Random();
    EXPECT_EQ(math::GetRandomSeed(), 0xFFFFFFFFu);
    math::Random();
    EXPECT_EQ(math::GetRandomSeed(), 0u) << "wraps at the top of the range";

    const float r = static_cast<float>(1909112175.0);
    EXPECT_EQ(math::RandomRange(20.0f, 50.0f, 2), (r * 30.0f) * 0x1p-32f + 20.0f);
    EXPECT_EQ(math::GetRandomSeed(), 2u);
    EXPECT_EQ(math::RandomRange(3.0f, 3.0f, 5), 3.0f);

    // Seed 26244664 hashes to 4294967202, within 128 of 2^32.
    EXPECT_EQ(math::Random(26244664), 1.0f);
    EXPECT_EQ(math::RandomRange(2.0f, 5.0f, 26244664), 5.0f);

    double sum = 0.0;
    for (int i = 0; i < 10000; ++i)
    {
        const float v = math::Random();
        ASSERT_GE(v, 0.0f);
        ASSERT_LE(v, 1.0f);
        sum += v;
    }
    EXPECT_NEAR(sum / 10000.0, 0.5, 0.02);
    math::SetRandomSeed(0); // the seed other code starts from
}

TEST(Transform2D, MatrixOperationsActLastAndTheOperationOrderDecidesTheModeAndTheMapping)
{
    math::Matrix3 m = math::Matrix3::Identity();
    m.Translate(5, 0);
    m.Scale(2, 3);
    float x, y;
    m.TransformPoint(1, 1, x, y);
    EXPECT_EQ(x, 12.0f); // (1 + 5) x 2
    EXPECT_EQ(y, 3.0f);

    m = math::Matrix3::Identity();
    m.Rotate(1.5707964f);
    // R = (cos, sin / -sin, cos): (1, 0) goes to (0, -1).
    m.TransformPoint(1, 0, x, y);
    EXPECT_NEAR(x, 0.0f, 1e-6f);
    EXPECT_NEAR(y, -1.0f, 1e-6f);

    math::Matrix3 a = math::Matrix3::Identity();
    a.m[0][1] = 2;
    math::Matrix3 b = math::Matrix3::Identity();
    b.m[1][2] = 3;
    math::Matrix3 expected;
    a.Multiply(b, expected);
    EXPECT_EQ(expected.m[0][2], 6.0f);
    a.Multiply(b, a);
    EXPECT_EQ(a, expected);

    // Translate-then-scale, rotate-after-scale and mirrors other than -1 need the matrix; the
    // rest stays lazy, and an offset given after a scale stays unscaled.
    struct Case
    {
        const char* what;
        void (*build)(math::Transform2D&);
        bool matrixMode;
        float x, y, ex, ey;
    };
    const Case cases[] = {
        {"translate, scale", [](math::Transform2D& t) { t.Translate(5, 0), t.Scale(2, 2); }, true, 3, 1, 16, 2},
        {"scale, translate", [](math::Transform2D& t) { t.Scale(2, 3), t.Translate(10, 20); }, false, 1, 1, 12, 23},
        {"scale, translate, scale", [](math::Transform2D& t) { t.Scale(1, 1), t.Translate(100, 50), t.Scale(2, 2); },
         false, 10, 10, 120, 70},
        {"scale, rotate", [](math::Transform2D& t) { t.Scale(2, 2), t.Rotate(1.5707964f); }, true, 1, 0, 0, -2},
        {"rotate, translate", [](math::Transform2D& t) { t.Rotate(1.5707964f), t.Translate(5, 6); }, false, 1, 0, 5, 5},
        {"translate, rotate", [](math::Transform2D& t) { t.Translate(1, 0), t.RotateDegrees(90); }, false, 0, 0, 0, -1},
        {"mirror x", [](math::Transform2D& t) { t.Scale(-1, 1); }, false, 3, 4, -3, 4},
        {"scale, half mirror", [](math::Transform2D& t) { t.Scale(2, 1), t.Scale(-0.5f, 1); }, false, 3, 4, -3, 4},
        {"doubled mirror", [](math::Transform2D& t) { t.Scale(-2, 1); }, true, 3, 4, -6, 4},
        {"mirror y", [](math::Transform2D& t) { t.Scale(1, -1); }, true, 3, 4, 3, -4},
        // Matrix mode composes every further operation: (2x + 2, 2y + 3) turned by 90 degrees.
        {"matrix mode, then more",
         [](math::Transform2D& t) { t.Translate(1, 0), t.Scale(2, 2), t.Translate(0, 3), t.Rotate(1.5707964f); }, true,
         0, 0, 3, -2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        math::Transform2D t;
        c.build(t);
        EXPECT_EQ(t.IsMatrixMode(), c.matrixMode);
        t.TransformPoint(c.x, c.y, x, y);
        EXPECT_NEAR(x, c.ex, 1e-4f);
        EXPECT_NEAR(y, c.ey, 1e-4f);
        EXPECT_FALSE(t.IsDirty());
    }
    math::Transform2D t;
    t.Translate(1, 0);
    t.Scale(2, 2);
    t.Reset();
    EXPECT_FALSE(t.IsMatrixMode());
    EXPECT_FALSE(t.IsScaled());
    EXPECT_FALSE(t.IsRotated());
    EXPECT_EQ(t.GetMatrix(), math::Matrix3::Identity());
}

TEST(Transform2D, AResetAfterARotationLeavesNothingForTheNextRotationOrScale)
{
    // Used transforms, each with a rotation in it (lazy, with an offset, or in matrix mode).
    struct Used
    {
        const char* what;
        void (*build)(math::Transform2D&);
    };
    const Used used[] = {
        {"rotated", [](math::Transform2D& t) { t.Rotate(0.7f); }},
        {"rotated, offset", [](math::Transform2D& t) { t.RotateDegrees(30), t.Translate(4, -9); }},
        {"translated, rotated", [](math::Transform2D& t) { t.Translate(12, 5), t.Rotate(-1.1f); }},
        {"scaled, rotated", [](math::Transform2D& t) { t.Scale(2, 3), t.Rotate(0.5f), t.Translate(7, 1); }},
        {"rotated, scaled", [](math::Transform2D& t) { t.Rotate(0.25f), t.Scale(1.5f, 1.5f); }},
    };
    // What is done after the reset, as on a fresh transform.
    const Used next[] = {
        {"rotate, translate", [](math::Transform2D& t) { t.Rotate(0.4f), t.Translate(3, -2); }},
        {"translate, rotate", [](math::Transform2D& t) { t.Translate(6, 8), t.RotateDegrees(45); }},
        {"scale, translate", [](math::Transform2D& t) { t.Scale(2, 2), t.Translate(10, 0); }},
    };
    for (const Used& u : used)
        for (const Used& n : next)
        {
            SCOPED_TRACE(std::string(u.what) + " / " + n.what);
            math::Transform2D fresh;
            n.build(fresh);
            math::Transform2D t;
            u.build(t);
            (void)t.GetMatrix(); // a clean matrix left over must not survive either
            t.Reset();
            n.build(t);
            EXPECT_EQ(t.IsMatrixMode(), fresh.IsMatrixMode());
            EXPECT_EQ(t.IsRotated(), fresh.IsRotated());
            EXPECT_EQ(t.IsScaled(), fresh.IsScaled());
            EXPECT_EQ(t.GetAngle(), fresh.GetAngle());
            EXPECT_EQ(t.GetTranslationX(), fresh.GetTranslationX());
            EXPECT_EQ(t.GetTranslationY(), fresh.GetTranslationY());
            EXPECT_EQ(t.GetOffsetX(), fresh.GetOffsetX());
            EXPECT_EQ(t.GetOffsetY(), fresh.GetOffsetY());
            EXPECT_EQ(t.GetScaleX(), fresh.GetScaleX());
            EXPECT_EQ(t.GetScaleY(), fresh.GetScaleY());
            EXPECT_EQ(t.GetMatrix(), fresh.GetMatrix());
        }

    // At its numbers: turned by 0.4 after a reset, (1, 0) goes where a single 0.4 turn takes it,
    // not where 0.7 + 0.4 would.
    math::Transform2D t;
    t.Rotate(0.7f);
    t.Reset();
    t.Rotate(0.4f);
    float x = 0, y = 0;
    t.TransformPoint(1, 0, x, y);
    EXPECT_NEAR(x, std::cos(0.4f), 1e-6f);
    EXPECT_NEAR(y, -std::sin(0.4f), 1e-6f);
}
