// Display modes: full-screen shapes, bars in game units, window placement and monitor choice.
#include "Framework/DisplayMode.h"

#include <gtest/gtest.h>

#include <tuple>

using framework::ChooseDisplayMode;
using framework::DisplaySettings;
using framework::LayoutSizes;
using framework::ViewGeometry;

namespace
{
app::MonitorList Monitor(int w, int h, int workW = -1, int workH = -1)
{
    app::MonitorInfo m;
    m.width = w;
    m.height = h;
    m.workWidth = workW < 0 ? w : workW;
    m.workHeight = workH < 0 ? h : workH;
    m.primary = true;
    return {m};
}

struct Choice
{
    DisplaySettings settings;
    ViewGeometry view;
};

Choice FullScreen(int w, int h)
{
    Choice c;
    EXPECT_EQ(ChooseDisplayMode(LayoutSizes(), Monitor(w, h), false, 0, 0, c.settings, c.view), QL_OK);
    return c;
}
} // namespace

TEST(DisplayMode, FullScreenShapesBarsWindowPlacementAndMonitorChoice)
{
    struct Row
    {
        int w, h;
        bool bars, sideBars;
        int viewWidth;
        float viewOffsetX;
        bool offScreen;
        u32 targetWidth;
    };
    const Row rows[] = {
        {1366, 768, false, false, 1366, -171, false, 0},       // the wide layout, drawn directly
        {1024, 768, false, false, 1024, 0, false, 0},          // the core's shape
        {1280, 1024, true, false, 1024, 0, true, 1024},        // letterbox bars, a core target
        {2560, 1080, true, true, 1366, -171, true, 1366},      // side bars, content 1920 wide
        {1920, 1080, false, false, 1365, -170.5f, true, 1365}, // 16:9, integer view width
        {1280, 720, false, false, 1365, -170.5f, false, 0},
    };
    for (const Row& r : rows)
    {
        SCOPED_TRACE(std::to_string(r.w) + "x" + std::to_string(r.h));
        const Choice c = FullScreen(r.w, r.h);
        const u32 target = c.settings.offScreen ? c.settings.offScreenWidth : 0;
        EXPECT_EQ(std::make_tuple(c.view.barsPresent, c.view.sideBars, c.view.viewWidth, c.view.viewOffsetX,
                                  c.settings.offScreen, target),
                  std::make_tuple(r.bars, r.sideBars, r.viewWidth, r.viewOffsetX, r.offScreen, r.targetWidth));
        EXPECT_TRUE(!r.offScreen || c.settings.offScreenHeight == 768u);
    }
    const Choice wide = FullScreen(1366, 768);
    EXPECT_EQ(wide.view.inputScaleX, 1);
    EXPECT_EQ(wide.view.inputOffsetX, -171);
    EXPECT_EQ(wide.settings.offsetX, 171);
    EXPECT_EQ(wide.settings.projection.translateX, 171);
    const Choice narrow = FullScreen(1280, 1024);
    EXPECT_FLOAT_EQ(narrow.view.inputScaleX, 0.8f);
    EXPECT_FLOAT_EQ(narrow.view.inputScaleY, 0.8f);
    EXPECT_EQ(narrow.view.inputOffsetY, -32);
    EXPECT_EQ(narrow.view.firstBar.height, 32);
    EXPECT_EQ(narrow.view.secondBar.y, 992);
    EXPECT_FLOAT_EQ(narrow.view.targetScaleX, 1.25f);
    EXPECT_EQ(narrow.view.targetY, 512);
    const Choice sides = FullScreen(2560, 1080);
    EXPECT_EQ(sides.view.firstBar.width, 320);
    EXPECT_EQ(sides.view.secondBar.x, 2240);
    const Choice small = FullScreen(1280, 720);
    EXPECT_FALSE(small.settings.buildProjection);
    EXPECT_FLOAT_EQ(small.settings.scaleX, 1280.0f / 1365.0f);
    // Its pixel mapping (scale, then offset) takes the view's edges to the window's: clip
    // rectangles land where the picture is drawn.
    EXPECT_NEAR(small.view.viewOffsetX * small.settings.scaleX + small.settings.offsetX, 0.0f, 0.01f);
    EXPECT_NEAR((small.view.viewOffsetX + small.view.viewWidth) * small.settings.scaleX + small.settings.offsetX,
                1280.0f, 0.01f);
    // Drawn directly, the bars are in game units. 8:7 is narrower than the core: content 800 x 600 with
    // 50-pixel bars, scale 600 / 768.
    const Choice c = FullScreen(800, 700);
    ASSERT_TRUE(c.view.barsPresent);
    ASSERT_FALSE(c.settings.offScreen); // content 800 x 600 is not taller than the layout
    // y = (0 - 50) / 0.78125: just above the view.
    EXPECT_EQ(std::make_tuple(c.view.firstBar.y, c.view.firstBar.width, c.view.firstBar.height),
              std::make_tuple(-64, 1024, 64));
    EXPECT_EQ(c.view.secondBar.y, 768);

    // A window is centred in the work area or falls back to full screen, on the primary or a default monitor.
    DisplaySettings s;
    ViewGeometry v;
    app::MonitorList m = Monitor(1920, 1080, 1920, 1040);
    m[0].workY = 40;
    ASSERT_EQ(ChooseDisplayMode(LayoutSizes(), m, true, 10, 30, s, v), QL_OK);
    EXPECT_TRUE(s.windowed);
    EXPECT_FALSE(s.fellBackToFullScreen);
    EXPECT_EQ(std::make_tuple(s.windowX, s.windowY, s.windowWidth, s.windowHeight),
              std::make_tuple(272, 121 + 40, 1376, 798));
    EXPECT_EQ(s.clientWidth, 1366u);
    EXPECT_EQ(v.inputOffsetX, -171);

    // A window the player resized keeps its size: 1000 x 700 lies between the core's shape and
    // the wide layout's, all of it the view, drawn directly.
    ASSERT_EQ(framework::ChooseDisplayModeForClient(LayoutSizes(), 1000, 700, s, v), QL_OK);
    EXPECT_EQ(std::make_tuple(s.windowed, s.clientWidth, s.clientHeight, v.barsPresent, s.offScreen),
              std::make_tuple(true, 1000u, 700u, false, false));
    EXPECT_EQ(v.viewWidth, 1097); // 10:7 of 768
    EXPECT_NEAR(v.viewOffsetX * s.scaleX + s.offsetX, 0.0f, 0.01f);
    EXPECT_NE(framework::ChooseDisplayModeForClient(LayoutSizes(), 0, 700, s, v), QL_OK);

    // A window that does not fit falls back to full screen.
    ASSERT_EQ(ChooseDisplayMode(LayoutSizes(), Monitor(1366, 768, 1366, 740), true, 0, 0, s, v), QL_OK);
    EXPECT_TRUE(s.fellBackToFullScreen);
    EXPECT_FALSE(s.windowed);
    EXPECT_EQ(s.clientHeight, 768u);
    EXPECT_TRUE(framework::IsWindowLargerThanScreen(LayoutSizes(), Monitor(1366, 768, 1366, 740), 0, 0));
    EXPECT_FALSE(framework::IsWindowLargerThanScreen(LayoutSizes(), Monitor(1920, 1080), 0, 0));
    // The primary monitor is preferred; an empty list falls back to a default.
    app::MonitorList list = Monitor(800, 600);
    list[0].primary = false;
    list.push_back(Monitor(2560, 1440)[0]);
    EXPECT_EQ(framework::ChooseMonitor(list).width, 2560);
    list[1].primary = false;
    EXPECT_EQ(framework::ChooseMonitor(list).width, 800);
    const app::MonitorInfo fallback = framework::ChooseMonitor({});
    EXPECT_EQ(fallback.width, 1366);
    EXPECT_EQ(fallback.workHeight, 768);
    EXPECT_EQ(framework::ChooseMonitor(Monitor(0, 0)).width, 1366);
    EXPECT_EQ(ChooseDisplayMode(LayoutSizes(), {}, false, 0, 0, s, v), QL_OK);
    EXPECT_EQ(v.viewWidth, 1366);
}
