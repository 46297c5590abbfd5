// Who holds the pointer capture and how captured points are converted for it.
#pragma once

#include "Core/Render/Point.h"

namespace layer
{
class Layer;
}

namespace widget
{
class Widget;

struct CaptureRecord
{
    Widget* widget = nullptr; // null: nothing holds the capture
    layer::Layer* layer = nullptr;
    math::Point3 grabPoint;
    // Captured points arrive in the capture layer's parent space; else in the layer's own.
    bool convertInParentSpace = true;
};
} // namespace widget
