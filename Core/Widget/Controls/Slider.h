// A widget with a value between a minimum and a maximum. Changes are reported to its listener,
// which by default is the slider itself forwarding to the two optional callbacks.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Base/Delegate.h"
#include "Core/Widget/Controls/SliderListener.h"
#include "Core/Widget/Widget.h"

namespace widget
{
class Slider : public Widget, public SliderListener
{
public:
    using ValueDelegate = base::Delegate2<Slider*, float, QLResultEnum>;

    // Captures the pointer on press and follows captured movement.
    Slider();

    const TypeDescriptor& GetTypeDescriptor() const override { return StaticTypeDescriptor(); }
    static TypeDescriptor& StaticTypeDescriptor();
    // Moves the view to the current value; nothing by default.
    virtual void UpdateView() {}

    void SetValue(float value, bool updateView);
    // The listener first: a non-zero result is returned and nothing changes.
    QLResultEnum SetValueChanged(float value, bool updateView);
    QLResultEnum SetValueChanging(float value, bool updateView);

    // Null restores the slider's own forwarding part.
    void SetSliderListener(SliderListener* listener) { mSliderListener = listener ? listener : this; }
    void SetRange(float minimum, float maximum)
    {
        mMinimum = minimum;
        mMaximum = maximum;
    }
    float GetValue() const { return mValue; }

    // SliderListener: forwards to the callbacks.
    QLResultEnum OnValueChanged(Slider* slider, float value) override;
    QLResultEnum OnValueChanging(Slider* slider, float value) override;

    SliderListener* mSliderListener;
    base::CountedPtr<ValueDelegate> mValueChanged;
    base::CountedPtr<ValueDelegate> mValueChanging;
    float mMinimum = 0.0f;
    float mMaximum = 1.0f;
    float mValue = 0.0f;
};
} // namespace widget
