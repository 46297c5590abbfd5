// The owner's side of a slider: final values (release, steps) and values on the way (drags).
#pragma once

#include "Core/Base/Types.h"

namespace widget
{
class Slider;

class SliderListener
{
public:
    virtual ~SliderListener() = default;
    virtual QLResultEnum OnValueChanged(Slider* slider, float value) { return QL_OK; }
    virtual QLResultEnum OnValueChanging(Slider* slider, float value) { return QL_OK; }
};
} // namespace widget
