// Turns hits on a widget's layer into widget events: activation, capture on press, hover, and
// the press, release, move, drag and wheel hooks (none reach a disabled widget).
#pragma once

#include "Core/Layer/HitTestListener.h"

namespace widget
{
class Widget;
struct CaptureRecord;

class WidgetHitTestListener : public layer::HitTestListener
{
public:
    explicit WidgetHitTestListener(Widget* widget = nullptr) : mWidget(widget) {}

    QLResultEnum OnDown(const math::Point3& point, u32 button) override;
    QLResultEnum OnUp(const math::Point3& point, u32 button) override;
    QLResultEnum OnDoubleClick(const math::Point3& point, u32 button) override;
    QLResultEnum OnMove(const math::Point3& point) override;
    QLResultEnum OnDrag(const math::Point3& point) override;
    QLResultEnum OnWheel(const math::Point3& point, u32 value) override;

    virtual QLResultEnum OnPress(const math::Point3& point, u32 button) { return QL_OK; }
    virtual QLResultEnum OnRelease(const math::Point3& point, u32 button) { return QL_OK; }
    virtual QLResultEnum OnDoublePress(const math::Point3& point, u32 button) { return QL_OK; }
    virtual QLResultEnum OnPointerMove(const math::Point3& point) { return QL_OK; }
    virtual QLResultEnum OnPointerDrag(const math::Point3& point) { return QL_OK; }
    virtual QLResultEnum OnPointerWheel(const math::Point3& point, u32 value) { return QL_OK; }
    // The capture a press on the widget takes: the widget, the notified layer and the point.
    virtual void FillCaptureRecord(const math::Point3& point, CaptureRecord& record);

    Widget* mWidget = nullptr;

private:
    // Makes the widget's frame the manager's active frame.
    QLResultEnum ActivateFrame();
    // Makes the widget its frame's hover widget.
    QLResultEnum HoverWidget();
};
} // namespace widget
