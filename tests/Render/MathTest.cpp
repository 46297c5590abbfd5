// Points, matrices and the lazy 3D transform.
#include "Core/Render/AspectRatio.h"
#include "Core/Render/Transform3D.h"
#include "Core/Render/VertexFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using math::Matrix4;
using math::Point3;
using math::Transform3D;

namespace
{
Point3 Apply(Transform3D& t, Point3 p)
{
    render::SVertexGeom v{p.x, p.y, p.z, 0};
    t.TransformVertices(&v, render::GetVertexFormat<render::SVertexGeom>(), 1);
    return {v.x, v.y, v.z};
}

TEST(Matrix4, ScaleAndRotateKeepTheTranslationRowAffine)
{
    Matrix4 m;
    m.Translate(1, 2, 3);
    m.Scale(2, 3, 4); // touches the translation row
    Point3 p(1, 1, 1);
    m.TransformPoint(p);
    EXPECT_EQ(Point3(4, 9, 16), p);
    Matrix4 turned;
    turned.Translate(10, 0, 0);
    turned.Rotate(0, 0, static_cast<float>(M_PI / 2));
    Point3 origin(0, 0, 0);
    turned.TransformPoint(origin);
    EXPECT_EQ(Point3(0, 10, 0), origin);
}

TEST(Transform3D, TheLazyPartsAndTheMatrixAgreeInEveryOrderOfSteps)
{
    // Steps: 'T' translate, 'S' scale, 'R' a turn about z by the x value.
    struct Step
    {
        char kind;
        float x, y, z;
    };
    const float quarter = static_cast<float>(M_PI / 4);
    const struct
    {
        const char* what;
        std::vector<Step> steps;
        Point3 in, out;
        bool matrixMode;
    } cases[] = {
        {"translate then scale scales the offset", {{'T', 5, 0, 0}, {'S', 2, 2, 2}}, {1, 1, 0}, {12, 2, 0}, false},
        {"scale then translate moves the scaled result", {{'S', 2, 2, 2}, {'T', 5, 0, 0}}, {1, 1, 0}, {7, 2, 0}, false},
        {"a scale after a post-translation needs the matrix",
         {{'S', 2, 2, 2}, {'T', 5, 0, 0}, {'S', 3, 3, 3}},
         {1, 1, 0},
         {21, 6, 0},
         true},
        {"a negative scale mirrors in the matrix", {{'T', 1, 0, 0}, {'S', -1, 1, 1}}, {2, 4, 0}, {-3, 4, 0}, true},
        {"one rotation stays lazy", {{'R', 2 * quarter, 0, 0}}, {1, 0, 0}, {0, 1, 0}, false},
        {"a second rotation composes in the matrix",
         {{'R', quarter, 0, 0}, {'R', quarter, 0, 0}},
         {1, 0, 0},
         {0, 1, 0},
         true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        Transform3D t;
        for (const Step& step : c.steps)
        {
            if (step.kind == 'T')
                t.Translate(step.x, step.y, step.z);
            else if (step.kind == 'S')
                t.Scale(step.x, step.y, step.z);
            else
                t.Rotate(0, 0, step.x);
        }
        EXPECT_EQ(c.matrixMode, t.IsMatrixMode());
        EXPECT_EQ(c.out, Apply(t, c.in));
        Point3 p = c.in;
        t.GetMatrix().TransformPoint(p);
        EXPECT_EQ(c.out, p);
    }

    // Combine applies the other's parts or its matrix; vertices of any stride move only their position.
    Transform3D lazy;
    lazy.Translate(1, 0, 0);
    Transform3D other;
    other.Scale(2, 2, 2);
    other.Translate(0, 3, 0);
    lazy.Combine(other);
    EXPECT_EQ(Point3(4, 5, 0), Apply(lazy, Point3(1, 1, 0)));

    Transform3D matrix;
    matrix.Scale(-1, 1, 1);
    Transform3D base;
    base.Translate(2, 0, 0);
    base.Combine(matrix);
    EXPECT_TRUE(base.IsMatrixMode());
    EXPECT_EQ(Point3(-3, 1, 0), Apply(base, Point3(1, 1, 0)));

    // Vertices of any stride move only their position.
    Transform3D t;
    t.Translate(1, 2, 0);
    render::SVertex2D v[2] = {{1, 1, 0, 1, 0xAABBCCDD, 0, 0.25f, 0.5f}, {3, 3, 0, 1, 0, 0, 0, 0}};
    t.TransformVertices(v, render::GetVertexFormat<render::SVertex2D>(), 2);
    EXPECT_EQ(2.0f, v[0].x);
    EXPECT_EQ(3.0f, v[0].y);
    EXPECT_EQ(4.0f, v[1].x);
    EXPECT_EQ(0xAABBCCDDu, v[0].diffuse);
    EXPECT_EQ(0.25f, v[0].u);
    EXPECT_EQ(1.0f, v[0].w);
}

TEST(AspectRatio, ReducesByTheCommonDivisorAndSurvivesZero)
{
    EXPECT_EQ(render::AspectRatio(16, 9), render::AspectRatio(1920, 1080));
    EXPECT_EQ(683u, render::AspectRatio(1366, 768).mNumerator);
    EXPECT_EQ(render::AspectRatio(1, 1), render::AspectRatio(0, 0));
    EXPECT_EQ(1u, render::AspectRatio(0, 5).mDenominator);
}
} // namespace
