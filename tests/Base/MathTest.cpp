#include "Core/Base/Math.h"
#include "Core/Base/Box.h"
#include "Core/Base/Rect.h"

#include <gtest/gtest.h>

TEST(MoveToward, StepsClampAtTheTargetAndArrivalIsReportedOnTheCallAfterLanding)
{
    struct Step
    {
        float from, step, target, after;
        bool arrived;
    };
    const Step steps[] = {{0.0f, 1.0f, 1.0f, 1.0f, false}, {1.0f, 1.0f, 1.0f, 1.0f, true},
                          {0.5f, 2.0f, 1.0f, 1.0f, true},  {1.0f, 0.25f, 0.4f, 0.75f, false},
                          {0.75f, 0.25f, 0.4f, 0.5f, false}, {0.5f, 0.25f, 0.4f, 0.4f, true}};
    for (const Step& s : steps)
    {
        float value = s.from;
        EXPECT_EQ(math::MoveToward(value, s.step, s.target), s.arrived) << s.from << " toward " << s.target;
        EXPECT_EQ(value, s.after) << s.from << " toward " << s.target;
    }
}

TEST(MathFunctions, DoubleFormsKeepDoublePrecision)
{
    EXPECT_EQ(math::Floor(2.9999999999), 2.0);
    EXPECT_EQ(math::Floor(-0.5f), -1.0f);
    EXPECT_EQ(math::Ceil(1.0001f), 2.0f);
    EXPECT_EQ(math::Log10(1000.0), 3.0);
    EXPECT_EQ(math::Pow(2.0, 40.0), 1099511627776.0);
    EXPECT_EQ(math::Atan2(1.0f, 0.0f), 1.5707964f);
}

TEST(Box, EmptyBoxTakesTheFirstPointAsBothCorners)
{
    math::Box box;
    box.AddPoint(3.0f, 4.0f, 5.0f);
    box.SetEmpty();
    EXPECT_TRUE(box.IsEmpty());
    EXPECT_EQ(box.minX, 3.4028235e38f);
    EXPECT_EQ(box.maxZ, -3.4028235e38f);
    box.AddPoint(-2.0f, 7.0f, 1.0f);
    EXPECT_FALSE(box.IsEmpty());
    EXPECT_EQ(box.Width(), 0.0f);
    EXPECT_EQ(box.Height(), 0.0f);
    EXPECT_EQ(box.Depth(), 0.0f);
    EXPECT_EQ(box.minX, -2.0f);
    EXPECT_EQ(box.maxY, 7.0f);
}

TEST(Box, MergeWidensAndAnEmptyBoxChangesNothing)
{
    math::Box a, b, empty;
    a.AddPoint(0, 0, 0);
    a.AddPoint(1, 1, 1);
    b.AddPoint(-1, 0.5f, 3);
    math::Box before = a;
    a.Merge(empty);
    EXPECT_EQ(a, before);
    a.Merge(b);
    EXPECT_EQ(a.minX, -1.0f);
    EXPECT_EQ(a.maxZ, 3.0f);
    EXPECT_EQ(a.maxY, 1.0f);
}

TEST(Box, CornersComeInTheFixedOrder)
{
    math::Box box;
    box.AddPoint(1, 2, 3);
    box.AddPoint(4, 5, 6);
    const std::array<float, 3> expected[8] = {{1, 2, 3}, {1, 2, 6}, {4, 2, 6}, {4, 2, 3},
                                              {1, 5, 3}, {1, 5, 6}, {4, 5, 6}, {4, 5, 3}};
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(box.GetCorner(n), expected[n]) << n;
    EXPECT_EQ(box.GetCorner(8), (std::array<float, 3>{0, 0, 0}));
    EXPECT_EQ(box.GetCorner(-1), (std::array<float, 3>{0, 0, 0}));
}

TEST(Rect, ContainsIncludesTopLeftAndExcludesBottomRight)
{
    math::Rect r(10, 20, 5, 5);
    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(14.9f, 24.9f));
    EXPECT_FALSE(r.Contains(15, 22));
    EXPECT_FALSE(r.Contains(12, 25));
    EXPECT_FALSE(r.Contains(9.9f, 22));
    EXPECT_EQ(r.Right(), 15.0f);
    EXPECT_EQ(r.Bottom(), 25.0f);
}
