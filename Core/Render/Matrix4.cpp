// Row-major 4x4 matrix operations.
#include "Core/Render/Matrix4.h"

#include <cmath>
#include <cstring>

namespace math
{
Matrix4& Matrix4::operator=(const Matrix4& o)
{
    if (this != &o)
        std::memcpy(m, o.m, sizeof m);
    return *this;
}

void Matrix4::SetIdentity()
{
    std::memset(m, 0, sizeof m);
    m[0] = m[5] = m[10] = m[15] = 1.0f;
}

void Matrix4::SetDiagonal(float x, float y, float z)
{
    m[0] = x;
    m[5] = y;
    m[10] = z;
}

void Matrix4::SetTranslation(float x, float y, float z)
{
    m[12] = x;
    m[13] = y;
    m[14] = z;
}

Matrix4 Matrix4::operator*(const Matrix4& o) const
{
    Matrix4 r;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
        {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += m[row * 4 + k] * o.m[k * 4 + column];
            r.m[row * 4 + column] = sum;
        }
    return r;
}

Matrix4& Matrix4::operator*=(const Matrix4& o)
{
    *this = *this * o;
    return *this;
}

bool Matrix4::operator==(const Matrix4& o) const { return std::memcmp(m, o.m, sizeof m) == 0; }

void Matrix4::Scale(float sx, float sy, float sz)
{
    for (int row = 0; row < 4; ++row)
    {
        m[row * 4 + 0] *= sx;
        m[row * 4 + 1] *= sy;
        m[row * 4 + 2] *= sz;
    }
}

void Matrix4::Translate(float x, float y, float z)
{
    m[12] += x;
    m[13] += y;
    m[14] += z;
}

void Matrix4::SetRotation(float x, float y, float z)
{
    const float cx = std::cos(x), sx = std::sin(x);
    const float cy = std::cos(y), sy = std::sin(y);
    const float cz = std::cos(z), sz = std::sin(z);
    m[0] = cz * cy + sz * sx * sy;
    m[1] = sz * cx;
    m[2] = sz * sx * cy - cz * sy;
    m[4] = cz * sx * sy - sz * cy;
    m[5] = cz * cx;
    m[6] = sz * sy + cz * sx * cy;
    m[8] = sy * cx;
    m[9] = -sx;
    m[10] = cy * cx;
}

void Matrix4::Rotate(float x, float y, float z)
{
    Matrix4 r;
    r.SetRotation(x, y, z);
    Matrix4 result = *this;
    // Affine product: the 3x3 parts multiply, the translation row goes through R's 3x3.
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column)
            result.m[row * 4 + column] = m[row * 4 + 0] * r.m[0 * 4 + column] + m[row * 4 + 1] * r.m[1 * 4 + column] +
                                         m[row * 4 + 2] * r.m[2 * 4 + column];
    *this = result;
}

void Matrix4::TransformPoint(const Point3& in, Point3& out) const
{
    Point3 p = in;
    out.x = p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12];
    out.y = p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13];
    out.z = p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14];
}

void Matrix4::TransformPoint(Point3& inOut) const { TransformPoint(inOut, inOut); }
} // namespace math
