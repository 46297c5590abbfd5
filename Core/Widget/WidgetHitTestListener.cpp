// The widget side of hits.
#include "Core/Widget/WidgetHitTestListener.h"

#include "Core/Widget/CaptureRecord.h"
#include "Core/Widget/Frame.h"
#include "Core/Widget/FrameManager.h"
#include "Core/Widget/Widget.h"

namespace widget
{
QLResultEnum WidgetHitTestListener::ActivateFrame()
{
    Frame* frame = mWidget ? mWidget->GetFrame() : nullptr;
    if (frame && frame->GetManager())
        return frame->GetManager()->Activate(frame);
    return QL_OK;
}

void WidgetHitTestListener::FillCaptureRecord(const math::Point3& point, CaptureRecord& record)
{
    record.widget = mWidget;
    record.layer = mNotifiedLayer;
    record.grabPoint = point;
    record.convertInParentSpace = true;
}

QLResultEnum WidgetHitTestListener::OnDown(const math::Point3& point, u32 button)
{
    if (!mWidget)
        return QL_OK;
    if (QLResultEnum r = ActivateFrame())
        return r;
    if (mWidget->IsDisabled())
        return QL_OK;
    if (mWidget->mCapturesOnPress)
    {
        Frame* frame = mWidget->GetFrame();
        if (frame && frame->GetManager())
        {
            CaptureRecord record;
            FillCaptureRecord(point, record);
            frame->GetManager()->SetCapture(record);
        }
    }
    return OnPress(point, button);
}

QLResultEnum WidgetHitTestListener::OnUp(const math::Point3& point, u32 button)
{
    if (!mWidget || mWidget->IsDisabled())
        return QL_OK;
    return OnRelease(point, button);
}

QLResultEnum WidgetHitTestListener::OnDoubleClick(const math::Point3& point, u32 button)
{
    if (!mWidget)
        return QL_OK;
    if (QLResultEnum r = ActivateFrame())
        return r;
    if (mWidget->IsDisabled())
        return QL_OK;
    return OnDoublePress(point, button);
}

QLResultEnum WidgetHitTestListener::HoverWidget()
{
    Frame* frame = mWidget ? mWidget->GetFrame() : nullptr;
    return frame ? frame->SetHover(mWidget) : QL_OK;
}

QLResultEnum WidgetHitTestListener::OnMove(const math::Point3& point)
{
    if (QLResultEnum r = HoverWidget())
        return r;
    return !mWidget || mWidget->IsDisabled() ? QL_OK : OnPointerMove(point);
}

QLResultEnum WidgetHitTestListener::OnDrag(const math::Point3& point)
{
    if (QLResultEnum r = HoverWidget())
        return r;
    return !mWidget || mWidget->IsDisabled() ? QL_OK : OnPointerDrag(point);
}

QLResultEnum WidgetHitTestListener::OnWheel(const math::Point3& point, u32 value)
{
    if (!mWidget || mWidget->IsDisabled())
        return QL_OK;
    return OnPointerWheel(point, value);
}
} // namespace widget
