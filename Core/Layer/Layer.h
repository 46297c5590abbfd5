// A node of the visual tree: parent, ordered children (the last on top), the hit-test listener
// and the draw listeners; rendering walks the tree into a drawing context.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Base/Delegate.h"
#include "Core/Layer/Drawable.h"

#include <vector>

namespace layer
{
class HitTestListener;
class Layer;

using DrawDelegate = base::Delegate2<render::Graphics*, Layer*, QLResultEnum>;
using DrawListener = base::CountedPtr<DrawDelegate>;

class Layer : public Drawable
{
public:
    using Children = std::vector<Layer*>;

    Layer() = default;
    // Leaves its parent and lets its children go (they are not deleted: their owners do that).
    ~Layer() override;

    QLResultEnum DrawSelf(render::Graphics* graphics) override { return QL_OK; }
    void UpdateBounds() override {}
    // Draws this layer and its subtree; the first non-zero result stops the walk.
    virtual QLResultEnum Render(render::Graphics* graphics);
    // Whether a point of this layer's space hits its content.
    virtual bool HitTest(const math::Point3& point) { return false; }
    virtual Children::iterator ChildrenEnd() { return mChildren.end(); }
    virtual Children::iterator ChildrenBegin() { return mChildren.begin(); }

    // Moves the child here from its old parent, on top of the others.
    void AddChild(Layer* child);
    // Nothing when the layer is not a child.
    void RemoveChild(Layer* child);
    // Recomputes the cached boxes along changed paths; true when the parent-space box changed.
    bool UpdateTreeBounds();
    // A point of the parent's space into this layer's space (one level).
    math::Point3 PointToLocal(const math::Point3& point) const;
    // A point of the space the root sits in, converted level by level down to this layer.
    math::Point3 RootPointToLocal(const math::Point3& point) const;

    void SetPreDrawListener(DrawListener listener) { mPreDraw = std::move(listener); }
    void SetPostDrawListener(DrawListener listener) { mPostDraw = std::move(listener); }
    void SetHitListener(HitTestListener* listener) { mHitListener = listener; }
    HitTestListener* GetHitListener() const { return mHitListener; }
    Layer* GetParent() const { return mParent; }
    const Children& GetChildren() const { return mChildren; }
    float GetEffectiveAlpha() const { return mEffectiveAlpha; }

    Layer* mParent = nullptr;
    Children mChildren;
    HitTestListener* mHitListener = nullptr;
    DrawListener mPreDraw;
    DrawListener mPostDraw;
    bool mRebuildRequested = false;
    bool mAlphaFromParentEffective = true;
    float mPassedAlpha = 1.0f;
    float mEffectiveAlpha = 1.0f;
    bool mWalkThrough = false; // the hit-test walk enters it even when it is not hit-testable

private:
    void RebuildWorldTransform();
    void ComputeAlpha();
};
} // namespace layer
