// Lazy 3D transform: components until a matrix is needed.
#include "Core/Render/Transform3D.h"

#include "Core/Render/VertexFormat.h"

#include <cmath>
#include <cstring>

namespace math
{
namespace
{
bool IsExactlyZero(const Point3& p) { return p.x == 0.0f && p.y == 0.0f && p.z == 0.0f; }
bool IsNearZero(const Point3& p)
{
    return std::fabs(p.x) <= 0.0002f && std::fabs(p.y) <= 0.0002f && std::fabs(p.z) <= 0.0002f;
}
} // namespace

Transform3D::Transform3D()
{
    mMatrix.SetIdentity();
    Reset();
}

void Transform3D::Reset()
{
    mPre = Point3();
    mPost = Point3();
    mScale = Point3(1.0f, 1.0f, 1.0f);
    mRotation = Point3();
    mMatrixMode = false;
    mRotated = false;
    mScaled = false;
    mDirty = true;
}

void Transform3D::Rebuild()
{
    mDirty = false;
    mMatrix.SetIdentity();
    mMatrix.SetTranslation(mPre.x, mPre.y, mPre.z);
    if (mScaled)
        mMatrix.Scale(mScale.x, mScale.y, mScale.z);
    else if (mRotated)
        mMatrix.Rotate(mRotation.x, mRotation.y, mRotation.z);
    if (!IsExactlyZero(mPost))
        mMatrix.Translate(mPost.x, mPost.y, mPost.z);
}

void Transform3D::SwitchToMatrix()
{
    if (mMatrixMode)
        return;
    Rebuild();
    mMatrixMode = true;
}

void Transform3D::Translate(float dx, float dy, float dz)
{
    if (mMatrixMode)
    {
        mMatrix.Translate(dx, dy, dz);
        return;
    }
    mDirty = true;
    if (!mRotated && !mScaled)
        mPre += Point3(dx, dy, dz);
    else
        mPost += Point3(dx, dy, dz);
}

void Transform3D::Scale(float sx, float sy, float sz)
{
    if (!mMatrixMode && !mRotated && IsExactlyZero(mPost) && sx >= 0.0f && sy >= 0.0f && sz >= 0.0f)
    {
        mScale.x *= sx;
        mScale.y *= sy;
        mScale.z *= sz;
        mScaled = true;
        mDirty = true;
        return;
    }
    SwitchToMatrix();
    mMatrix.Scale(sx, sy, sz);
}

void Transform3D::Rotate(float x, float y, float z)
{
    if (!mMatrixMode && !mRotated && !mScaled)
    {
        mRotation += Point3(x, y, z);
        mRotated = true;
        mDirty = true;
        return;
    }
    SwitchToMatrix();
    mMatrix.Rotate(x, y, z);
}

void Transform3D::Combine(const Transform3D& other)
{
    if (other.mMatrixMode)
    {
        SwitchToMatrix();
        mMatrix = mMatrix * other.mMatrix;
        return;
    }
    if (!IsExactlyZero(other.mPre))
        Translate(other.mPre.x, other.mPre.y, other.mPre.z);
    if (other.mScaled)
        Scale(other.mScale.x, other.mScale.y, other.mScale.z);
    if (other.mRotated)
        Rotate(other.mRotation.x, other.mRotation.y, other.mRotation.z);
    if (!IsExactlyZero(other.mPost))
        Translate(other.mPost.x, other.mPost.y, other.mPost.z);
}

const Matrix4& Transform3D::GetMatrix()
{
    if (!mMatrixMode && mDirty)
        Rebuild();
    return mMatrix;
}

void Transform3D::TransformVertices(void* vertices, const render::VertexFormat& format, u32 count)
{
    u8* base = static_cast<u8*>(vertices) + format.mPosition.mOffset;
    if (!mMatrixMode && !mRotated)
    {
        const bool pre = !IsNearZero(mPre), post = !IsNearZero(mPost);
        for (u32 i = 0; i < count; ++i, base += format.mStride)
        {
            float p[3];
            std::memcpy(p, base, sizeof p);
            if (pre)
                p[0] += mPre.x, p[1] += mPre.y, p[2] += mPre.z;
            if (mScaled)
                p[0] *= mScale.x, p[1] *= mScale.y, p[2] *= mScale.z;
            if (post)
                p[0] += mPost.x, p[1] += mPost.y, p[2] += mPost.z;
            std::memcpy(base, p, sizeof p);
        }
        return;
    }
    const Matrix4& matrix = GetMatrix();
    for (u32 i = 0; i < count; ++i, base += format.mStride)
    {
        Point3 p;
        std::memcpy(&p.x, base, 4);
        std::memcpy(&p.y, base + 4, 4);
        std::memcpy(&p.z, base + 8, 4);
        matrix.TransformPoint(p);
        std::memcpy(base, &p.x, 4);
        std::memcpy(base + 4, &p.y, 4);
        std::memcpy(base + 8, &p.z, 4);
    }
}
} // namespace math
