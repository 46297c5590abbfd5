// 4x4 matrix, row-major, used with row vectors (p' = p x M); the translation is the fourth row.
#pragma once

#include "Core/Render/Point.h"

namespace math
{
class Matrix4
{
public:
    Matrix4() { SetIdentity(); }
    Matrix4(const Matrix4& o) = default;
    Matrix4& operator=(const Matrix4& o);

    void SetIdentity();
    void SetDiagonal(float x, float y, float z);
    void SetTranslation(float x, float y, float z);
    Matrix4 operator*(const Matrix4& o) const;
    Matrix4& operator*=(const Matrix4& o);

    // M = M x S: columns 0..2 of every row (the translation row too) are scaled.
    void Scale(float sx, float sy, float sz);
    // M = M x T: adds to the translation row.
    void Translate(float x, float y, float z);
    // Upper 3x3 = yaw-pitch-roll rotation (pitch x, yaw y, roll z; radians).
    void SetRotation(float x, float y, float z);
    // M = M x R, affine product (M's fourth column kept).
    void Rotate(float x, float y, float z);
    // p' = p x 3x3 + translation row; the fourth column is ignored.
    void TransformPoint(const Point3& in, Point3& out) const;
    void TransformPoint(Point3& inOut) const;

    float& operator()(int row, int column) { return m[row * 4 + column]; }
    float operator()(int row, int column) const { return m[row * 4 + column]; }
    const float* Data() const { return m; }
    bool operator==(const Matrix4& o) const;

    float m[16];
};
} // namespace math
