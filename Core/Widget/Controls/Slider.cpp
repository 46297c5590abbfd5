// Slider values and their notifications.
#include "Core/Widget/Controls/Slider.h"

namespace widget
{
TypeDescriptor& Slider::StaticTypeDescriptor()
{
    static TypeDescriptor descriptor = DeriveTypeDescriptor(Widget::StaticTypeDescriptor());
    return descriptor;
}

Slider::Slider() : mSliderListener(this)
{
    mCapturesOnPress = true;
    mFollowsCapturedMovement = true;
}

void Slider::SetValue(float value, bool updateView)
{
    mValue = value;
    if (updateView)
        UpdateView();
}

QLResultEnum Slider::SetValueChanged(float value, bool updateView)
{
    if (mSliderListener)
        if (QLResultEnum r = mSliderListener->OnValueChanged(this, value))
            return r;
    SetValue(value, updateView);
    return QL_OK;
}

QLResultEnum Slider::SetValueChanging(float value, bool updateView)
{
    if (mSliderListener)
        if (QLResultEnum r = mSliderListener->OnValueChanging(this, value))
            return r;
    SetValue(value, updateView);
    return QL_OK;
}

QLResultEnum Slider::OnValueChanged(Slider* slider, float value)
{
    return mValueChanged ? mValueChanged->Invoke(slider, value) : QL_OK;
}

QLResultEnum Slider::OnValueChanging(Slider* slider, float value)
{
    return mValueChanging ? mValueChanging->Invoke(slider, value) : QL_OK;
}
} // namespace widget
