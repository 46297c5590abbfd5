// Mouse dispatch (capture holder first, else the frames from the top down) and key routing.
#include "Core/Layer/HitTestWalk.h"
#include "Core/Layer/Layer.h"
#include "Core/Widget/Frame.h"
#include "Core/Widget/FrameManager.h"
#include "Core/Widget/WidgetListener.h"

namespace widget
{
void FrameManager::SetCapture(const CaptureRecord& record)
{
    if (mCapture.widget && mCapture.widget != record.widget)
        ForgetCapture(mCapture.widget);
    mCapture = record;
    if (record.widget)
    {
        record.widget->mCaptured = true;
        record.widget->mCaptureOwner = this;
    }
}

void FrameManager::ReleaseCapture()
{
    if (mCapture.widget)
        ForgetCapture(mCapture.widget);
    mCapture.widget = nullptr;
    mCapture.layer = nullptr;
    (void)OnMouseMove(mLastPointer);
}

QLResultEnum FrameManager::RefreshPointer() { return OnMouseMove(mLastPointer); }

template <class Event, class Captured>
QLResultEnum FrameManager::Dispatch(const math::Point2& position, const Event& event, Captured captured,
                                    bool& unhandled)
{
    unhandled = false;
    mLastPointer = position;
    if (mCursor && mCursor->GetLayer())
    {
        layer::Layer* cursor = mCursor->GetLayer();
        if (cursor->mPosition.x != position.x)
            cursor->SetX(position.x);
        if (cursor->mPosition.y != position.y)
            cursor->SetY(position.y);
    }
    BusyScope busy(mBusy);
    if (mCapture.widget)
    {
        WidgetListener* listener = mCapture.widget->GetListener();
        if (!listener)
            return QL_OK;
        const math::Point3 screen(position.x, position.y, 0.0f);
        math::Point3 point;
        layer::Layer* layer = mCapture.layer;
        if (!layer)
            point = screen;
        else if (mCapture.convertInParentSpace)
            point = layer->GetParent() ? layer->GetParent()->RootPointToLocal(screen) : screen;
        else
            point = layer->RootPointToLocal(screen);
        // A copy: the handler may release the capture.
        const CaptureRecord record = mCapture;
        return captured(*listener, record, point);
    }
    const math::Point3 screen(position.x, position.y, 0.0f);
    // A copy: handlers may ask frames in and out (deletions wait for the update).
    const std::vector<Entry> stack = mStack;
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
    {
        if (!IsInStack(it->frame))
            continue;
        layer::Layer* root = it->frame->GetLayer();
        if (root)
        {
            root->UpdateTreeBounds();
            const layer::HitTestResult walk = layer::WalkHitTest(root, screen, event);
            if (walk.result)
                return walk.result;
            if (walk.state == layer::HIT_HANDLED)
                return QL_OK;
        }
        if (it->mode == MODE_MODAL)
            break;
    }
    unhandled = true;
    return QL_OK;
}

QLResultEnum FrameManager::OnMouseDown(const math::Point2& position, u32 button)
{
    bool unhandled = false;
    const QLResultEnum r = Dispatch(
        position, layer::OnMouseDown{button},
        [button](WidgetListener& l, const CaptureRecord& c, const math::Point3& p)
        { return l.OnCapturedMouseDown(c, p, button); },
        unhandled);
    if (r || !unhandled || !mActiveFrame)
        return r;
    // A press on empty space deactivates the active frame, unless it is modal.
    const Entry* entry = FindEntry(mActiveFrame);
    if (entry && entry->mode == MODE_MODAL)
        return QL_OK;
    Frame* active = mActiveFrame;
    mActiveFrame = nullptr;
    if (active->mActive)
    {
        active->mActive = false;
        return active->OnDeactivate();
    }
    return QL_OK;
}

QLResultEnum FrameManager::OnMouseUp(const math::Point2& position, u32 button)
{
    bool unhandled = false;
    return Dispatch(
        position, layer::OnMouseUp{button},
        [button](WidgetListener& l, const CaptureRecord& c, const math::Point3& p)
        { return l.OnCapturedMouseUp(c, p, button); },
        unhandled);
}

QLResultEnum FrameManager::OnMouseDoubleClick(const math::Point2& position, u32 button)
{
    // Walked as a press; only the capture holder hears it as a double click.
    bool unhandled = false;
    return Dispatch(
        position, layer::OnMouseDown{button},
        [button](WidgetListener& l, const CaptureRecord& c, const math::Point3& p)
        { return l.OnCapturedMouseDoubleClick(c, p, button); },
        unhandled);
}

QLResultEnum FrameManager::ClearHoverAfter(QLResultEnum result, bool unhandled)
{
    if (result || !unhandled || !mHoverFrame)
        return result;
    Frame* frame = mHoverFrame;
    mHoverFrame = nullptr;
    return frame->SetHover(nullptr);
}

QLResultEnum FrameManager::OnMouseMove(const math::Point2& position)
{
    bool unhandled = false;
    const QLResultEnum r = Dispatch(
        position, layer::OnMouseMove{},
        [](WidgetListener& l, const CaptureRecord& c, const math::Point3& p) { return l.OnCapturedMouseMove(c, p); },
        unhandled);
    return ClearHoverAfter(r, unhandled);
}

QLResultEnum FrameManager::OnMouseDrag(const math::Point2& position)
{
    bool unhandled = false;
    const QLResultEnum r = Dispatch(
        position, layer::OnMouseDrag{},
        [](WidgetListener& l, const CaptureRecord& c, const math::Point3& p) { return l.OnCapturedMouseDrag(c, p); },
        unhandled);
    return ClearHoverAfter(r, unhandled);
}

QLResultEnum FrameManager::OnMouseWheel(const math::Point2& position, u32 value)
{
    bool unhandled = false;
    const layer::OnMouseWheel event{static_cast<u16>(value)};
    return Dispatch(
        position, event,
        [event](WidgetListener& l, const CaptureRecord& c, const math::Point3& p)
        { return l.OnCapturedMouseWheel(c, p, event.value); },
        unhandled);
}

WidgetListener* FrameManager::GetFocusListener() const
{
    Widget* focus = mActiveFrame ? mActiveFrame->GetFocusWidget() : nullptr;
    return focus ? focus->GetListener() : nullptr;
}

app::KeyTarget* FrameManager::GetKeyTarget() { return GetFocusListener() ? &mKeyRoute : nullptr; }

QLResultEnum FrameManager::KeyRoute::OnKeyDown(u32 key)
{
    WidgetListener* listener = mManager.GetFocusListener();
    return listener ? listener->OnKeyDown(key) : QL_OK;
}

QLResultEnum FrameManager::KeyRoute::OnKeyUp(u32 key)
{
    WidgetListener* listener = mManager.GetFocusListener();
    return listener ? listener->OnKeyUp(key) : QL_OK;
}

QLResultEnum FrameManager::KeyRoute::OnChar(u16 unit)
{
    WidgetListener* listener = mManager.GetFocusListener();
    return listener ? listener->OnChar(unit) : QL_OK;
}
} // namespace widget
