// Behaviour attached to one widget from outside it.
#pragma once

namespace widget
{
class Widget;

class WidgetMediator
{
public:
    virtual ~WidgetMediator() = default;

    Widget* mMediated = nullptr; // null until attached
};
} // namespace widget
