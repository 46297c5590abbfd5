// The drawn part of every layer: local transform, colour, draw flags, world transform and the
// cached bounding boxes.
#pragma once

#include "Core/Base/Box.h"
#include "Core/Base/Types.h"
#include "Core/Render/Point.h"
#include "Core/Render/Transform3D.h"

namespace render
{
class Graphics;
}

namespace layer
{
// Rotations below this magnitude count as none for boxes and point conversion.
constexpr float kRotationEpsilon = 0.0002f;

class Drawable
{
public:
    Drawable() = default;
    virtual ~Drawable() = default;
    Drawable(const Drawable&) = delete;
    Drawable& operator=(const Drawable&) = delete;

    virtual QLResultEnum DrawSelf(render::Graphics* graphics) = 0;
    // Computes the own box (local space).
    virtual void UpdateBounds() {}

    // Setters that move the layer: each flags the transform and the parent-space box.
    void SetPosition(float x, float y, float z = 0.0f);
    void SetX(float x);
    void SetY(float y);
    void SetScale(float sx, float sy, float sz = 1.0f);
    void SetRotation(float x, float y, float z);
    void SetColor(float r, float g, float b, float a = 1.0f);
    // The own box is recomputed at the next tree-bounds update.
    void InvalidateOwnBounds() { mOwnBoundsComputed = false; }

    // The combined box carried into the parent's space (scale, rotation, then position).
    math::Box ComputeParentBox() const;
    // False when the x or y rotation is not negligible (such a layer is tested as a whole).
    bool IsFlat() const;

    math::Point3 mPosition;
    math::Point3 mRotation;
    math::Point3 mScale{1.0f, 1.0f, 1.0f};
    float mAlpha = 1.0f;
    bool mVisible = true;
    bool mHitTestable = true;
    bool mTransformChanged = false; // sticky: once touched, the world transform is rebuilt each draw
    bool mTinted = false;
    float mColor[4] = {1.0f, 1.0f, 1.0f, 1.0f}; // the fourth value is not drawn: effective alpha is
    float mTint = 0.0f;
    bool mAdditive = false;
    math::Transform3D mWorldTransform;
    bool mHasOwnBounds = false;
    bool mOwnBoundsComputed = false;
    math::Box mOwnBox;
    math::Box mCombinedBox;
    bool mParentBoxValid = true;
    math::Box mParentBox;
};
} // namespace layer
