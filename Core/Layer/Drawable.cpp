// Transform setters and the parent-space box of a layer.
#include "Core/Layer/Drawable.h"

#include "Core/Base/Math.h"
#include "Core/Render/Matrix4.h"

namespace layer
{
void Drawable::SetPosition(float x, float y, float z)
{
    mPosition = {x, y, z};
    mTransformChanged = true;
    mParentBoxValid = false;
}

void Drawable::SetX(float x) { SetPosition(x, mPosition.y, mPosition.z); }

void Drawable::SetY(float y) { SetPosition(mPosition.x, y, mPosition.z); }

void Drawable::SetScale(float sx, float sy, float sz)
{
    mScale = {sx, sy, sz};
    mTransformChanged = true;
    mParentBoxValid = false;
}

void Drawable::SetRotation(float x, float y, float z)
{
    mRotation = {x, y, z};
    mTransformChanged = true;
    mParentBoxValid = false;
}

void Drawable::SetColor(float r, float g, float b, float a)
{
    mColor[0] = r;
    mColor[1] = g;
    mColor[2] = b;
    mColor[3] = a;
}

bool Drawable::IsFlat() const
{
    return math::Abs(mRotation.x) <= kRotationEpsilon && math::Abs(mRotation.y) <= kRotationEpsilon;
}

math::Box Drawable::ComputeParentBox() const
{
    math::Box box = mCombinedBox;
    if (box == math::Box())
        return box;
    const float scale[3] = {mScale.x, mScale.y, mScale.z};
    float* mins[3] = {&box.minX, &box.minY, &box.minZ};
    float* maxs[3] = {&box.maxX, &box.maxY, &box.maxZ};
    for (int axis = 0; axis < 3; ++axis)
    {
        if (scale[axis] != 1.0f)
        {
            *mins[axis] *= scale[axis];
            *maxs[axis] *= scale[axis];
        }
    }
    if (!IsFlat())
    {
        math::Matrix4 rotation;
        rotation.SetRotation(mRotation.x, mRotation.y, mRotation.z);
        math::Box rotated;
        for (int corner = 0; corner < 8; ++corner)
        {
            const auto c = box.GetCorner(corner);
            math::Point3 p(c[0], c[1], c[2]);
            rotation.TransformPoint(p);
            rotated.AddPoint(p.x, p.y, p.z);
        }
        box = rotated;
    }
    else if (math::Abs(mRotation.z) > kRotationEpsilon)
    {
        const float s = math::Sin(mRotation.z), c = math::Cos(mRotation.z);
        const math::Point3 corners[4] = {{box.minX, box.minY, box.minZ},
                                         {box.maxX, box.minY, box.minZ},
                                         {box.maxX, box.maxY, box.maxZ},
                                         {box.minX, box.maxY, box.maxZ}};
        math::Box rotated;
        for (const math::Point3& p : corners)
            rotated.AddPoint(p.x * c - p.y * s, p.x * s + p.y * c, p.z);
        box = rotated;
    }
    const float position[3] = {mPosition.x, mPosition.y, mPosition.z};
    for (int axis = 0; axis < 3; ++axis)
    {
        if (position[axis] != 0.0f)
        {
            *mins[axis] += position[axis];
            *maxs[axis] += position[axis];
        }
    }
    return box;
}
} // namespace layer
