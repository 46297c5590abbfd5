// The state machine of a button (normal, over, pressed), run from the button's listener and
// hit-test sides. Every change goes through SetVisualState first and is kept only when that
// succeeds.
#pragma once

#include "Core/Widget/Controls/WidgetMediator.h"
#include "Core/Widget/WidgetHitTestListener.h"
#include "Core/Widget/WidgetListener.h"

namespace widget
{
class Button;

class ButtonMediator : public WidgetListener, public WidgetHitTestListener, public WidgetMediator
{
public:
    ButtonMediator() = default;
    // Leaves the button it was attached to.
    ~ButtonMediator() override;

    // Becomes the button's listener (with draw hooks), mediator and hit-test side.
    virtual void Attach(Button* button, bool owns);
    // The look of a state; non-zero keeps the stored state.
    virtual QLResultEnum SetVisualState(u32 state) { return QL_OK; }

    QLResultEnum OnHover(bool in) override;
    QLResultEnum OnDisabledChanged(bool disabled) override;
    // Ends the capture; a release over the button clicks it.
    QLResultEnum OnCapturedMouseUp(const CaptureRecord& capture, const math::Point3& point, u32 button) override;
    QLResultEnum OnPress(const math::Point3& point, u32 button) override;
    // Captured points arrive in the space the button's layer sits in, so the captured walk
    // runs over the button's whole subtree.
    void FillCaptureRecord(const math::Point3& point, CaptureRecord& record) override;

    Button* mButton = nullptr;

protected:
    // Applies and stores a state that differs from the stored one.
    QLResultEnum ChangeState(u32 state);
};
} // namespace widget
