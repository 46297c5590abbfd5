// A lazy 3D transform: (p + pre) scaled or rotated + post, until an operation needs a full matrix.
#pragma once

#include "Core/Base/Types.h"
#include "Core/Render/Matrix4.h"

namespace render
{
struct VertexFormat;
}

namespace math
{
class Transform3D
{
public:
    Transform3D();
    void Reset();
    void Translate(float dx, float dy, float dz);
    void Scale(float sx, float sy, float sz);
    void Rotate(float x, float y, float z);
    void Combine(const Transform3D& other);
    const Matrix4& GetMatrix();
    // Moves the position of each of `count` vertices in place.
    void TransformVertices(void* vertices, const render::VertexFormat& format, u32 count);

    bool IsMatrixMode() const { return mMatrixMode; }
    bool IsRotated() const { return mRotated; }
    bool IsScaled() const { return mScaled; }
    const Point3& GetPreTranslation() const { return mPre; }
    const Point3& GetPostTranslation() const { return mPost; }
    const Point3& GetScale() const { return mScale; }
    const Point3& GetRotation() const { return mRotation; }

private:
    void Rebuild();
    void SwitchToMatrix();

    bool mMatrixMode = false;
    bool mRotated = false;
    bool mScaled = false;
    Point3 mPre;
    Point3 mPost;
    Point3 mScale{1.0f, 1.0f, 1.0f};
    Point3 mRotation;
    Matrix4 mMatrix;
    bool mDirty = true;
};
} // namespace math
