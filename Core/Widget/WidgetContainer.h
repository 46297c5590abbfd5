// The ordered list of a widget's children (the first child's layer is drawn first).
#pragma once

#include "Core/Base/Types.h"

#include <vector>

namespace widget
{
class Widget;

class WidgetContainer
{
public:
    WidgetContainer() = default;
    // Frees the list, never the children.
    virtual ~WidgetContainer() = default;
    WidgetContainer(const WidgetContainer&) = delete;
    WidgetContainer& operator=(const WidgetContainer&) = delete;

    // The raw list operations: no notifications, no layers.
    virtual QLResultEnum AddChildRaw(Widget* child);
    // 1 when the widget is not a child.
    virtual QLResultEnum RemoveChildRaw(Widget* child);
    // With neither flag only empties the list; otherwise empties the children first (recursive)
    // and deletes them (deleteChildren). Listeners are not told and layers stay attached.
    virtual QLResultEnum RemoveAllChildren(bool deleteChildren, bool recursive, bool nested);

    const std::vector<Widget*>& GetChildren() const { return mChildren; }

protected:
    std::vector<Widget*> mChildren;
};
} // namespace widget
