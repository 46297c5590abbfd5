// Frames: hit rectangle, hover tracking and clean leaving.
#include "Core/Widget/Frame.h"

#include "Core/Layer/RectHitLayer.h"
#include "Core/Widget/FrameManager.h"
#include "Core/Widget/WidgetListener.h"

#include <memory>
#include <utility>
#include <vector>

namespace widget
{
namespace
{
constexpr size_t kMaxAncestors = 256;

// The widget's ancestors from its parent upward.
std::vector<Widget*> Ancestors(Widget* widget)
{
    std::vector<Widget*> list;
    for (Widget* w = widget ? widget->GetParent() : nullptr; w && list.size() < kMaxAncestors; w = w->GetParent())
        list.push_back(w);
    return list;
}
} // namespace

TypeDescriptor& Frame::StaticTypeDescriptor()
{
    static TypeDescriptor descriptor = DeriveTypeDescriptor(Widget::StaticTypeDescriptor());
    return descriptor;
}

Frame::Frame()
{
    auto hitLayer = std::make_unique<layer::RectHitLayer>();
    mHitLayer = hitLayer.get();
    SetLayer(std::move(hitLayer), false);
    mFrame = this;
    mFocusWidget = this;
}

Frame::~Frame()
{
    if (mManager)
        mManager->ForgetFrame(this);
    if (mQueuedIn && mQueuedIn != mManager)
        mQueuedIn->ForgetFrame(this);
    for (Widget* child : mChildren)
        if (child)
            (void)child->ForEachInSubtree(
                [this](Widget& w)
                {
                    if (w.mFrame == this)
                        w.mFrame = nullptr;
                    return QL_OK;
                });
}

void Frame::SetRect(float x, float y, float width, float height)
{
    mHitLayer->SetRect(math::Rect(x, y, width, height));
}

void Frame::ForgetWidget(Widget* widget)
{
    if (mHoverWidget == widget)
        mHoverWidget = nullptr;
    if (mFocusWidget == widget)
        mFocusWidget = nullptr;
}

QLResultEnum Frame::SetHover(Widget* widget)
{
    if (widget == mHoverWidget)
        return QL_OK;
    Widget* old = mHoverWidget;
    std::vector<Widget*> newAncestors = Ancestors(widget);
    std::vector<Widget*> oldAncestors = Ancestors(old);
    while (!newAncestors.empty() && !oldAncestors.empty() && newAncestors.back() == oldAncestors.back())
    {
        newAncestors.pop_back();
        oldAncestors.pop_back();
    }
    if (old)
    {
        old->mHovered = false;
        if (old->GetListener())
            if (QLResultEnum r = old->GetListener()->OnHover(false))
                return r;
    }
    for (Widget* w : oldAncestors)
    {
        w->mHoverInside = false;
        if (w->GetListener())
            if (QLResultEnum r = w->GetListener()->OnHoverInside(false))
                return r;
    }
    mHoverWidget = widget;
    if (mManager && widget)
    {
        Frame* hoverFrame = mManager->GetHoverFrame();
        if (hoverFrame && hoverFrame != this)
            if (QLResultEnum r = hoverFrame->SetHover(nullptr))
                return r;
        mManager->mHoverFrame = this;
    }
    if (widget)
    {
        widget->mHovered = true;
        if (widget->GetListener())
            if (QLResultEnum r = widget->GetListener()->OnHover(true))
                return r;
    }
    for (Widget* w : newAncestors)
    {
        w->mHoverInside = true;
        if (w->GetListener())
            if (QLResultEnum r = w->GetListener()->OnHoverInside(true))
                return r;
    }
    return QL_OK;
}
} // namespace widget
