// Click delivery of buttons.
#include "Core/Widget/Controls/Button.h"

#include "Core/Widget/Controls/ButtonListener.h"
#include "Core/Widget/Controls/ButtonMediator.h"

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
    if (mOwnsMediator)
    {
        ButtonMediator* mediator = mMediator;
        mMediator = nullptr;
        delete mediator;
    }
}

QLResultEnum Button::Click()
{
    if (mClickCallback)
        if (QLResultEnum r = mClickCallback->Invoke(this))
            return r;
    return mButtonListener ? mButtonListener->OnClick(this) : QL_OK;
}
} // namespace widget
