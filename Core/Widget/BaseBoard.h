// The root frame of a screen: its own widget listener (with draw hooks) and its own layer's
// hit-test listener.
#pragma once

#include "Core/Widget/Frame.h"
#include "Core/Widget/WidgetHitTestListener.h"
#include "Core/Widget/WidgetListener.h"

namespace widget
{
class BaseBoard : public Frame, public WidgetListener, public WidgetHitTestListener
{
public:
    BaseBoard();

    // Called when the board becomes the application's current screen; non-zero keeps it out.
    virtual QLResultEnum Start() { return QL_OK; }
};
} // namespace widget
