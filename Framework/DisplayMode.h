// Fitting the game's layout (a wide layout around a narrower core) into a window or a monitor:
// placement, bars, the view in game units, the input mapping and direct or off-screen drawing.
#pragma once

#include "Core/App/Monitor.h"
#include "Core/Base/Types.h"

namespace framework
{
struct LayoutSizes
{
    u32 coreWidth = 1024;
    u32 height = 768;
    u32 fullWidth = 1366;
};

// A projection as the renderer builds it: translate, scale, translate, then the orthographic
// projection of width x height (flag passed on to the renderer's projection builder).
struct ProjectionRecipe
{
    float translateX = 0;
    float translateY = 0;
    float scaleX = 1;
    float scaleY = 1;
    float offsetX = 0;
    float offsetY = 0;
    float width = 0;
    float height = 0;
    u32 flag = 0;
};

struct BarRect
{
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
};

// One display-mode choice.
struct DisplaySettings
{
    int windowX = 0;
    int windowY = 0;
    int windowWidth = 0; // outer size
    int windowHeight = 0;
    // What the renderer is started with.
    u32 clientWidth = 0;
    u32 clientHeight = 0;
    bool windowed = true;
    bool buildProjection = true;
    ProjectionRecipe projection;
    float scaleX = 1;
    float scaleY = 1;
    float offsetX = 0;
    float offsetY = 0;

    bool fellBackToFullScreen = false;
    bool offScreen = false;
    u32 offScreenWidth = 0;
    u32 offScreenHeight = 0;
    ProjectionRecipe offScreenProjection;
    float offScreenScaleX = 1;
    float offScreenScaleY = 1;
    float offScreenOffsetX = 0;
    float offScreenOffsetY = 0;
};

// What the application keeps of a choice: view, input mapping, bars, where the target goes.
struct ViewGeometry
{
    float inputScaleX = 1;
    float inputScaleY = 1;
    float inputOffsetX = 0;
    float inputOffsetY = 0;
    float targetScaleX = 1;
    float targetScaleY = 1;
    float targetX = 0;
    float targetY = 0;
    float viewOffsetX = 0;
    float viewOffsetY = 0;
    float viewWidth = 0;
    float viewHeight = 0;
    bool barsPresent = false;
    bool sideBars = false;
    BarRect firstBar;
    BarRect secondBar;
};

// The monitor the game uses: the primary one, else the first; a default 1366 x 768 one when the
// list is empty or the monitor has no area.
app::MonitorInfo ChooseMonitor(const app::MonitorList& monitors);

// frameWidth/Height: what a decorated window adds around its client area.
QLResultEnum ChooseDisplayMode(const LayoutSizes& layout, const app::MonitorList& monitors, bool windowed,
                               int frameWidth, int frameHeight, DisplaySettings& out, ViewGeometry& view);

// The same for a window that already has the client size the player gave it: no placement, the
// layout fitted into that size.
QLResultEnum ChooseDisplayModeForClient(const LayoutSizes& layout, u32 clientWidth, u32 clientHeight,
                                        DisplaySettings& out, ViewGeometry& view);

// True when a windowed client of full width x height with its frame exceeds the work area.
bool IsWindowLargerThanScreen(const LayoutSizes& layout, const app::MonitorList& monitors, int frameWidth,
                              int frameHeight);
} // namespace framework
