// A node of the logical user-interface tree: parent, children, the frame and manager it belongs
// to, its layer, its listener and its enabled, hover and capture state.
#pragma once

#include "Core/Base/DeferredDelete.h"
#include "Core/Base/OwnedOrBorrowed.h"
#include "Core/Widget/TypeDescriptor.h"
#include "Core/Widget/WidgetContainer.h"

#include <functional>
#include <memory>

namespace layer
{
class Layer;
}

namespace widget
{
class Frame;
class FrameManager;
class WidgetListener;

class Widget : public WidgetContainer, public base::DeferredDeletable
{
public:
    // Out of line, as the destructor: the layer type is only declared here.
    Widget();
    // Deletes an owned layer. Children are not deleted; nothing keeps pointing at this widget
    // (parent, frame hover and focus, pointer capture) once it is gone.
    ~Widget() override;

    // Appends the child, gives its subtree this widget's frame and manager, attaches its layer
    // (under parentLayer, or this widget's layer when null) and passes the disabled state on.
    virtual QLResultEnum AddChild(Widget* child, layer::Layer* parentLayer = nullptr);
    // The reverse of AddChild; with clearHoverAndFocus the frame's hover and focus leave the
    // subtree. 1 when the widget is not a child.
    virtual QLResultEnum RemoveChild(Widget* child, bool clearHoverAndFocus = true);
    QLResultEnum RemoveAllChildren(bool deleteChildren, bool recursive, bool nested) override;
    virtual const TypeDescriptor& GetTypeDescriptor() const { return StaticTypeDescriptor(); }
    static TypeDescriptor& StaticTypeDescriptor();

    // Replaces the layer (deleting the old one when owned) and re-applies the listener.
    void SetLayer(layer::Layer* layer, bool owns, bool hookDraw);
    void SetLayer(std::unique_ptr<layer::Layer> layer, bool hookDraw);
    // With hookDraw the layer's draw listeners call the listener's OnPreDraw and OnPostDraw.
    void SetListener(WidgetListener* listener, bool hookDraw);
    QLResultEnum SetDisabled(bool disabled);
    // The listener's update, then each child's.
    QLResultEnum Update(float dt);

    // Pre-order over this widget and its descendants; the first non-zero result stops the walk.
    QLResultEnum ForEachInSubtree(const std::function<QLResultEnum(Widget&)>& visit);
    bool IsInSubtreeOf(const Widget* ancestor) const;
    // Clears the parent link when it names this container (the child left its list).
    void ForgetParent(const WidgetContainer* container);

    bool IsDisabled() const { return mDisabled || mDisabledByAncestor; }
    Widget* GetParent() const { return mParent; }
    Frame* GetFrame() const { return mFrame; }
    WidgetListener* GetListener() const { return mListener; }
    layer::Layer* GetLayer() const { return mLayer.get(); }
    FrameManager* GetCaptureOwner() const { return mCaptureOwner; }

    u32 mAltDisabledNotification = 0; // non-zero: enabled changes go to OnDisabledChangedAlt
    bool mCapturesOnPress = false;
    bool mFollowsCapturedMovement = true;
    bool mDisabledByAncestor = false;
    bool mHovered = false;
    bool mHoverInside = false;
    bool mCaptured = false;

protected:
    friend class Frame;
    friend class FrameManager;

    // Hands the effective disabled state down to the children whose inherited flag differs.
    QLResultEnum PropagateDisabled();
    QLResultEnum NotifyDisabled(bool disabled);

    Widget* mParent = nullptr;
    Frame* mFrame = nullptr;
    WidgetListener* mListener = nullptr;
    base::OwnedOrBorrowed<layer::Layer> mLayer;
    bool mDisabled = false;
    bool mHookDraw = false;
    FrameManager* mCaptureOwner = nullptr; // the manager whose capture this widget holds
};

// The widget as a T when its class is T or derives from it (by type descriptor), else null.
template <class T> T* WidgetCast(Widget* widget)
{
    if (!widget || !IsKindOf(widget->GetTypeDescriptor(), T::StaticTypeDescriptor()))
        return nullptr;
    return static_cast<T*>(widget);
}
} // namespace widget
