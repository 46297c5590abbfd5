// Display-mode maths. Integer divisions are unsigned and drop the remainder, as the layout
// vectors expect (a 16:9 screen gets a view 1365 units wide).
#include "Framework/DisplayMode.h"

#include "Core/Render/AspectRatio.h"

#include <cmath>

namespace framework
{
namespace
{
// Bars, view, input mapping and direct or off-screen drawing for a client area of cw x ch.
QLResultEnum FitLayout(const LayoutSizes& layout, u32 cw, u32 ch, DisplaySettings& out, ViewGeometry& view);
} // namespace

app::MonitorInfo ChooseMonitor(const app::MonitorList& monitors)
{
    const app::MonitorInfo* chosen = nullptr;
    for (const app::MonitorInfo& m : monitors)
        if (m.primary)
        {
            chosen = &m;
            break;
        }
    if (!chosen && !monitors.empty())
        chosen = &monitors.front();
    if (chosen && chosen->width > 0 && chosen->height > 0)
    {
        app::MonitorInfo m = *chosen;
        if (m.workWidth <= 0 || m.workHeight <= 0)
        {
            m.workX = m.x;
            m.workY = m.y;
            m.workWidth = m.width;
            m.workHeight = m.height;
        }
        return m;
    }
    app::MonitorInfo fallback;
    fallback.width = fallback.workWidth = 1366;
    fallback.height = fallback.workHeight = 768;
    fallback.primary = true;
    return fallback;
}

bool IsWindowLargerThanScreen(const LayoutSizes& layout, const app::MonitorList& monitors, int frameWidth,
                              int frameHeight)
{
    const app::MonitorInfo m = ChooseMonitor(monitors);
    return static_cast<int>(layout.fullWidth) + frameWidth > m.workWidth ||
           static_cast<int>(layout.height) + frameHeight > m.workHeight;
}

QLResultEnum ChooseDisplayMode(const LayoutSizes& layout, const app::MonitorList& monitors, bool windowed,
                               int frameWidth, int frameHeight, DisplaySettings& out, ViewGeometry& view)
{
    if (!layout.coreWidth || !layout.height || !layout.fullWidth)
        return QL_FAIL;
    const app::MonitorInfo monitor = ChooseMonitor(monitors);
    u32 cw, ch;
    if (windowed)
    {
        cw = layout.fullWidth;
        ch = layout.height;
        const int outerW = static_cast<int>(cw) + frameWidth;
        const int outerH = static_cast<int>(ch) + frameHeight;
        if (outerW <= monitor.workWidth && outerH <= monitor.workHeight)
        {
            out.windowX = (monitor.workWidth - outerW) / 2 + monitor.workX;
            out.windowY = (monitor.workHeight - outerH) / 2 + monitor.workY;
            out.windowWidth = outerW;
            out.windowHeight = outerH;
        }
        else
        {
            out.fellBackToFullScreen = true;
            windowed = false;
        }
    }
    if (!windowed)
    {
        cw = static_cast<u32>(monitor.width);
        ch = static_cast<u32>(monitor.height);
        out.windowX = monitor.x;
        out.windowY = monitor.y;
        out.windowWidth = monitor.width;
        out.windowHeight = monitor.height;
    }
    out.windowed = windowed;
    return FitLayout(layout, cw, ch, out, view);
}

QLResultEnum ChooseDisplayModeForClient(const LayoutSizes& layout, u32 clientWidth, u32 clientHeight,
                                        DisplaySettings& out, ViewGeometry& view)
{
    if (!layout.coreWidth || !layout.height || !layout.fullWidth || !clientWidth || !clientHeight)
        return QL_FAIL;
    out.windowed = true;
    out.windowWidth = static_cast<int>(clientWidth);
    out.windowHeight = static_cast<int>(clientHeight);
    return FitLayout(layout, clientWidth, clientHeight, out, view);
}

namespace
{
QLResultEnum FitLayout(const LayoutSizes& layout, u32 cw, u32 ch, DisplaySettings& out, ViewGeometry& view)
{
    const render::AspectRatio core(layout.coreWidth, layout.height);
    const render::AspectRatio full(layout.fullWidth, layout.height);
    out.clientWidth = cw;
    out.clientHeight = ch;

    const render::AspectRatio client(cw, ch);
    render::AspectRatio chosen = client;
    u32 contentW = cw, contentH = ch;
    view.barsPresent = false;
    view.sideBars = false;
    if (core.mDenominator * client.mNumerator / client.mDenominator < core.mNumerator ||
        client.mNumerator < core.mNumerator * client.mDenominator / core.mDenominator)
    {
        chosen = core;
        contentH = core.mDenominator * cw / core.mNumerator;
        view.barsPresent = true;
        const float barH = static_cast<float>(ch - contentH) * 0.5f;
        view.firstBar = {0, 0, static_cast<float>(cw), barH};
        view.secondBar = {0, static_cast<float>(ch) - barH, static_cast<float>(cw), barH};
    }
    else if (full.mNumerator * client.mDenominator / full.mDenominator < client.mNumerator ||
             full.mNumerator < full.mDenominator * client.mNumerator / client.mDenominator)
    {
        chosen = full;
        contentW = ch * full.mNumerator / full.mDenominator;
        view.barsPresent = true;
        view.sideBars = true;
        const float barW = static_cast<float>(cw - contentW) * 0.5f;
        view.firstBar = {0, 0, barW, static_cast<float>(ch)};
        view.secondBar = {static_cast<float>(cw) - barW, 0, barW, static_cast<float>(ch)};
    }

    const u32 viewW = chosen.mNumerator * layout.height / chosen.mDenominator;
    view.viewHeight = static_cast<float>(layout.height);
    view.viewWidth = static_cast<float>(viewW);
    view.viewOffsetX = (static_cast<float>(layout.coreWidth) - static_cast<float>(viewW)) * 0.5f;
    view.viewOffsetY = 0;

    const float fcw = static_cast<float>(cw), fch = static_cast<float>(ch);
    const float fContentW = static_cast<float>(contentW), fContentH = static_cast<float>(contentH);
    view.inputScaleX = view.viewWidth / fContentW;
    view.inputScaleY = view.viewHeight / fContentH;
    view.inputOffsetX = (fContentW - fcw) * 0.5f + view.viewOffsetX / view.inputScaleX;
    view.inputOffsetY = (fContentH - fch) * 0.5f;

    // View to content rectangle, centred between the bars.
    const float fx = fContentW / view.viewWidth;
    const float fy = fContentH / view.viewHeight;
    const float bx = std::trunc((fcw - fContentW) * 0.5f);
    const float by = std::trunc((fch - fContentH) * 0.5f);

    if (contentH > layout.height)
    {
        out.offScreen = true;
        out.buildProjection = true;
        out.offScreenWidth = layout.height * chosen.mNumerator / chosen.mDenominator;
        out.offScreenHeight = layout.height;
        out.offScreenProjection =
            ProjectionRecipe{-view.viewOffsetX, -view.viewOffsetY, 1, 1, 0, 0, view.viewWidth, view.viewHeight, 1};
        out.offScreenOffsetX = -view.viewOffsetX;
        out.offScreenOffsetY = -view.viewOffsetY;
        view.targetScaleX = fContentW / view.viewWidth;
        view.targetScaleY = fContentH / view.viewHeight;
        view.targetX = fcw * 0.5f;
        view.targetY = fch * 0.5f;
    }
    else
    {
        out.offScreen = false;
        out.buildProjection = false;
        out.projection = ProjectionRecipe{-view.viewOffsetX, -view.viewOffsetY, fx, fy, bx, by, fcw, fch, 0};
        out.scaleX = fx;
        out.scaleY = fy;
        // The pixel mapping scales first, then adds: the view's offset is scaled with the view.
        out.offsetX = bx - view.viewOffsetX * fx;
        out.offsetY = by - view.viewOffsetY * fy;
        if (view.barsPresent)
            for (BarRect* bar : {&view.firstBar, &view.secondBar})
            {
                bar->x = (bar->x - bx) / fx + view.viewOffsetX;
                bar->y = (bar->y - by) / fy + view.viewOffsetY;
                bar->width /= fx;
                bar->height /= fy;
            }
    }
    return QL_OK;
}
} // namespace
} // namespace framework
