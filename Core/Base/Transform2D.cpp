// The lazy 2D transform and its switch to matrix mode.
#include "Core/Base/Transform2D.h"

#include "Core/Base/Constants.h"

namespace math
{
Transform2D::Transform2D() = default;

void Transform2D::Translate(float dx, float dy)
{
    if (mMatrixMode)
    {
        mMatrix.Translate(dx, dy);
        return;
    }
    mDirty = true;
    if (!mRotated && !mScaled)
    {
        mTranslationX += dx;
        mTranslationY += dy;
    }
    else
    {
        mOffsetX += dx;
        mOffsetY += dy;
    }
}

void Transform2D::Scale(float sx, float sy)
{
    if (mMatrixMode)
    {
        mMatrix.Scale(sx, sy);
        return;
    }
    // A mirror stays lazy only when it leaves the x scale at exactly -1.
    const bool xOk = !(sx < 0.0f) || mScaleX * sx == -1.0f;
    if (!mRotated && mTranslationX == 0.0f && mTranslationY == 0.0f && !(sy < 0.0f) && xOk)
    {
        mScaleX *= sx;
        mScaleY *= sy;
        mDirty = true;
        mScaled = true;
        return;
    }
    EnterMatrixMode();
    mMatrix.Scale(sx, sy);
}

void Transform2D::Rotate(float radians)
{
    if (mMatrixMode)
    {
        mMatrix.Rotate(radians);
        return;
    }
    if (!mScaled)
    {
        mAngle += radians;
        mDirty = true;
        mRotated = true;
        return;
    }
    EnterMatrixMode();
    mMatrix.Rotate(radians);
}

void Transform2D::RotateDegrees(float degrees) { Rotate(degrees * math::kDegToRad); }

void Transform2D::Reset()
{
    mDirty = true;
    mMatrixMode = mRotated = mScaled = false;
    mTranslationX = mTranslationY = 0.0f;
    mOffsetX = mOffsetY = 0.0f;
    mScaleX = mScaleY = 1.0f;
    mAngle = 0.0f;
}

void Transform2D::EnterMatrixMode()
{
    mMatrixMode = true;
    Update();
}

void Transform2D::Update() const
{
    if (!mDirty)
        return;
    mDirty = false;
    mMatrix = Matrix3::Identity();
    mMatrix.m[0][2] = mTranslationX;
    mMatrix.m[1][2] = mTranslationY;
    if (mScaled)
    {
        mMatrix.m[0][0] = mScaleX;
        mMatrix.m[1][1] = mScaleY;
    }
    else if (mRotated)
        mMatrix.Rotate(mAngle);
    if (mOffsetX != 0.0f || mOffsetY != 0.0f)
        mMatrix.Translate(mOffsetX, mOffsetY);
}

const Matrix3& Transform2D::GetMatrix() const
{
    Update();
    return mMatrix;
}
} // namespace math
