// Button states from hover, enabled changes, presses and captured releases.
#include "Core/Widget/Controls/ButtonMediator.h"

#include "Core/Widget/CaptureRecord.h"
#include "Core/Widget/Controls/Button.h"
#include "Core/Widget/FrameManager.h"

namespace widget
{
ButtonMediator::~ButtonMediator()
{
    if (mButton && mButton->mMediator.get() == this)
    {
        mButton->mMediator.forget();
        if (mButton->GetListener() == static_cast<WidgetListener*>(this))
            mButton->SetListener(nullptr, false);
    }
}

void ButtonMediator::Attach(Button* button, bool owns)
{
    mButton = button;
    mMediated = button;
    mWidget = button;
    if (!button)
        return;
    button->SetListener(static_cast<WidgetListener*>(this), true);
    button->mMediator.reset(this, owns);
}

QLResultEnum ButtonMediator::ChangeState(u32 state)
{
    if (!mButton || mButton->mVisualState == state)
        return QL_OK;
    if (QLResultEnum r = SetVisualState(state))
        return r;
    mButton->mVisualState = state;
    return QL_OK;
}

QLResultEnum ButtonMediator::OnHover(bool in)
{
    if (!mButton)
        return QL_OK;
    if (!in || mButton->IsDisabled())
        return ChangeState(Button::STATE_NORMAL);
    return ChangeState(mButton->mCaptured ? Button::STATE_PRESSED : Button::STATE_OVER);
}

QLResultEnum ButtonMediator::OnDisabledChanged(bool disabled)
{
    if (!mButton)
        return QL_OK;
    if (disabled)
        return ChangeState(Button::STATE_NORMAL);
    return ChangeState(mButton->mHovered ? Button::STATE_OVER : Button::STATE_NORMAL);
}

QLResultEnum ButtonMediator::OnPress(const math::Point3& point, u32 button)
{
    return ChangeState(Button::STATE_PRESSED);
}

void ButtonMediator::FillCaptureRecord(const math::Point3& point, CaptureRecord& record)
{
    WidgetHitTestListener::FillCaptureRecord(point, record);
    if (mButton && mButton->GetLayer())
        record.layer = mButton->GetLayer();
}

QLResultEnum ButtonMediator::OnCapturedMouseUp(const CaptureRecord& capture, const math::Point3& point, u32 button)
{
    // The release re-runs the move at the pointer, which settles the hovered flag.
    if (QLResultEnum r = WidgetListener::OnCapturedMouseUp(capture, point, button))
        return r;
    if (!mButton)
        return QL_OK;
    if (!mButton->mHovered || mButton->IsDisabled())
        return ChangeState(Button::STATE_NORMAL);
    if (QLResultEnum r = ChangeState(Button::STATE_OVER))
        return r;
    return mButton->Click();
}
} // namespace widget
