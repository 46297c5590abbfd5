#include "Core/Base/Transform2D.h"
#include "Core/Base/Matrix3.h"

#include <gtest/gtest.h>

namespace
{
void ExpectMaps(const math::Transform2D& t, float x, float y, float ex, float ey)
{
    float ox = 0, oy = 0;
    t.TransformPoint(x, y, ox, oy);
    EXPECT_NEAR(ox, ex, 1e-4f) << "x of (" << x << ", " << y << ")";
    EXPECT_NEAR(oy, ey, 1e-4f) << "y of (" << x << ", " << y << ")";
}
} // namespace

TEST(Matrix3, OperationsPreMultiplySoTheNewOneActsLast)
{
    math::Matrix3 m = math::Matrix3::Identity();
    m.Translate(5, 0);
    m.Scale(2, 3);
    float x, y;
    m.TransformPoint(1, 1, x, y);
    EXPECT_EQ(x, 12.0f); // (1 + 5) x 2
    EXPECT_EQ(y, 3.0f);
}

TEST(Matrix3, RotationUsesTheFixedSignConvention)
{
    math::Matrix3 m = math::Matrix3::Identity();
    m.Rotate(1.5707964f);
    // R = (cos, sin / -sin, cos): (1, 0) goes to (0, -1).
    float x, y;
    m.TransformPoint(1, 0, x, y);
    EXPECT_NEAR(x, 0.0f, 1e-6f);
    EXPECT_NEAR(y, -1.0f, 1e-6f);
}

TEST(Matrix3, MultiplyMayWriteIntoAnOperand)
{
    math::Matrix3 a = math::Matrix3::Identity();
    a.m[0][1] = 2;
    math::Matrix3 b = math::Matrix3::Identity();
    b.m[1][2] = 3;
    math::Matrix3 expected;
    a.Multiply(b, expected);
    EXPECT_EQ(expected.m[0][2], 6.0f);
    a.Multiply(b, a);
    EXPECT_EQ(a, expected);
}

TEST(Transform2D, StartsAsIdentityWithoutMatrixMode)
{
    math::Transform2D t;
    EXPECT_TRUE(t.IsDirty());
    EXPECT_FALSE(t.IsMatrixMode());
    EXPECT_EQ(t.GetMatrix(), math::Matrix3::Identity());
    EXPECT_FALSE(t.IsDirty());
}

TEST(Transform2D, TranslateThenScaleSwitchesToMatrixMode)
{
    math::Transform2D t;
    t.Translate(5, 0);
    t.Scale(2, 2);
    EXPECT_TRUE(t.IsMatrixMode());
    ExpectMaps(t, 0, 0, 10, 0);
    ExpectMaps(t, 3, 1, 16, 2); // 2x + 10
}

TEST(Transform2D, ScaleThenTranslateStaysLazyWithAnOffset)
{
    math::Transform2D t;
    t.Scale(2, 3);
    t.Translate(10, 20);
    EXPECT_FALSE(t.IsMatrixMode());
    EXPECT_TRUE(t.IsScaled());
    EXPECT_EQ(t.GetTranslationX(), 0.0f);
    EXPECT_EQ(t.GetOffsetX(), 10.0f);
    EXPECT_EQ(t.GetOffsetY(), 20.0f);
    ExpectMaps(t, 1, 1, 12, 23);
}

TEST(Transform2D, ScaleAfterAnOffsetKeepsTheOffsetUnscaled)
{
    // Drawing into a rectangle with a further scale relies on this: the place stays put.
    math::Transform2D t;
    t.Scale(1, 1);
    t.Translate(100, 50);
    t.Scale(2, 2);
    EXPECT_FALSE(t.IsMatrixMode());
    ExpectMaps(t, 10, 10, 120, 70);
}

TEST(Transform2D, ScaleThenRotateSwitchesToMatrixMode)
{
    math::Transform2D t;
    t.Scale(2, 2);
    t.Rotate(1.5707964f);
    EXPECT_TRUE(t.IsMatrixMode());
    ExpectMaps(t, 1, 0, 0, -2);
}

TEST(Transform2D, RotateThenTranslateKeepsTheRotationLazy)
{
    math::Transform2D t;
    t.Rotate(1.5707964f);
    t.Translate(5, 6);
    EXPECT_FALSE(t.IsMatrixMode());
    EXPECT_TRUE(t.IsRotated());
    EXPECT_EQ(t.GetTranslationX(), 0.0f);
    EXPECT_EQ(t.GetOffsetX(), 5.0f);
    EXPECT_EQ(t.GetOffsetY(), 6.0f);
    ExpectMaps(t, 1, 0, 5, 5);
}

TEST(Transform2D, TranslateThenRotateRotatesTheTranslatedPoint)
{
    math::Transform2D t;
    t.Translate(1, 0);
    t.RotateDegrees(90);
    EXPECT_FALSE(t.IsMatrixMode());
    EXPECT_EQ(t.GetAngle(), 90 * 3.1415927f / 180.0f);
    ExpectMaps(t, 0, 0, 0, -1);
}

TEST(Transform2D, MirrorStaysLazyOnlyWhenItLeavesMinusOne)
{
    math::Transform2D mirror;
    mirror.Scale(-1, 1);
    EXPECT_FALSE(mirror.IsMatrixMode());
    EXPECT_EQ(mirror.GetScaleX(), -1.0f);
    ExpectMaps(mirror, 3, 4, -3, 4);

    math::Transform2D halfMirror;
    halfMirror.Scale(2, 1);
    halfMirror.Scale(-0.5f, 1);
    EXPECT_FALSE(halfMirror.IsMatrixMode());

    math::Transform2D doubled;
    doubled.Scale(-2, 1);
    EXPECT_TRUE(doubled.IsMatrixMode());
    ExpectMaps(doubled, 3, 4, -6, 4);

    math::Transform2D flippedY;
    flippedY.Scale(1, -1);
    EXPECT_TRUE(flippedY.IsMatrixMode());
    ExpectMaps(flippedY, 3, 4, 3, -4);
}

TEST(Transform2D, MatrixModeComposesEveryFurtherOperation)
{
    math::Transform2D t;
    t.Translate(1, 0);
    t.Scale(2, 2); // matrix mode: 2x + 2
    t.Translate(0, 3);
    t.Rotate(1.5707964f);
    // (x, y) -> (2x + 2, 2y + 3) -> rotated by 90: (y', -x').
    ExpectMaps(t, 0, 0, 3, -2);
    EXPECT_FALSE(t.IsDirty());
}

TEST(Transform2D, ResetForgetsMatrixModeAndComponents)
{
    math::Transform2D t;
    t.Translate(1, 0);
    t.Scale(2, 2);
    t.Reset();
    EXPECT_FALSE(t.IsMatrixMode());
    EXPECT_FALSE(t.IsScaled());
    EXPECT_FALSE(t.IsRotated());
    EXPECT_EQ(t.GetMatrix(), math::Matrix3::Identity());
}

TEST(Transform2D, CopiesAreIndependent)
{
    math::Transform2D a;
    a.Scale(2, 2);
    math::Transform2D b = a;
    b.Translate(5, 5);
    ExpectMaps(a, 1, 1, 2, 2);
    ExpectMaps(b, 1, 1, 7, 7);
}
