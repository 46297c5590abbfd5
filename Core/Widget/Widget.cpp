// The widget tree: attaching and detaching subtrees, layers, listeners and the enabled state.
#include "Core/Widget/Widget.h"

#include "Core/Base/Delegate.h"
#include "Core/Layer/Layer.h"
#include "Core/Widget/Frame.h"
#include "Core/Widget/FrameManager.h"
#include "Core/Widget/WidgetListener.h"

#include <algorithm>
#include <utility>

namespace widget
{
TypeDescriptor& Widget::StaticTypeDescriptor()
{
    static TypeDescriptor descriptor;
    return descriptor;
}

Widget::Widget() = default;

Widget::~Widget()
{
    if (mCaptureOwner)
        mCaptureOwner->ForgetCapture(this);
    if (mFrame && mFrame != this)
        mFrame->ForgetWidget(this);
    if (mParent)
        (void)mParent->RemoveChildRaw(this);
    for (Widget* child : mChildren)
        if (child)
            child->ForgetParent(this);
}

void Widget::ForgetParent(const WidgetContainer* container)
{
    if (mParent && static_cast<const WidgetContainer*>(mParent) == container)
        mParent = nullptr;
}

QLResultEnum Widget::ForEachInSubtree(const std::function<QLResultEnum(Widget&)>& visit)
{
    if (QLResultEnum r = visit(*this))
        return r;
    // A copy: a listener may change the tree while it is told.
    const std::vector<Widget*> children = mChildren;
    for (Widget* child : children)
        if (child)
            if (QLResultEnum r = child->ForEachInSubtree(visit))
                return r;
    return QL_OK;
}

bool Widget::IsInSubtreeOf(const Widget* ancestor) const
{
    for (const Widget* w = this; w; w = w->mParent)
        if (w == ancestor)
            return true;
    return false;
}

QLResultEnum Widget::AddChild(Widget* child, layer::Layer* parentLayer)
{
    if (!child || child == this)
        return QL_FAIL;
    // A widget has one parent: it leaves the old one first.
    if (child->mParent)
        if (QLResultEnum r = child->mParent->RemoveChild(child))
            return r;
    (void)AddChildRaw(child);
    child->mParent = this;
    if (Frame* frame = mFrame)
    {
        if (QLResultEnum r = child->ForEachInSubtree(
                [frame](Widget& w)
                {
                    w.mFrame = frame;
                    return w.mListener ? w.mListener->OnFrameAttached() : QL_OK;
                }))
            return r;
        if (frame->GetManager())
            if (QLResultEnum r = child->ForEachInSubtree(
                    [](Widget& w) { return w.mListener ? w.mListener->OnManagerAttached() : QL_OK; }))
                return r;
    }
    layer::Layer* target = parentLayer ? parentLayer : mLayer.get();
    if (target && child->mLayer)
        target->AddChild(child->mLayer.get());
    if (IsDisabled() && !child->mDisabledByAncestor)
    {
        child->mDisabledByAncestor = true;
        if (QLResultEnum r = child->NotifyDisabled(true))
            return r;
        return child->PropagateDisabled();
    }
    return QL_OK;
}

QLResultEnum Widget::RemoveChild(Widget* child, bool clearHoverAndFocus)
{
    // A stranger is left alone: no notifications, no state changes.
    if (!child || std::find(mChildren.begin(), mChildren.end(), child) == mChildren.end())
        return QL_FAIL;
    if (IsDisabled() && child->mDisabledByAncestor)
    {
        child->mDisabledByAncestor = false;
        if (QLResultEnum r = child->NotifyDisabled(false))
            return r;
        if (QLResultEnum r = child->PropagateDisabled())
            return r;
    }
    if (Frame* frame = mFrame)
    {
        if (clearHoverAndFocus)
        {
            if (QLResultEnum r = child->ForEachInSubtree(
                    [frame](Widget& w)
                    {
                        if (frame->GetFocusWidget() == &w)
                            frame->SetFocusWidget(nullptr);
                        return frame->GetHoverWidget() == &w ? frame->SetHover(nullptr) : QL_OK;
                    }))
                return r;
        }
        if (frame->GetManager())
            if (QLResultEnum r = child->ForEachInSubtree(
                    [](Widget& w) { return w.mListener ? w.mListener->OnManagerDetached() : QL_OK; }))
                return r;
        (void)child->ForEachInSubtree(
            [](Widget& w)
            {
                w.mFrame = nullptr;
                return w.mListener ? w.mListener->OnFrameDetached() : QL_OK;
            });
    }
    if (RemoveChildRaw(child) != QL_OK)
        return QL_FAIL;
    child->mParent = nullptr;
    if (child->mLayer && child->mLayer->GetParent())
        child->mLayer->GetParent()->RemoveChild(child->mLayer.get());
    return QL_OK;
}

QLResultEnum Widget::RemoveAllChildren(bool deleteChildren, bool recursive, bool nested)
{
    return WidgetContainer::RemoveAllChildren(deleteChildren, recursive, nested);
}

void Widget::SetLayer(layer::Layer* layer, bool owns, bool hookDraw)
{
    mLayer.reset(layer, owns);
    SetListener(mListener, hookDraw);
}

void Widget::SetLayer(std::unique_ptr<layer::Layer> layer, bool hookDraw)
{
    mLayer.own(std::move(layer));
    SetListener(mListener, hookDraw);
}

void Widget::SetListener(WidgetListener* listener, bool hookDraw)
{
    mListener = listener;
    mHookDraw = hookDraw;
    if (!mLayer)
        return;
    if (hookDraw && listener)
    {
        using Hook = base::MemberDelegate2<WidgetListener, render::Graphics*, layer::Layer*, QLResultEnum>;
        mLayer->SetPreDrawListener(layer::DrawListener(new Hook(listener, &WidgetListener::OnPreDraw)));
        mLayer->SetPostDrawListener(layer::DrawListener(new Hook(listener, &WidgetListener::OnPostDraw)));
    }
    else
    {
        mLayer->SetPreDrawListener(nullptr);
        mLayer->SetPostDrawListener(nullptr);
    }
}

QLResultEnum Widget::NotifyDisabled(bool disabled)
{
    if (!mListener)
        return QL_OK;
    return mAltDisabledNotification ? mListener->OnDisabledChangedAlt(disabled)
                                    : mListener->OnDisabledChanged(disabled);
}

QLResultEnum Widget::PropagateDisabled()
{
    const bool state = IsDisabled();
    for (size_t i = 0; i < mChildren.size(); ++i)
    {
        Widget* child = mChildren[i];
        if (!child || child->mDisabledByAncestor == state)
            continue;
        child->mDisabledByAncestor = state;
        if (QLResultEnum r = child->NotifyDisabled(state))
            return r;
        if (QLResultEnum r = child->PropagateDisabled())
            return r;
    }
    return QL_OK;
}

QLResultEnum Widget::SetDisabled(bool disabled)
{
    mDisabled = disabled;
    return PropagateDisabled();
}

QLResultEnum Widget::Update(float dt)
{
    if (mListener)
        if (QLResultEnum r = mListener->Update(dt))
            return r;
    const std::vector<Widget*> children = mChildren;
    for (Widget* child : children)
        if (child && std::find(mChildren.begin(), mChildren.end(), child) != mChildren.end())
            if (QLResultEnum r = child->Update(dt))
                return r;
    return QL_OK;
}
} // namespace widget
