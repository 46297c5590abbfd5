// Click delivery of buttons.
#include "Core/Widget/Controls/Button.h"

#include "Core/Widget/Controls/ButtonListener.h"
#include "Core/Widget/Controls/ButtonMediator.h"

#include <memory>

namespace widget
{
TypeDescriptor& Button::StaticTypeDescriptor()
{
    static TypeDescriptor descriptor = DeriveTypeDescriptor(Widget::StaticTypeDescriptor());
    return descriptor;
}

Button::Button()
{
    mCapturesOnPress = true;
    mFollowsCapturedMovement = true;
}

Button::~Button()
{
    // Let go of the mediator before it goes, so that it no longer finds itself attached here.
    std::unique_ptr<ButtonMediator> owned = mMediator.release();
    mMediator.forget();
}

QLResultEnum Button::Click()
{
    if (mClickCallback)
        if (QLResultEnum r = mClickCallback->Invoke(this))
            return r;
    return mButtonListener ? mButtonListener->OnClick(this) : QL_OK;
}
} // namespace widget
