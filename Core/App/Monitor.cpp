// Monitor list over the platform's displays.
#include "Core/App/Monitor.h"

#include "Platform/Os/Video.h"

namespace app
{
bool EnumMonitors(MonitorList& list)
{
    list.clear();
    std::vector<os::Display> displays;
    if (!os::Video().EnumDisplays(displays))
        return false;
    for (const os::Display& d : displays)
    {
        MonitorInfo m;
        m.x = d.bounds.x;
        m.y = d.bounds.y;
        m.width = d.bounds.width;
        m.height = d.bounds.height;
        m.workX = d.workArea.x;
        m.workY = d.workArea.y;
        m.workWidth = d.workArea.width;
        m.workHeight = d.workArea.height;
        m.primary = d.primary;
        list.push_back(m);
    }
    return true;
}

int MonitorCount(const MonitorList& list) { return static_cast<int>(list.size()); }

const MonitorInfo* MonitorAt(const MonitorList& list, int index)
{
    return index >= 0 && index < MonitorCount(list) ? &list[static_cast<size_t>(index)] : nullptr;
}
} // namespace app
