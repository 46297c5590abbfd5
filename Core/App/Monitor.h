// The displays with their work areas, as the display-mode choice reads them.
#pragma once

#include <vector>

namespace app
{
struct MonitorInfo
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int workX = 0;
    int workY = 0;
    int workWidth = 0;
    int workHeight = 0;
    bool primary = false;
};

using MonitorList = std::vector<MonitorInfo>;

// Clears the list and fills it from the platform; false when the platform cannot list displays.
bool EnumMonitors(MonitorList& list);
int MonitorCount(const MonitorList& list);
// Null when the index is out of range.
const MonitorInfo* MonitorAt(const MonitorList& list, int index);
} // namespace app
