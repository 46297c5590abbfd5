// The default captured-mouse handlers.
#include "Core/Widget/WidgetListener.h"

#include "Core/Layer/HitTestWalk.h"
#include "Core/Layer/Layer.h"
#include "Core/Widget/CaptureRecord.h"
#include "Core/Widget/Frame.h"
#include "Core/Widget/FrameManager.h"
#include "Core/Widget/Widget.h"

namespace widget
{
QLResultEnum WidgetListener::OnCapturedMouseUp(const CaptureRecord& capture, const math::Point3& point, u32 button)
{
    if (capture.widget && capture.widget->GetCaptureOwner())
        capture.widget->GetCaptureOwner()->ReleaseCapture();
    return QL_OK;
}

QLResultEnum WidgetListener::OnCapturedMouseMove(const CaptureRecord& capture, const math::Point3& point)
{
    Widget* widget = capture.widget;
    if (!widget || !widget->mFollowsCapturedMovement || !widget->GetLayer())
        return QL_OK;
    if (Frame* frame = widget->GetFrame(); frame && frame->GetLayer())
        frame->GetLayer()->UpdateTreeBounds();
    return layer::WalkHitTest(widget->GetLayer(), point, layer::OnMouseMove{}).result;
}

QLResultEnum WidgetListener::OnCapturedMouseDrag(const CaptureRecord& capture, const math::Point3& point)
{
    Widget* widget = capture.widget;
    if (!widget || !widget->mFollowsCapturedMovement || !widget->GetLayer())
        return QL_OK;
    Frame* frame = widget->GetFrame();
    if (frame && frame->GetLayer())
        frame->GetLayer()->UpdateTreeBounds();
    const layer::HitTestResult walk = layer::WalkHitTest(widget->GetLayer(), point, layer::OnMouseDrag{});
    if (walk.result)
        return walk.result;
    if (walk.state != layer::HIT_HANDLED && frame)
        return frame->SetHover(nullptr);
    return QL_OK;
}
} // namespace widget
