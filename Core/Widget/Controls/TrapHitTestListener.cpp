// Focus and hover for trapped hits.
#include "Core/Widget/Controls/TrapHitTestListener.h"

#include "Core/Widget/Frame.h"
#include "Core/Widget/Widget.h"

namespace widget
{
QLResultEnum TrapHitTestListener::TakeFocus()
{
    Frame* frame = mWidget ? mWidget->GetFrame() : nullptr;
    if (!frame || frame->GetFocusWidget() == mWidget)
        return QL_OK;
    frame->SetFocusWidget(mWidget);
    return QL_OK;
}

QLResultEnum TrapHitTestListener::ClearHover()
{
    Frame* frame = mWidget ? mWidget->GetFrame() : nullptr;
    return frame ? frame->SetHover(nullptr) : QL_OK;
}
} // namespace widget
