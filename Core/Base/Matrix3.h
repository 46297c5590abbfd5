// A 3 x 3 float matrix for 2D transforms: points are column vectors, translation in m02, m12.
#pragma once

namespace math
{
class Matrix3
{
public:
    // Rows: m[0] = m00 m01 m02, m[1] = m10 m11 m12, m[2] = m20 m21 m22.
    float m[3][3] = {};

    static Matrix3 Identity()
    {
        Matrix3 r;
        r.m[0][0] = r.m[1][1] = r.m[2][2] = 1.0f;
        return r;
    }

    // out = this x other; out may be either operand.
    void Multiply(const Matrix3& other, Matrix3& out) const;

    // Each pre-multiplies (this = X x this), so the new operation acts after the existing ones.
    void Rotate(float angle);
    void Scale(float sx, float sy);
    void Translate(float dx, float dy);

    // x' = m00 x + m01 y + m02, y' = m10 x + m11 y + m12.
    void TransformPoint(float x, float y, float& outX, float& outY) const
    {
        outX = m[0][0] * x + m[0][1] * y + m[0][2];
        outY = m[1][0] * x + m[1][1] * y + m[1][2];
    }

    bool operator==(const Matrix3& other) const = default;
};
} // namespace math
