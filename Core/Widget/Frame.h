// A widget that can stand in the frame manager's stack: a screen, a dialog, a message box. Its
// own layer is a hit rectangle; it tracks the hover and focus widgets below it.
#pragma once

#include "Core/Base/Rect.h"
#include "Core/Widget/Widget.h"

namespace layer
{
class RectHitLayer;
}

namespace widget
{
class Frame : public Widget
{
public:
    Frame();
    // Leaves the manager it is shown in or queued for; its subtree forgets it.
    ~Frame() override;

    const TypeDescriptor& GetTypeDescriptor() const override { return StaticTypeDescriptor(); }
    static TypeDescriptor& StaticTypeDescriptor();

    // Called by the manager when the frame becomes or stops being the active frame.
    virtual QLResultEnum OnActivate() { return QL_OK; }
    virtual QLResultEnum OnDeactivate() { return QL_OK; }

    // The frame's screen rectangle, which is its hit area.
    void SetRect(float x, float y, float width, float height);
    // Moves the hover to the widget (or to nothing), telling the widgets that lose and gain it
    // and the ancestors between them.
    QLResultEnum SetHover(Widget* widget);

    FrameManager* GetManager() const { return mManager; }
    layer::RectHitLayer* GetHitLayer() const { return mHitLayer; }
    bool IsActive() const { return mActive; }
    Widget* GetHoverWidget() const { return mHoverWidget; }
    Widget* GetFocusWidget() const { return mFocusWidget; }
    void SetFocusWidget(Widget* widget) { mFocusWidget = widget; }

protected:
    friend class FrameManager;
    friend class Widget;

    // A widget of this frame is going away.
    void ForgetWidget(Widget* widget);

    FrameManager* mManager = nullptr;
    FrameManager* mQueuedIn = nullptr; // the manager with a pending request naming this frame
    layer::RectHitLayer* mHitLayer = nullptr;
    bool mActive = false;
    Widget* mHoverWidget = nullptr;
    Widget* mFocusWidget = nullptr;
};
} // namespace widget
