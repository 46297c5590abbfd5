// 3 x 3 matrices and the lazy 2D transform: operation order, modes, rotation sign and reset.
#include "Core/Base/Transform2D.h"
#include "Core/Base/Matrix3.h"

#include <gtest/gtest.h>

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
        {"scale, translate, scale",
         [](math::Transform2D& t) { t.Scale(1, 1), t.Translate(100, 50), t.Scale(2, 2); }, false, 10, 10, 120, 70},
        {"scale, rotate", [](math::Transform2D& t) { t.Scale(2, 2), t.Rotate(1.5707964f); }, true, 1, 0, 0, -2},
        {"rotate, translate", [](math::Transform2D& t) { t.Rotate(1.5707964f), t.Translate(5, 6); }, false, 1, 0, 5, 5},
        {"translate, rotate", [](math::Transform2D& t) { t.Translate(1, 0), t.RotateDegrees(90); }, false, 0, 0, 0, -1},
        {"mirror x", [](math::Transform2D& t) { t.Scale(-1, 1); }, false, 3, 4, -3, 4},
        {"scale, half mirror", [](math::Transform2D& t) { t.Scale(2, 1), t.Scale(-0.5f, 1); }, false, 3, 4, -3, 4},
        {"doubled mirror", [](math::Transform2D& t) { t.Scale(-2, 1); }, true, 3, 4, -6, 4},
        {"mirror y", [](math::Transform2D& t) { t.Scale(1, -1); }, true, 3, 4, 3, -4},
        // Matrix mode composes every further operation: (2x + 2, 2y + 3) turned by 90 degrees.
        {"matrix mode, then more",
         [](math::Transform2D& t) { t.Translate(1, 0), t.Scale(2, 2), t.Translate(0, 3), t.Rotate(1.5707964f); },
         true, 0, 0, 3, -2},
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

