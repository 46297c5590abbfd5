// The raw child list.
#include "Core/Widget/WidgetContainer.h"

#include "Core/Widget/Widget.h"

#include <algorithm>

namespace widget
{
QLResultEnum WidgetContainer::AddChildRaw(Widget* child)
{
    mChildren.push_back(child);
    return QL_OK;
}

QLResultEnum WidgetContainer::RemoveChildRaw(Widget* child)
{
    auto it = std::find(mChildren.begin(), mChildren.end(), child);
    if (it == mChildren.end())
        return QL_FAIL;
    mChildren.erase(it);
    return QL_OK;
}

QLResultEnum WidgetContainer::RemoveAllChildren(bool deleteChildren, bool recursive, bool nested)
{
    if (!deleteChildren && !recursive)
    {
        mChildren.clear();
        return QL_OK;
    }
    // The list is taken first: a deleted child must not find itself in it any more.
    std::vector<Widget*> children;
    children.swap(mChildren);
    for (size_t i = 0; i < children.size(); ++i)
    {
        Widget* child = children[i];
        if (!child)
            continue;
        if (recursive)
        {
            if (QLResultEnum r = child->RemoveAllChildren(deleteChildren, recursive, true))
            {
                // Keep the children not yet handled.
                mChildren.assign(children.begin() + static_cast<long>(i), children.end());
                return r;
            }
        }
        child->ForgetParent(this);
        if (deleteChildren)
            delete child;
    }
    return QL_OK;
}
} // namespace widget
