// Matrix products for the 2D transform.
#include "Core/Base/Matrix3.h"

#include "Core/Base/Math.h"

namespace math
{
void Matrix3::Multiply(const Matrix3& other, Matrix3& out) const
{
    Matrix3 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
        {
            float sum = 0.0f;
            for (int k = 0; k < 3; ++k)
                sum += m[i][k] * other.m[k][j];
            r.m[i][j] = sum;
        }
    out = r;
}

void Matrix3::Rotate(float angle)
{
    const float c = Cos(angle), s = Sin(angle);
    Matrix3 r = Identity();
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    r.Multiply(*this, *this);
}

void Matrix3::Scale(float sx, float sy)
{
    Matrix3 s = Identity();
    s.m[0][0] = sx;
    s.m[1][1] = sy;
    s.Multiply(*this, *this);
}

void Matrix3::Translate(float dx, float dy)
{
    Matrix3 t = Identity();
    t.m[0][2] = dx;
    t.m[1][2] = dy;
    t.Multiply(*this, *this);
}
} // namespace math
