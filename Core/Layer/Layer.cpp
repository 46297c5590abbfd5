// The layer tree: attaching, drawing, bounding boxes and point conversion.
#include "Core/Layer/Layer.h"

#include "Core/Base/Math.h"

#include <algorithm>

namespace layer
{
Layer::~Layer()
{
    mPostDraw.Release();
    mPreDraw.Release();
    // Nothing may keep pointing at a destroyed layer.
    if (mParent)
        mParent->RemoveChild(this);
    for (Layer* child : mChildren)
        if (child && child->mParent == this)
            child->mParent = nullptr;
}

void Layer::AddChild(Layer* child)
{
    if (!child)
        return;
    if (child->mParent)
        child->mParent->RemoveChild(child);
    if (mTransformChanged)
        child->mRebuildRequested = true;
    mChildren.push_back(child);
    child->mParent = this;
}

void Layer::RemoveChild(Layer* child)
{
    auto it = std::find(mChildren.begin(), mChildren.end(), child);
    if (it == mChildren.end())
        return;
    mChildren.erase(it);
    child->mParent = nullptr;
}

void Layer::RebuildWorldTransform()
{
    mWorldTransform.Reset();
    if (mScale.x != 1.0f || mScale.y != 1.0f || mScale.z != 1.0f)
        mWorldTransform.Scale(mScale.x, mScale.y, mScale.z);
    if (mRotation.x != 0.0f || mRotation.y != 0.0f || mRotation.z != 0.0f)
        mWorldTransform.Rotate(mRotation.x, mRotation.y, mRotation.z);
    if (mPosition.x != 0.0f || mPosition.y != 0.0f || mPosition.z != 0.0f)
        mWorldTransform.Translate(mPosition.x, mPosition.y, mPosition.z);
    if (mParent)
        mWorldTransform.Combine(mParent->mWorldTransform);
    mTransformChanged = true;
    for (Layer* child : mChildren)
        child->mRebuildRequested = true;
    mRebuildRequested = false;
}

void Layer::ComputeAlpha()
{
    float factor = 1.0f;
    if (mAlphaFromParentEffective)
    {
        mPassedAlpha = mAlpha;
        if (mParent)
            factor = mParent->mEffectiveAlpha;
    }
    else
    {
        mPassedAlpha = mParent ? mParent->mPassedAlpha : 1.0f;
        factor = mPassedAlpha;
    }
    mEffectiveAlpha = mAlpha * factor;
}

QLResultEnum Layer::Render(render::Graphics* graphics)
{
    if (!mVisible)
        return QL_OK;
    if (mPreDraw)
        if (QLResultEnum r = mPreDraw->Invoke(graphics, this))
            return r;
    if (mTransformChanged || mRebuildRequested)
        RebuildWorldTransform();
    ComputeAlpha();
    if (QLResultEnum r = DrawSelf(graphics))
        return r;
    // Index walk: a listener may add children while the tree is drawn.
    for (size_t i = 0; i < mChildren.size(); ++i)
        if (QLResultEnum r = mChildren[i]->Render(graphics))
            return r;
    if (mPostDraw)
        return mPostDraw->Invoke(graphics, this);
    return QL_OK;
}

bool Layer::UpdateTreeBounds()
{
    bool changed = false;
    if (mHasOwnBounds && !mOwnBoundsComputed)
    {
        UpdateBounds();
        mOwnBoundsComputed = true;
        changed = true;
    }
    for (Layer* child : mChildren)
        if (child->UpdateTreeBounds())
            changed = true;
    if (changed)
    {
        mCombinedBox.SetEmpty();
        for (Layer* child : mChildren)
            mCombinedBox.Merge(child->mParentBox);
        if (mHasOwnBounds)
            mCombinedBox.Merge(mOwnBox);
    }
    else if (mParentBoxValid)
        return false;
    mParentBox = ComputeParentBox();
    mParentBoxValid = true;
    return true;
}

math::Point3 Layer::PointToLocal(const math::Point3& point) const
{
    math::Point3 p = point - mPosition;
    if (math::Abs(mRotation.z) > kRotationEpsilon)
    {
        const float s = math::Sin(mRotation.z), c = math::Cos(mRotation.z);
        const float x = p.x * c + p.y * s;
        const float y = p.y * c - p.x * s;
        p.x = x;
        p.y = y;
    }
    if (mScale.x != 1.0f)
        p.x /= mScale.x;
    if (mScale.y != 1.0f)
        p.y /= mScale.y;
    if (mScale.z != 1.0f)
        p.z /= mScale.z;
    return p;
}

math::Point3 Layer::RootPointToLocal(const math::Point3& point) const
{
    std::vector<const Layer*> chain;
    for (const Layer* layer = this; layer; layer = layer->mParent)
        chain.push_back(layer);
    math::Point3 p = point;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if ((*it)->IsFlat())
            p = (*it)->PointToLocal(p);
    return p;
}
} // namespace layer
