// A lazy 2D transform: separate translation, scale and rotation until they can no longer
// describe the composition, then a full matrix.
#pragma once

#include "Core/Base/Matrix3.h"

namespace math
{
class Transform2D
{
public:
    Transform2D();

    // Each acts after the operations already applied, except that a translation made after
    // a lazy scale or rotation is kept as the offset and a scale made after an offset stays
    // lazy: the offset is then applied after the new scale (callers rely on this).
    void Translate(float dx, float dy);
    void Scale(float sx, float sy);
    void Rotate(float radians);
    void RotateDegrees(float degrees);
    void Reset();

    // Rebuilds the matrix when dirty (a cache, so it works on const transforms too).
    void Update() const;
    const Matrix3& GetMatrix() const;
    void TransformPoint(float x, float y, float& outX, float& outY) const
    {
        GetMatrix().TransformPoint(x, y, outX, outY);
    }

    // The components, read by the draw commands while not in matrix mode.
    bool IsMatrixMode() const { return mMatrixMode; }
    bool IsRotated() const { return mRotated; }
    bool IsScaled() const { return mScaled; }
    bool IsDirty() const { return mDirty; }
    float GetTranslationX() const { return mTranslationX; }
    float GetTranslationY() const { return mTranslationY; }
    float GetOffsetX() const { return mOffsetX; }
    float GetOffsetY() const { return mOffsetY; }
    float GetScaleX() const { return mScaleX; }
    float GetScaleY() const { return mScaleY; }
    float GetAngle() const { return mAngle; }

private:
    void EnterMatrixMode();

    // The lazily built matrix; in matrix mode it is the whole transform.
    mutable Matrix3 mMatrix;
    mutable bool mDirty = true;
    bool mMatrixMode = false;
    bool mRotated = false;
    bool mScaled = false;
    float mTranslationX = 0.0f, mTranslationY = 0.0f;
    float mOffsetX = 0.0f, mOffsetY = 0.0f; // applied after the scale or rotation
    float mScaleX = 1.0f, mScaleY = 1.0f;
    float mAngle = 0.0f; // radians
};
} // namespace math
