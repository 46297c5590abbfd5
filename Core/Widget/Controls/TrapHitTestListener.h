// A hit listener for a widget's passive images (a slider's back, a switch's on image): it ends
// the mouse walk there, gives the widget the focus on a press and clears the hover on moves.
#pragma once

#include "Core/Layer/HitTestListener.h"

namespace widget
{
class Widget;

class TrapHitTestListener : public layer::HitTestListener
{
public:
    explicit TrapHitTestListener(Widget* widget) : mWidget(widget) {}

    QLResultEnum OnDown(const math::Point3& point, u32 button) override { return TakeFocus(); }
    QLResultEnum OnDoubleClick(const math::Point3& point, u32 button) override { return TakeFocus(); }
    QLResultEnum OnMove(const math::Point3& point) override { return ClearHover(); }
    QLResultEnum OnDrag(const math::Point3& point) override { return ClearHover(); }

    Widget* mWidget;

private:
    QLResultEnum TakeFocus();
    QLResultEnum ClearHover();
};
} // namespace widget
