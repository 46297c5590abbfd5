// The behaviour side of a widget: updates, draw hooks, tree notifications, hover, enabled
// changes, keys and the mouse input it receives while it holds the pointer capture.
#pragma once

#include "Core/Base/Types.h"
#include "Core/Render/Point.h"

namespace render
{
class Graphics;
}
namespace layer
{
class Layer;
// What listeners of the layer tree share; nothing yet.
class LayerAccess
{
};
} // namespace layer

namespace widget
{
struct CaptureRecord;

class WidgetListener : public layer::LayerAccess
{
public:
    virtual ~WidgetListener() = default;

    virtual QLResultEnum Update(float dt) { return QL_OK; }
    virtual QLResultEnum OnPreDraw(render::Graphics* graphics, layer::Layer* layer) { return QL_OK; }
    virtual QLResultEnum OnPostDraw(render::Graphics* graphics, layer::Layer* layer) { return QL_OK; }
    virtual QLResultEnum OnFrameAttached() { return QL_OK; }
    virtual QLResultEnum OnFrameDetached() { return QL_OK; }
    virtual QLResultEnum OnManagerAttached() { return QL_OK; }
    virtual QLResultEnum OnManagerDetached() { return QL_OK; }
    virtual QLResultEnum OnHover(bool in) { return QL_OK; }
    virtual QLResultEnum OnHoverInside(bool in) { return QL_OK; }
    virtual QLResultEnum OnDisabledChanged(bool disabled) { return QL_OK; }
    virtual QLResultEnum OnDisabledChangedAlt(bool disabled) { return QL_OK; }
    // Reserved; nothing sends it.
    virtual QLResultEnum OnNotify(u32 value) { return QL_OK; }
    virtual QLResultEnum OnKeyDown(u32 key) { return QL_OK; }
    virtual QLResultEnum OnKeyUp(u32 key) { return QL_OK; }
    virtual QLResultEnum OnChar(u16 unit) { return QL_OK; }

    // The captured handlers get a copy of the capture record and the converted point.
    virtual QLResultEnum OnCapturedMouseDown(const CaptureRecord& capture, const math::Point3& point, u32 button)
    {
        return QL_OK;
    }
    // Releases the capture, which re-dispatches a move at the last pointer position.
    virtual QLResultEnum OnCapturedMouseUp(const CaptureRecord& capture, const math::Point3& point, u32 button);
    virtual QLResultEnum OnCapturedMouseDoubleClick(const CaptureRecord& capture, const math::Point3& point, u32 button)
    {
        return QL_OK;
    }
    // With a widget that follows captured movement: the move walk inside its own layer.
    virtual QLResultEnum OnCapturedMouseMove(const CaptureRecord& capture, const math::Point3& point);
    // Likewise for drags; an unhandled drag clears the frame's hover widget.
    virtual QLResultEnum OnCapturedMouseDrag(const CaptureRecord& capture, const math::Point3& point);
    virtual QLResultEnum OnCapturedMouseWheel(const CaptureRecord& capture, const math::Point3& point, u32 value)
    {
        return QL_OK;
    }
};
} // namespace widget
