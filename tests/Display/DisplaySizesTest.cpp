// The real game on the GL window at the size of the X display it runs on (CTest starts one Xvfb
// per size): every screen drawn whole and centred, each of its buttons inside the picture, and
// the pointer landing where they are drawn. The expected placement is worked out here from what
// the player sees, the 1024 x 768 core scaled as large as the window allows and centred, not
// from the game's own mapping. QL_TEST_WINDOW=1 plays in a window the player then resizes. The
// window's icon is checked as the desktop got it. On the way: the locked Ordeal's padlock beside
// its "New!", the pause menu's options button after its dialog, nothing of a won battle (a
// meteor's blast) over the shop, and the second level's second countdown clear of the spots.
#include "support/GameHarness.h"

#include "App/Game.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileManager.h"
#include "Core/Layer/TextLayer.h"
#include "Core/Media/Image/ImageLoader.h"
#include "Core/Widget/Controls/OptionsDialog.h"
#include "Core/Widget/Controls/TMessageBox.h"
#include "Core/Widget/Controls/TesselSlider.h"
#include "Image/ImageBuilders.h"
#include "Source/TD/Battle/TDContextMenu.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Level/TDMapScene.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDButtonOver.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDIngameMenu.h"
#include "Source/TD/Shell/HUDLevelResultWindow.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDShopWindow.h"
#include "Source/TD/Shell/HUDUnlockMessage.h"
#include "Source/TD/Shell/ShopTab.h"
#include "Source/TD/Shell/TDScreenDraw.h"
#include "Source/TD/Sprites/TDFrameEntry.h"
#include "Source/TD/Sprites/TDResources.h"
#include "Source/TD/Units/TDTower.h"
#include "Source/TD/Units/TDUnit.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using testsupport::GameHarness;

namespace
{
constexpr float kCoreWidth = 1024.0f, kHeight = 768.0f, kLayoutLeft = -171.0f, kLayoutRight = 1195.0f;
// The side pictures' outer edges: they meet the core one unit inside it.
constexpr float kSidesLeft = -170.0f, kSidesRight = 1194.0f;
// The frame of waits for a timer or an effect to run out, in seconds.
constexpr float kLongFrame = 0.1f;

struct Box
{
    float x0, y0, x1, y1;
};

// A picture of the game's data as its file holds it (0xAARRGGBB, top row first).
struct Picture
{
    int width = 0, height = 0;
    std::vector<u32> argb;

    static Picture read(const std::wstring& path)
    {
        Picture out;
        std::unique_ptr<base::Stream> stream(file::FileManager::Instance()->OpenStream(path));
        std::unique_ptr<render::ImageData> data(
            stream ? render::ImageLoader::Instance()->Load(stream.get(), L".png", nullptr) : nullptr);
        if (!data)
            return out;
        out.argb.assign(static_cast<size_t>(data->mWidth) * static_cast<size_t>(data->mHeight), 0u);
        render::HitMask mask;
        if (data->CopyPixels(static_cast<u32>(data->mWidth) * 4, reinterpret_cast<u8*>(out.argb.data()), mask))
            return out;
        out.width = data->mWidth;
        out.height = data->mHeight;
        return out;
    }
    // The columns x0..x1 of the picture.
    Picture columns(int x0, int x1) const
    {
        Picture out;
        out.width = x1 - x0;
        out.height = height;
        for (int y = 0; y < height; ++y)
            for (int x = x0; x < x1; ++x)
                out.argb.push_back(argb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]);
        return out;
    }
    u32 at(int x, int y) const
    {
        x = std::clamp(x, 0, width - 1);
        y = std::clamp(y, 0, height - 1);
        return argb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] & 0xFFFFFFu;
    }
};

bool near(u32 a, u32 b, int tolerance)
{
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// The window as the player sees it, and what the game must look like in it.
class WindowView
{
public:
    WindowView() : mDisplay(XOpenDisplay(nullptr)) {}
    ~WindowView()
    {
        if (mDisplay)
            XCloseDisplay(mDisplay);
    }
    WindowView(const WindowView&) = delete;
    WindowView& operator=(const WindowView&) = delete;

    bool open() { return mDisplay && (mWindow = SDL_GL_GetCurrentWindow()) != nullptr; }
    int displayWidth() const { return DisplayWidth(mDisplay, DefaultScreen(mDisplay)); }
    int displayHeight() const { return DisplayHeight(mDisplay, DefaultScreen(mDisplay)); }
    void size(int& w, int& h) const { SDL_GetWindowSize(mWindow, &w, &h); }
    SDL_Window* window() const { return mWindow; }

    // The core fills the window's height or width, whichever comes first, centred.
    float scale() const
    {
        int w = 0, h = 0;
        size(w, h);
        return std::min(static_cast<float>(w) / kCoreWidth, static_cast<float>(h) / kHeight);
    }
    void toWindow(float gx, float gy, float& px, float& py) const
    {
        int w = 0, h = 0;
        size(w, h);
        px = static_cast<float>(w) * 0.5f + (gx - kCoreWidth * 0.5f) * scale();
        py = static_cast<float>(h) * 0.5f + (gy - kHeight * 0.5f) * scale();
    }
    void toGame(float px, float py, float& gx, float& gy) const
    {
        int w = 0, h = 0;
        size(w, h);
        gx = kCoreWidth * 0.5f + (px - static_cast<float>(w) * 0.5f) / scale();
        gy = kHeight * 0.5f + (py - static_cast<float>(h) * 0.5f) / scale();
    }
    // The part of the 1366 x 768 layout that fits the window, in game units.
    Box picture() const
    {
        int w = 0, h = 0;
        size(w, h);
        const float half = static_cast<float>(w) * 0.5f / scale();
        return {std::max(kLayoutLeft, kCoreWidth * 0.5f - half), 0.0f, std::min(kLayoutRight, kCoreWidth * 0.5f + half),
                kHeight};
    }

    // The window's pixels as the X server shows them (0x00RRGGBB, top row first).
    void grab()
    {
        int w = 0, h = 0;
        size(w, h);
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(mWindow, &info) || info.subsystem != SDL_SYSWM_X11)
            return;
        XSync(mDisplay, False);
        XImage* image = XGetImage(mDisplay, info.info.x11.window, 0, 0, static_cast<unsigned>(w),
                                  static_cast<unsigned>(h), AllPlanes, ZPixmap);
        mWidth = w;
        mHeight = h;
        mPixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0u);
        if (!image)
            return;
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col)
                mPixels[static_cast<size_t>(row) * static_cast<size_t>(w) + static_cast<size_t>(col)] =
                    static_cast<u32>(XGetPixel(image, col, row)) & 0xFFFFFFu;
        XDestroyImage(image);
    }
    // The icon the window manager was given (_NET_WM_ICON: width, height, then 0xAARRGGBB
    // pixels, top row first); false when there is none.
    bool icon(int& width, int& height, std::vector<u32>& pixels) const
    {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(mWindow, &info) || info.subsystem != SDL_SYSWM_X11)
            return false;
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const Atom property = XInternAtom(mDisplay, "_NET_WM_ICON", False);
        if (XGetWindowProperty(mDisplay, info.info.x11.window, property, 0, 1 << 24, False, AnyPropertyType, &type,
                               &format, &count, &after, &data) != Success ||
            !data || format != 32 || count < 2)
        {
            if (data)
                XFree(data);
            return false;
        }
        // Xlib hands 32-bit items over as longs.
        const long* items = reinterpret_cast<const long*>(data);
        width = static_cast<int>(items[0]);
        height = static_cast<int>(items[1]);
        pixels.clear();
        for (unsigned long i = 2; i < count; ++i)
            pixels.push_back(static_cast<u32>(items[i]));
        XFree(data);
        return true;
    }
    // Share of pixels in the window rectangle that are not (nearly) black.
    float lit(int x0, int y0, int x1, int y1) const
    {
        x0 = std::clamp(x0, 0, mWidth);
        x1 = std::clamp(x1, 0, mWidth);
        y0 = std::clamp(y0, 0, mHeight);
        y1 = std::clamp(y1, 0, mHeight);
        size_t count = 0, total = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x, ++total)
            {
                const u32 p = mPixels[static_cast<size_t>(y) * static_cast<size_t>(mWidth) + static_cast<size_t>(x)];
                if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) > 24)
                    ++count;
            }
        return total ? static_cast<float>(count) / static_cast<float>(total) : 0.0f;
    }
    // White text: every channel at least 200.
    static bool isWhite(u32 p) { return ((p >> 16) & 0xFF) >= 200 && ((p >> 8) & 0xFF) >= 200 && (p & 0xFF) >= 200; }
    // The gold of the frames and the medal.
    static bool isGold(u32 p) { return ((p >> 16) & 0xFF) > 190 && ((p >> 8) & 0xFF) > 140 && (p & 0xFF) < 130; }
    // Pixels of the window rectangle of that colour.
    int count(int x0, int y0, int x1, int y1, bool (*colour)(u32)) const
    {
        int n = 0;
        for (int y = std::max(0, y0); y < std::min(mHeight, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(mWidth, x1); ++x)
                n += colour(pixel(x, y)) ? 1 : 0;
        return n;
    }
    int white(int x0, int y0, int x1, int y1) const { return count(x0, y0, x1, y1, isWhite); }
    // The widest run of window columns between x0 and x1 with nothing drawn in them.
    int darkestBand(int x0, int x1) const
    {
        int run = 0, widest = 0;
        for (int x = std::max(0, x0); x < std::min(mWidth, x1); ++x)
        {
            run = lit(x, 0, x + 1, mHeight) > 0.0f ? 0 : run + 1;
            widest = std::max(widest, run);
        }
        return widest;
    }
    // The pixel at the window point (0 outside the grab).
    u32 pixel(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
            return 0u;
        return mPixels[static_cast<size_t>(y) * static_cast<size_t>(mWidth) + static_cast<size_t>(x)];
    }
    int width() const { return mWidth; }
    int height() const { return mHeight; }
    const std::vector<u32>& pixels() const { return mPixels; }

    // A pointer event through SDL's queue: the game's whole input path from window pixels.
    void push(Uint32 type, float px, float py) const
    {
        SDL_Event event{};
        event.type = type;
        const Uint32 id = SDL_GetWindowID(mWindow);
        if (type == SDL_MOUSEMOTION)
        {
            event.motion.windowID = id;
            event.motion.x = static_cast<Sint32>(px);
            event.motion.y = static_cast<Sint32>(py);
        }
        else
        {
            event.button.windowID = id;
            event.button.button = SDL_BUTTON_LEFT;
            event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            event.button.clicks = 1;
            event.button.x = static_cast<Sint32>(px);
            event.button.y = static_cast<Sint32>(py);
        }
        SDL_PushEvent(&event);
    }

private:
    Display* mDisplay;
    SDL_Window* mWindow = nullptr;
    std::vector<u32> mPixels;
    int mWidth = 0, mHeight = 0;
};

class DisplayWalk
{
public:
    DisplayWalk(GameHarness& game, WindowView& screen) : mGame(game), mScreen(screen) {}

    // One frame for each of the window's events (the window takes one per pass); beyond five, the
    // rest of the game time that many frames of a 30th of a second run, in frames of up to a tenth
    // (as a loaded machine draws them): every frame drawn at the display's size costs the walk.
    void settle(int frames = 4)
    {
        const int events = std::min(frames, 5);
        mGame.run(events, 1.0f / 30.0f);
        if (frames > events)
        {
            const float rest = static_cast<float>(frames - events) / 30.0f;
            const int steps = static_cast<int>(std::ceil(rest / kLongFrame));
            mGame.run(steps, rest / static_cast<float>(steps));
        }
    }

    // Moves the pointer to where the game point is drawn; where did the game see it?
    void pointAt(float gx, float gy, float& seenX, float& seenY)
    {
        float px = 0.0f, py = 0.0f;
        mScreen.toWindow(gx, gy, px, py);
        mScreen.push(SDL_MOUSEMOTION, px, py);
        settle(2);
        seenX = static_cast<float>(mGame.board().mPointerX);
        seenY = static_cast<float>(mGame.board().mPointerY);
    }
    void clickAt(float gx, float gy)
    {
        float px = 0.0f, py = 0.0f;
        mScreen.toWindow(gx, gy, px, py);
        for (Uint32 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP})
            mScreen.push(type, px, py);
        settle(4);
    }
    bool clickButton(HUDWindow& window, const std::wstring& name)
    {
        float x = 0.0f, y = 0.0f;
        if (!window.buttonCentre(name, x, y))
            return false;
        clickAt(x, y);
        return true;
    }

    // The side picture as drawn into the window columns x0..x1 (x0 its left edge) at scale s:
    // the share of sampled pixels that are the picture's own at that place (or a neighbour's, for
    // the filtered edges inside it).
    float sideMatch(const Picture& side, float x0, float x1, float s) const
    {
        int samples = 0, matched = 0;
        for (int y = 2; y < mScreen.height() - 2; y += 13)
            for (int x = static_cast<int>(x0) + 2; x < static_cast<int>(x1) - 2; x += 7, ++samples)
            {
                const int u = static_cast<int>((static_cast<float>(x) + 0.5f - x0) / s);
                const int v = static_cast<int>((static_cast<float>(y) + 0.5f) / s);
                bool same = false;
                for (int du = -1; du <= 1 && !same; ++du)
                    for (int dv = -1; dv <= 1 && !same; ++dv)
                        same = near(mScreen.pixel(x, y), side.at(u + du, v + dv), 12);
                matched += same ? 1 : 0;
            }
        return samples ? static_cast<float>(matched) / static_cast<float>(samples) : 0.0f;
    }

    // Each margin beside the core shows one picture, once and whole: the side pictures, their
    // inner edges one unit into the core (where the HUD places them), or on the shop the sides of
    // its own backdrop (the whole layout's width, drawn over them). Scaled to the window's
    // height, every sampled pixel the picture's own, no column of it dark (no seam), and black
    // from its outer edge to the window's edge (no second picture in the bars beyond).
    void checkSides(const std::string& where)
    {
        const bool shop = mGame.screen() == kScreenShop;
        Picture l, r;
        float left = 1.0f, right = kCoreWidth - 1.0f; // the pictures' inner edges, game units
        if (shop)
        {
            const Picture back = Picture::read(L"td/shop/back.png");
            ASSERT_EQ(back.width, static_cast<int>(kLayoutRight - kLayoutLeft)) << "the shop's backdrop";
            l = back.columns(0, -static_cast<int>(kLayoutLeft));
            r = back.columns(back.width + static_cast<int>(kLayoutLeft), back.width);
            left = 0.0f;
            right = kCoreWidth;
        }
        else
        {
            l = Picture::read(L"td/data/sides/l.png");
            r = Picture::read(L"td/data/sides/r.png");
        }
        ASSERT_GT(l.height, 0) << "the left side picture does not read";
        ASSERT_GT(r.height, 0) << "the right side picture does not read";
        const float s = mScreen.scale() * kHeight / static_cast<float>(l.height);
        const float lw = static_cast<float>(l.width) * s, rw = static_cast<float>(r.width) * s;
        float lx = 0.0f, rx = 0.0f, y = 0.0f;
        mScreen.toWindow(left, 0.0f, lx, y);
        mScreen.toWindow(right, 0.0f, rx, y);
        EXPECT_GT(sideMatch(l, lx - lw, lx, s), 0.97f) << where << ": the left picture is not beside the core";
        EXPECT_GT(sideMatch(r, rx, rx + rw, s), 0.97f) << where << ": the right picture is not beside the core";
        EXPECT_EQ(mScreen.darkestBand(static_cast<int>(lx - lw) + 1, static_cast<int>(lx) - 1), 0)
            << where << ": a seam splits the left picture";
        EXPECT_EQ(mScreen.darkestBand(static_cast<int>(rx) + 1, static_cast<int>(rx + rw) - 1), 0)
            << where << ": a seam splits the right picture";
        const int w = mScreen.width(), h = mScreen.height();
        EXPECT_EQ(mScreen.lit(0, 0, static_cast<int>(lx - lw) - 2, h), 0.0f) << where << ": drawn left of its picture";
        EXPECT_EQ(mScreen.lit(static_cast<int>(rx + rw) + 3, 0, w, h), 0.0f) << where << ": drawn right of its picture";
    }

    // The screen's picture: the layout drawn over the whole picture (over the core only when
    // `core`), nothing in the bars beside or above it; the side pictures beside the core when
    // `sides` and the window is wide enough for both.
    void checkPicture(const std::string& where, bool core, bool sides = false)
    {
        settle(2);
        mScreen.grab();
        const Box pic = mScreen.picture();
        float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
        mScreen.toWindow(core ? 0.0f : pic.x0, pic.y0, left, top);
        mScreen.toWindow(core ? kCoreWidth : pic.x1, pic.y1, right, bottom);
        const int l = static_cast<int>(left) + 1, r = static_cast<int>(right) - 1;
        EXPECT_LE(mScreen.darkestBand(l, r), 2) << where << ": a band of the picture is not drawn";
        EXPECT_GT(mScreen.lit(l, static_cast<int>(top) + 1, r, static_cast<int>(top) + 40), 0.5f)
            << where << ": the picture's top is not drawn";
        EXPECT_GT(mScreen.lit(l, static_cast<int>(bottom) - 40, r, static_cast<int>(bottom) - 1), 0.5f)
            << where << ": the picture's bottom is not drawn";
        mScreen.toWindow(pic.x0, pic.y0, left, top);
        mScreen.toWindow(pic.x1, pic.y1, right, bottom);
        const int w = mScreen.width(), h = mScreen.height();
        if (sides && pic.x0 <= kSidesLeft && pic.x1 >= kSidesRight)
            checkSides(where);
        else
        {
            EXPECT_EQ(mScreen.lit(0, 0, static_cast<int>(left) - 1, h), 0.0f) << where << ": drawn left of the picture";
            EXPECT_EQ(mScreen.lit(static_cast<int>(right) + 1, 0, w, h), 0.0f)
                << where << ": drawn right of the picture";
        }
        EXPECT_EQ(mScreen.lit(0, 0, w, static_cast<int>(top) - 1), 0.0f) << where << ": drawn above the picture";
        EXPECT_EQ(mScreen.lit(0, static_cast<int>(bottom) + 1, w, h), 0.0f) << where << ": drawn below the picture";
    }

    // Beside the battle's field the margins stay empty: its trees, shadows and effects end at the
    // field's edges (the HUD keeps to the field too). The edge's own pixel, scaled up from the
    // off-screen picture on large displays, may reach one game unit out.
    void checkFieldEdges(const std::string& where)
    {
        mScreen.grab();
        float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
        mScreen.toWindow(-1.0f, 0.0f, left, top);
        mScreen.toWindow(kCoreWidth + 1.0f, kHeight, right, bottom);
        const int w = mScreen.width(), h = mScreen.height();
        EXPECT_EQ(mScreen.lit(0, 0, static_cast<int>(left), h), 0.0f) << where << ": the field drawn left of it";
        EXPECT_EQ(mScreen.lit(static_cast<int>(std::ceil(right)), 0, w, h), 0.0f)
            << where << ": the field drawn right of it";
    }

    // Every visible button of the window lies in the picture, is drawn, and takes the pointer at
    // its drawn centre.
    void checkButtons(const std::string& where, HUDWindow& window)
    {
        settle(2);
        mScreen.grab();
        const Box pic = mScreen.picture();
        int checked = 0;
        std::vector<HUDWindow::ButtonPlace> buttons;
        window.listButtons(buttons);
        for (const HUDWindow::ButtonPlace& button : buttons)
        {
            if (!button.visible || button.width <= 0.0f)
                continue;
            const std::string name = where + " button " + std::string(button.name.begin(), button.name.end());
            EXPECT_GE(button.x, pic.x0 - 1.0f) << name;
            EXPECT_LE(button.x + button.width, pic.x1 + 1.0f) << name;
            EXPECT_GE(button.y, pic.y0 - 1.0f) << name;
            EXPECT_LE(button.y + button.height, pic.y1 + 1.0f) << name;
            float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
            mScreen.toWindow(button.x, button.y, x0, y0);
            mScreen.toWindow(button.x + button.width, button.y + button.height, x1, y1);
            EXPECT_GT(
                mScreen.lit(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1)),
                0.2f)
                << name << " is not drawn where it stands";
            const float cx = button.x + button.width * 0.5f, cy = button.y + button.height * 0.5f;
            float seenX = 0.0f, seenY = 0.0f;
            pointAt(cx, cy, seenX, seenY);
            EXPECT_NEAR(seenX, cx, 2.0f) << name << ": the pointer lands elsewhere";
            EXPECT_NEAR(seenY, cy, 2.0f) << name << ": the pointer lands elsewhere";
            ++checked;
        }
        EXPECT_GT(checked, 0) << where << " shows no button";
    }

    // A new player's locked tab (the last) looks locked where it is drawn: darker than the open
    // tab that is not chosen, with the padlock's gold at its right end, which no open tab has.
    void checkLockedTab(const std::string& where, HUDShopWindow& shop)
    {
        ASSERT_EQ(3u, shop.tabBar->tabs.size());
        ASSERT_FALSE(shop.tabBar->tabs[2]->enabled) << where;
        ASSERT_TRUE(shop.tabBar->tabs[1]->enabled && !shop.tabBar->tabs[1]->selected) << where;
        settle(2);
        mScreen.grab();
        float bright[2] = {0.0f, 0.0f};
        int gold[2] = {0, 0};
        for (int i = 0; i < 2; ++i)
        {
            const ShopTab& tab = *shop.tabBar->tabs[static_cast<size_t>(i + 1)];
            const float halfW = tab.inactive->mWidth * 0.5f, h = tab.inactive->mHeight;
            float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
            mScreen.toWindow(tab.x - halfW + 4.0f, tab.y - h + 4.0f, x0, y0);
            mScreen.toWindow(tab.x + halfW - 4.0f, tab.y - 4.0f, x1, y1);
            int n = 0;
            for (int py = static_cast<int>(y0); py < static_cast<int>(y1); ++py)
                for (int px = static_cast<int>(x0); px < static_cast<int>(x1); ++px, ++n)
                {
                    const u32 p = mScreen.pixel(px, py);
                    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                    bright[i] += static_cast<float>(r + g + b);
                    if (r > 170 && g > 130 && b < 100 && px > x0 + (x1 - x0) * 0.78f)
                        ++gold[i];
                }
            bright[i] /= static_cast<float>(std::max(n, 1));
        }
        EXPECT_LT(bright[1], bright[0] * 0.8f) << where << ": the locked tab is as bright as an open one";
        EXPECT_EQ(0, gold[0]) << where << ": gold on the open tab's right end";
        EXPECT_GT(gold[1], 20) << where << ": no padlock on the locked tab";
    }

    // The window rectangle of a game rectangle.
    void windowRect(float x0, float y0, float x1, float y1, int out[4]) const
    {
        float px0 = 0.0f, py0 = 0.0f, px1 = 0.0f, py1 = 0.0f;
        mScreen.toWindow(x0, y0, px0, py0);
        mScreen.toWindow(x1, y1, px1, py1);
        out[0] = static_cast<int>(px0);
        out[1] = static_cast<int>(py0);
        out[2] = static_cast<int>(px1);
        out[3] = static_cast<int>(py1);
    }

    // The pause menu's "mmenu" asks first, in a box like the game's others: a caption over the
    // message, both in the fonts those boxes use, each line of the message centred, and the box
    // standing where the panel stood (its medal gone) until "cancel" brings the panel back.
    void checkLeaveConfirmation(const std::string& where, HUDIngameMenu& menu)
    {
        int medal[4];
        windowRect(468.0f, 100.0f, 556.0f, 188.0f, medal);
        mScreen.grab();
        ASSERT_GT(mScreen.count(medal[0], medal[1], medal[2], medal[3], WindowView::isGold), 50) << where;
        ASSERT_TRUE(clickButton(menu, L"mmenu")) << where;
        TMessageBox* box = nullptr;
        ASSERT_TRUE(mGame.runUntil([&] { return (box = mGame.dialog<TMessageBox>()) != nullptr; }, 2.0f)) << where;
        settle(30); // its show effect
        ASSERT_NE(nullptr, box->mCaption) << where << ": the box has no caption";
        EXPECT_EQ(GameHarness::localized(L"progress_confirm_caption"), box->mCaption->mText) << where;
        EXPECT_EQ(box->mCaption->mFont.Get(), mGame.board().mFontMain80.Get()) << where << ": the caption's font";
        ASSERT_NE(nullptr, box->mMessage) << where;
        EXPECT_EQ(box->mMessage->mFont.Get(), mGame.board().mFontMain42_3.Get()) << where << ": the message's font";
        mScreen.grab();
        EXPECT_EQ(mScreen.count(medal[0], medal[1], medal[2], medal[3], WindowView::isGold), 0)
            << where << ": the panel's medal sticks out above the box";
        int caption[4], message[4];
        windowRect(292.0f, 222.0f, 732.0f, 286.0f, caption);
        windowRect(292.0f, 250.0f, 732.0f, 500.0f, message);
        EXPECT_GT(mScreen.white(caption[0], caption[1], caption[2], caption[3]), 0) << where << ": no caption drawn";
        // The caption keeps a margin to the box's sides (the box spans 262 to 762).
        int sideStrips[2][4];
        windowRect(262.0f, 214.0f, 286.0f, 300.0f, sideStrips[0]);
        windowRect(738.0f, 214.0f, 762.0f, 300.0f, sideStrips[1]);
        for (const int* strip : sideStrips)
            EXPECT_EQ(mScreen.white(strip[0], strip[1], strip[2], strip[3]), 0)
                << where << ": the caption reaches the box's side";
        // Each line of the message (a band of rows with white in them) centred on the box.
        float centreX = 0.0f, centreY = 0.0f;
        mScreen.toWindow(512.0f, 0.0f, centreX, centreY);
        int lines = 0;
        for (int y = message[1]; y < message[3];)
        {
            int x0 = message[2], x1 = message[0], y1 = y;
            for (; y1 < message[3] && mScreen.white(message[0], y1, message[2], y1 + 1) > 0; ++y1)
                for (int x = message[0]; x < message[2]; ++x)
                    if (WindowView::isWhite(mScreen.pixel(x, y1)))
                    {
                        x0 = std::min(x0, x);
                        x1 = std::max(x1, x);
                    }
            if (y1 - y > 3 && y > caption[3])
            {
                ++lines;
                EXPECT_NEAR(0.5f * static_cast<float>(x0 + x1), centreX, 4.0f + 4.0f * mScreen.scale())
                    << where << ": a line of the message is not centred (rows " << y << ".." << y1 << ")";
            }
            y = y1 + 1;
        }
        EXPECT_GE(lines, 2) << where << ": the message's lines";
        clickAt(642.0f, 535.0f);
        ASSERT_TRUE(mGame.runUntil([&] { return mGame.dialog<TMessageBox>() == nullptr; }, 3.0f)) << where;
        settle(2);
        mScreen.grab();
        EXPECT_GT(mScreen.count(medal[0], medal[1], medal[2], medal[3], WindowView::isGold), 50)
            << where << ": the panel did not come back";
        EXPECT_EQ(kScreenIngameMenu, mGame.screen()) << where;
    }

    // Pixels of the window rectangle that differ from an earlier grab by more than the tolerance.
    int changedSince(const std::vector<u32>& before, const int box[4], int tolerance) const
    {
        int n = 0;
        for (int y = std::max(0, box[1]); y < std::min(mScreen.height(), box[3]); ++y)
            for (int x = std::max(0, box[0]); x < std::min(mScreen.width(), box[2]); ++x)
                n +=
                    near(before[static_cast<size_t>(y) * static_cast<size_t>(mScreen.width()) + static_cast<size_t>(x)],
                         mScreen.pixel(x, y), tolerance)
                        ? 0
                        : 1;
        return n;
    }

    // The pause menu's options opened and closed by the dialog's OK, twice. Left with the pointer
    // on the OK, the options button looks as it did before it was pressed; with the pointer moved
    // back onto it while the dialog went, it is lit at once, before the pointer moves again.
    void checkOptionsLight(const std::string& where, HUDIngameMenu& menu)
    {
        HUDButtonOver* options = nullptr;
        for (HUDButtonOver* button : menu.mMenuButtons)
            if (button->mName == L"options")
                options = button;
        ASSERT_NE(nullptr, options) << where;
        const TDFrameEntry& face = *options->mNormal;
        const float cx = face.mX + face.mWidth * 0.5f, cy = face.mY + face.mHeight * 0.5f;
        int box[4]; // the button and the room it grows into
        windowRect(face.mX - face.mWidth * 0.06f, face.mY - face.mHeight * 0.06f, face.mX + face.mWidth * 1.06f,
                   face.mY + face.mHeight * 1.06f, box);
        const int area = (box[2] - box[0]) * (box[3] - box[1]);
        float seenX = 0.0f, seenY = 0.0f;
        pointAt(512.0f, 215.0f, seenX, seenY); // on the panel's caption, off every button
        settle(30);
        mScreen.grab();
        const std::vector<u32> calm = mScreen.pixels();
        for (int cycle = 1; cycle <= 2; ++cycle)
        {
            const std::string round = where + " round " + std::to_string(cycle);
            ASSERT_TRUE(clickButton(menu, L"options")) << round;
            ASSERT_TRUE(mGame.runUntil([&] { return mGame.dialog<OptionsDialog>() != nullptr; }, 2.0f)) << round;
            settle(30); // its show effect
            float okX = 0.0f, okY = 0.0f, px = 0.0f, py = 0.0f;
            mScreen.toWindow(632.0f, 592.0f, okX, okY);
            mScreen.toWindow(cx, cy, px, py);
            for (Uint32 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP})
                mScreen.push(type, okX, okY);
            if (cycle == 2)
                mScreen.push(SDL_MOUSEMOTION, px, py);
            settle(5);
            if (cycle == 2)
            {
                ASSERT_NE(nullptr, mGame.dialog<OptionsDialog>()) << round << ": gone before the pointer came back";
            }
            ASSERT_TRUE(mGame.runUntil([&] { return mGame.dialog<OptionsDialog>() == nullptr; }, 3.0f)) << round;
            settle(30);
            mScreen.grab();
            if (cycle == 1)
            {
                EXPECT_LT(changedSince(calm, box, 8), area / 200)
                    << round << ": the options button is still lit with the pointer elsewhere";
            }
            else
            {
                EXPECT_GT(changedSince(calm, box, 8), area / 20)
                    << round << ": the options button is not lit with the pointer on it";
            }
        }
        pointAt(512.0f, 215.0f, seenX, seenY);
    }

    // The battle played on and a meteor cast at the game point on the field: its blast is drawn
    // there.
    void castMeteor(const std::string& where, float gx, float gy)
    {
        int box[4];
        windowRect(gx - 40.0f, gy - 40.0f, gx + 40.0f, gy + 40.0f, box);
        if (mGame.map().mSpeed == 0.0f)
        {
            ASSERT_TRUE(clickButton(mGame.hud(), L"play_btn")) << where;
        }
        settle(2);
        mScreen.grab();
        const std::vector<u32> before = mScreen.pixels();
        ASSERT_TRUE(clickButton(mGame.hud(), L"spell0")) << where;
        ASSERT_EQ(0, mGame.map().mSelectedSpell) << where;
        clickAt(gx, gy);
        ASSERT_EQ(-1, mGame.map().mSelectedSpell) << where << ": not cast";
        mScreen.grab();
        const int area = (box[2] - box[0]) * (box[3] - box[1]);
        EXPECT_GT(changedSince(before, box, 8), area / 50) << where << ": no blast drawn where it was cast";
    }

    // From the result to the shop, whose picture at the game point where the meteor was cast is
    // the shop's own, as it looked before the battle: nothing of the battle shows through it.
    void checkShopAfterBattle(const std::string& where, float gx, float gy, const std::vector<u32>& shop)
    {
        auto* result = mGame.top<HUDLevelResultWindow>();
        ASSERT_NE(nullptr, result) << where;
        ASSERT_TRUE(clickButton(*result, L"done")) << where;
        ASSERT_NE(nullptr, shown<HUDShopWindow>(where, true, 30, 4.0f, true)) << where;
        mScreen.grab();
        ASSERT_EQ(shop.size(), mScreen.pixels().size()) << where;
        int box[4];
        windowRect(gx - 40.0f, gy - 40.0f, gx + 40.0f, gy + 40.0f, box);
        EXPECT_EQ(0, changedSince(shop, box, 3)) << where << ": the battle shows through the shop";
    }

    // The second level's second wave, called by its first wave's start button: its countdown's
    // letters, drawn right of their button, fall on no build spot.
    void checkSecondCountdown(const std::string& where)
    {
        TDMap& map = mGame.map();
        ASSERT_TRUE(mGame.runUntil([&] { return !map.mNextWave.buttons.empty() && !mGame.board().mBannerWindow; },
                                   10.0f, kLongFrame))
            << where;
        const TDWaveHint::Button first = map.mNextWave.buttons.front();
        clickBattle(static_cast<float>(first.x + first.width / 2), static_cast<float>(first.y + first.height / 2));
        ASSERT_TRUE(mGame.runUntil(
            [&]
            {
                map.mHealth = map.mMaxHealth;
                for (TDUnit* unit : map.mWaves.mUnits)
                    unit->mHealth = 0.0f; // felled as they come
                return map.mWaves.mNextIndex == 1 && !map.mNextWave.buttons.empty();
            },
            60.0f, kLongFrame))
            << where << ": the second wave's countdown did not come";
        settle(2);
        mScreen.grab();
        const TDWaveHint::Button& b = map.mNextWave.buttons.front();
        ASSERT_LT(b.x, 512) << where << ": the countdown stands right of its button";
        float width = 0.0f, height = 0.0f;
        tdscreen::measureWrapped(mGame.board().mFontMain42_2.Get(),
                                 LocalStrings::Instance()->get(L"game_nextwave") + L" 10", 1024.0f, width, height);
        // The countdown's place in game units: scale and offset applied to the button's side.
        const float x0 = (b.width * 0.5f + static_cast<float>(b.x) + 32.0f) * map.mScale + map.mOffsetX;
        const float y = (static_cast<float>(b.y) + b.height * 0.5f) * map.mScale + map.mOffsetY;
        int band[4];
        windowRect(x0 - 4.0f, y - height * 0.5f - 4.0f, x0 + width + 4.0f, y + height * 0.5f + 4.0f, band);
        int letters = 0;
        for (int py = band[1]; py < band[3]; ++py)
            for (int px = band[0]; px < band[2]; ++px)
                letters += WindowView::isWhite(mScreen.pixel(px, py)) ? 1 : 0;
        ASSERT_GT(letters, 0) << where << ": no countdown drawn";
        for (const TDSpotFrame& spot : map.mScenery->spotFrames)
        {
            float sx0 = 0.0f, sy0 = 0.0f, sx1 = 0.0f, sy1 = 0.0f;
            fromBattle(static_cast<float>(spot.x), static_cast<float>(spot.y), sx0, sy0);
            fromBattle(static_cast<float>(spot.x + spot.width), static_cast<float>(spot.y + spot.height), sx1, sy1);
            int r[4];
            windowRect(sx0, sy0, sx1, sy1, r);
            int on = 0;
            for (int py = std::max(band[1], r[1]); py < std::min(band[3], r[3]); ++py)
                for (int px = std::max(band[0], r[0]); px < std::min(band[2], r[2]); ++px)
                    on += WindowView::isWhite(mScreen.pixel(px, py)) ? 1 : 0;
            EXPECT_EQ(0, on) << where << ": the countdown's letters fall on the spot at " << spot.x << ", " << spot.y;
        }
    }

    // "New!" on its badge (bw x bh, centred on the game point): drawn at full size, its white
    // spanning most of the word's 69 units, and inside the badge, clear of its notched ends.
    void checkNewText(const std::string& where, float cx, float cy, float bw, float bh)
    {
        int r[4];
        windowRect(cx - bw * 0.5f - 12.0f, cy - bh * 0.5f, cx + bw * 0.5f + 12.0f, cy + bh * 0.5f, r);
        int x0 = r[2], x1 = r[0];
        for (int y = r[1]; y < r[3]; ++y)
            for (int x = r[0]; x < r[2]; ++x)
                if (WindowView::isWhite(mScreen.pixel(x, y)))
                {
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x);
                }
        ASSERT_LT(x0, x1) << where << ": no \"New!\" drawn";
        float left = 0.0f, right = 0.0f, y = 0.0f;
        mScreen.toWindow(cx - bw * 0.5f + 4.0f, cy, left, y);
        mScreen.toWindow(cx + bw * 0.5f - 4.0f, cy, right, y);
        EXPECT_GT(static_cast<float>(x1 - x0 + 1) / mScreen.scale(), 55.0f)
            << where << ": \"New!\" is not drawn at full size";
        EXPECT_GE(static_cast<float>(x0), left) << where << ": \"New!\" runs out of its badge's left end";
        EXPECT_LE(static_cast<float>(x1), right) << where << ": \"New!\" runs out of its badge's right end";
    }

    // A new player's level selection: the first plate's badge at (50, -20) on the plate, and the
    // hardcore button's at (50, -20) on it, each with its "New!".
    void checkNewBadges(const std::string& where, HUDLevelSelect& levels)
    {
        const Picture badge = Picture::read(L"td/level_select/plate/new.png");
        ASSERT_GT(badge.width, 0) << where;
        const float bw = static_cast<float>(badge.width), bh = static_cast<float>(badge.height);
        float seenX = 0.0f, seenY = 0.0f;
        pointAt(512.0f, 620.0f, seenX, seenY); // off the plates: no zoom
        settle(10);
        mScreen.grab();
        ASSERT_FALSE(levels.mPlates.empty()) << where;
        const LevelPlate& plate = levels.mPlates.front();
        ASSERT_TRUE(plate.showNew) << where;
        ASSERT_FLOAT_EQ(1.0f, plate.scale) << where;
        checkNewText(where + " plate 1", static_cast<float>(plate.x) + 50.0f + bw * 0.5f,
                     static_cast<float>(plate.y) - 20.0f + bh * 0.5f, bw, bh);
        ASSERT_TRUE(levels.mHardcoreNew) << where;
        const TDButtonFrame* locked = levels.findButton(L"locked_d");
        ASSERT_TRUE(locked && locked->mVisible) << where;
        checkNewText(where + " hardcore", locked->mX + 50.0f + bw * 0.5f, locked->mY - 20.0f + bh * 0.5f, bw, bh);
        checkPadlockBesideBadge(where + " hardcore", *locked, bw, bh);
    }

    // The padlock's colours: its gold body and its slate-blue shackle.
    static bool isPadlock(u32 p)
    {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return WindowView::isGold(p) || (b >= 100 && b > r + 12 && b > g);
    }

    // The locked Ordeal shows its padlock whole: drawn on the button, and no pixel of it next to
    // or under the "New!" badge (bw x bh, its top left at (50, -20) on the button).
    void checkPadlockBesideBadge(const std::string& where, const TDButtonFrame& button, float bw, float bh)
    {
        const float bx0 = button.mX + 50.0f, by0 = button.mY - 20.0f, bx1 = bx0 + bw, by1 = by0 + bh;
        int r[4];
        windowRect(button.mX, by0, button.mX + button.mWidth, button.mY + button.mHeight, r);
        int n = 0;
        float nearest = 1.0e9f;
        for (int y = r[1]; y < r[3]; ++y)
            for (int x = r[0]; x < r[2]; ++x)
            {
                if (!isPadlock(mScreen.pixel(x, y)))
                    continue;
                ++n;
                float gx = 0.0f, gy = 0.0f;
                mScreen.toGame(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, gx, gy);
                const float dx = std::max({bx0 - gx, 0.0f, gx - bx1}), dy = std::max({by0 - gy, 0.0f, gy - by1});
                nearest = std::min(nearest, std::max(dx, dy));
            }
        const float s = mScreen.scale();
        EXPECT_GT(static_cast<float>(n), 300.0f * s * s) << where << ": no padlock on the locked Ordeal";
        EXPECT_GT(nearest, 2.0f) << where << ": the padlock runs under the \"New!\" badge";
    }

    // The options' sound slider at half volume: right of the thumb the track's groove shows to
    // its end with its brass rim, beneath the bar's place.
    void checkSliderTrack(const std::string& where, HUDMainMenu& menu)
    {
        ASSERT_TRUE(clickButton(menu, L"options")) << where;
        OptionsDialog* dialog = nullptr;
        ASSERT_TRUE(mGame.runUntil([&] { return (dialog = mGame.dialog<OptionsDialog>()) != nullptr; }, 2.0f)) << where;
        settle(30); // its show effect
        ASSERT_NE(nullptr, dialog->mSoundSlider);
        // Its minus, twice: 1.0 to 0.5.
        for (int i = 0; i < 2; ++i)
            clickAt(254.0f, 232.0f);
        ASSERT_TRUE(mGame.runUntil([&] { return dialog->mSoundSlider->GetValue() == 0.5f; }, 2.0f))
            << where << ": the minus did not answer; the value is " << dialog->mSoundSlider->GetValue();
        settle(4);
        mScreen.grab();
        // From right of the thumb (28 units wide, at 511) to the groove's end at 730.
        int r[4];
        windowRect(540.0f, 212.0f, 736.0f, 252.0f, r);
        const float s = mScreen.scale();
        EXPECT_GT(static_cast<float>(mScreen.count(r[0], r[1], r[2], r[3], WindowView::isGold)), 300.0f * s * s)
            << where << ": no groove right of the thumb";
        // And not the bar: its heather stops at the thumb.
        int heather = 0;
        for (int y = r[1]; y < r[3]; ++y)
            for (int x = r[0]; x < r[2]; ++x)
            {
                const u32 p = mScreen.pixel(x, y);
                heather += ((p >> 16) & 0xFF) > 130 && (p & 0xFF) > 130 && ((p >> 8) & 0xFF) < 120 ? 1 : 0;
            }
        EXPECT_EQ(0, heather) << where << ": the bar is drawn past the thumb";
        clickAt(632.0f, 592.0f); // OK
        ASSERT_TRUE(mGame.runUntil([&] { return mGame.dialog<OptionsDialog>() == nullptr; }, 3.0f)) << where;
    }

    // White text pixels in the game rectangle, as the window shows it.
    int whiteIn(float x0, float y0, float x1, float y1) const
    {
        int r[4];
        windowRect(x0, y0, x1, y1, r);
        return mScreen.white(r[0], r[1], r[2], r[3]);
    }

    // The level's name comes in over the field; the pause menu opened meanwhile stands over it:
    // its panel looks the same while the name is up as once it has gone. Resumed after.
    void checkBannerUnderPause(const std::string& where)
    {
        ASSERT_NE(nullptr, mGame.board().mBannerWindow) << where << ": no level-name banner";
        ASSERT_TRUE(clickButton(mGame.hud(), L"options_btn")) << where;
        auto* pause = until<HUDIngameMenu>();
        ASSERT_NE(nullptr, pause) << where;
        settle(20); // its show effect
        ASSERT_NE(nullptr, mGame.board().mBannerWindow) << where << ": the name went before the check";
        mScreen.grab();
        const std::vector<u32> withName = mScreen.pixels();
        ASSERT_TRUE(mGame.runUntil([&] { return !mGame.board().mBannerWindow; }, 6.0f, kLongFrame)) << where;
        settle(2);
        mScreen.grab();
        // The panel's middle, across both lines of the name.
        int box[4];
        windowRect(320.0f, 320.0f, 704.0f, 450.0f, box);
        int differ = 0, total = 0;
        for (int y = box[1]; y < box[3]; ++y)
            for (int x = box[0]; x < box[2]; ++x, ++total)
                differ += near(withName[static_cast<size_t>(y) * static_cast<size_t>(mScreen.width()) +
                                        static_cast<size_t>(x)],
                               mScreen.pixel(x, y), 16)
                              ? 0
                              : 1;
        EXPECT_LT(differ, total / 200) << where << ": the level's name is drawn over the pause panel";
        ASSERT_TRUE(clickButton(*pause, L"resume")) << where;
        ASSERT_TRUE(mGame.runUntil([&] { return mGame.screen() == kScreenBattle && !mGame.top(); }, 4.0f)) << where;
    }

    // The battle point's place in game units.
    void fromBattle(float bx, float by, float& gx, float& gy) const
    {
        const TDMap& map = mGame.map();
        gx = map.mOffsetX + bx * map.mScale;
        gy = map.mOffsetY + by * map.mScale;
    }
    void clickBattle(float bx, float by)
    {
        float gx = 0.0f, gy = 0.0f;
        fromBattle(bx, by, gx, gy);
        clickAt(gx, gy);
    }
    bool ringOpen()
    {
        return mGame.runUntil(
            [&] { return mGame.map().mContextMenu && mGame.map().mContextMenu->state == TDContextMenu::kOpen; }, 3.0f);
    }
    // Pixels of the game rectangle (a box of half size r around the battle point) that pass,
    // in the last grab or in an earlier one.
    template <class F> int countAround(float bx, float by, float r, F passes) const
    {
        return countAround(mScreen.pixels(), bx, by, r, passes);
    }
    template <class F> int countAround(const std::vector<u32>& pixels, float bx, float by, float r, F passes) const
    {
        float gx = 0.0f, gy = 0.0f;
        fromBattle(bx, by, gx, gy);
        int box[4];
        windowRect(gx - r, gy - r, gx + r, gy + r, box);
        int n = 0;
        for (int y = box[1]; y < box[3]; ++y)
            for (int x = box[0]; x < box[2]; ++x)
                if (x >= 0 && y >= 0 && x < mScreen.width() && y < mScreen.height())
                    n += passes(pixels[static_cast<size_t>(y) * static_cast<size_t>(mScreen.width()) +
                                       static_cast<size_t>(x)])
                             ? 1
                             : 0;
        return n;
    }
    static bool isBlue(u32 p)
    {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return b > r + 60 && b > g + 30;
    }
    // A price is white, or rose when the coins fall short.
    static bool isPrice(u32 p)
    {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return WindowView::isWhite(p) || (r > 200 && g > 80 && g < 150 && b > 80 && b < 150);
    }

    // A cannon built from the ring of the first free spot; its own ring then shows the upgrade
    // entry on the window: the entry's blue picture centred where the entry stands, its price
    // above it, neither there before the ring opened; a click there upgrades the tower.
    void checkUpgradeEntry(const std::string& where)
    {
        TDMap& map = mGame.map();
        const TDSpotFrame* spot = nullptr;
        for (const TDSpotFrame& frame : map.mScenery->spotFrames)
            if (!spot && !frame.hasTower && frame.spot && frame.spot->open)
                spot = &frame;
        ASSERT_NE(nullptr, spot) << where;
        clickBattle(spot->x + spot->width * 0.5f, spot->y + spot->height * 0.5f);
        ASSERT_TRUE(ringOpen()) << where << ": the spot's ring did not open";
        const TDContextMenuItem* cannon = nullptr;
        for (const auto& item : map.mContextMenu->items)
            if (item->prototype && item->prototype->id == 20000)
                cannon = item.get();
        ASSERT_NE(nullptr, cannon) << where << ": the ring offers no cannon";
        const size_t towers = map.mTowers.size();
        clickBattle(map.mContextMenu->centreX + cannon->x, map.mContextMenu->centreY + cannon->y);
        ASSERT_TRUE(mGame.runUntil([&] { return map.mTowers.size() > towers && !map.mContextMenu; }, 3.0f))
            << where << ": no cannon built";
        TDTower& tower = *map.mTowers.back();
        settle(2);
        mScreen.grab();
        const std::vector<u32> before = mScreen.pixels();
        clickBattle(tower.mX, tower.mY);
        ASSERT_TRUE(ringOpen()) << where << ": the tower's ring did not open";
        const TDContextMenu& menu = *map.mContextMenu;
        const TDContextMenuItem* upgrade = nullptr;
        for (const auto& item : menu.items)
            if (item->prototype && item->id > 0)
                upgrade = item.get();
        ASSERT_NE(nullptr, upgrade) << where << ": the cannon's ring offers no upgrade";
        const TDFrameEntry* picture = TDResources::Instance()->getImage(L"td/ui", L"ui/lvl2");
        ASSERT_NE(nullptr, picture) << where;
        const float ex = menu.centreX + upgrade->x, ey = menu.centreY + upgrade->y;
        const float half = 0.5f * std::min(picture->mWidth, picture->mHeight);
        settle(2);
        mScreen.grab();
        const float area = 4.0f * half * half * mScreen.scale() * mScreen.scale();
        EXPECT_GT(static_cast<float>(countAround(ex, ey, half, isBlue)), 0.4f * area)
            << where << ": the upgrade's picture is not drawn where its entry stands";
        EXPECT_LT(static_cast<float>(countAround(before, ex, ey, half, isBlue)), 0.05f * area) << where;
        // Centred there: as much of the blue left of the entry as right of it.
        const int left = countAround(ex - half * 0.5f, ey, half * 0.5f, isBlue);
        const int right = countAround(ex + half * 0.5f, ey, half * 0.5f, isBlue);
        EXPECT_NEAR(left, right, 0.25f * static_cast<float>(left + right) + 4.0f) << where;
        const int price = countAround(ex, ey - 30.0f, 12.0f, isPrice);
        EXPECT_GT(price, countAround(before, ex, ey - 30.0f, 12.0f, isPrice) + 10)
            << where << ": the upgrade's price is not drawn over its entry";
        const i32 level = tower.mLevel;
        clickBattle(ex, ey);
        ASSERT_TRUE(mGame.runUntil([&] { return tower.mLevel != level && !map.mContextMenu; }, 3.0f))
            << where << ": a click on the drawn entry did not upgrade the tower";
    }

    // Played again from the result window and lost: the window grows in from the middle, and
    // while it is small nothing of its buttons stands at their full-size place below it (the
    // battle there looks as it did before the defeat); once in, their captions are there.
    void checkResultOpening(const std::string& where)
    {
        auto* result = mGame.top<HUDLevelResultWindow>();
        ASSERT_NE(nullptr, result) << where;
        ASSERT_TRUE(clickButton(*result, L"restart")) << where;
        ASSERT_TRUE(mGame.closeUnlockMessages()) << where;
        ASSERT_TRUE(mGame.runUntil(
            [&] { return mGame.screen() == kScreenBattle && !mGame.top() && !mGame.board().mBannerWindow; }, 8.0f))
            << where << ": the level did not start again";
        ASSERT_TRUE(clickButton(mGame.hud(), L"pause_btn")) << where;
        settle(2);
        mScreen.grab();
        const std::vector<u32> before = mScreen.pixels();
        int buttons[4];
        windowRect(252.0f, 592.0f, 772.0f, 648.0f, buttons);
        // Pixels of the buttons' full-size place that differ from the still battle before.
        auto changed = [&]
        {
            int n = 0;
            for (int y = std::max(0, buttons[1]); y < std::min(mScreen.height(), buttons[3]); ++y)
                for (int x = std::max(0, buttons[0]); x < std::min(mScreen.width(), buttons[2]); ++x)
                    n += near(before[static_cast<size_t>(y) * static_cast<size_t>(mScreen.width()) +
                                     static_cast<size_t>(x)],
                              mScreen.pixel(x, y), 8)
                             ? 0
                             : 1;
            return n;
        };
        const int area = (buttons[2] - buttons[0]) * (buttons[3] - buttons[1]);
        mGame.map().showDefeat();
        // Half grown and still faint (a quarter opaque): its box ends above that place.
        ASSERT_TRUE(mGame.runUntil(
            [&]
            {
                result = mGame.top<HUDLevelResultWindow>();
                return result && result->mScale >= 0.5f;
            },
            2.0f, 1.0f / 60.0f))
            << where;
        ASSERT_EQ(HUDLevelResultWindow::kGrowingIn, result->mAppear) << where;
        ASSERT_LE(result->mScale, 0.6f) << where;
        mScreen.grab();
        EXPECT_LT(changed(), area / 200) << where << ": the buttons stand at their full-size places below the growing "
                                         << "window (scale " << result->mScale << ")";
        ASSERT_TRUE(mGame.runUntil([&] { return result->mAppear != HUDLevelResultWindow::kGrowingIn; }, 2.0f));
        settle(2);
        mScreen.grab();
        EXPECT_GT(changed(), area / 4) << where << ": no buttons there once the window is in";
    }

    // The longest name there may be, in the widest letter, and its caret stay inside the field.
    void typeLongestName(const std::string& where, HUDModalInput& input)
    {
        for (size_t i = 0; i < HUDModalInput::kMaxLength; ++i)
            mGame.key(HUDModalInput::kBackspace);
        mGame.type(std::wstring(HUDModalInput::kMaxLength, L'W'));
        settle(2);
        mScreen.grab();
        ASSERT_NE(nullptr, input.mInputField);
        const TDFrameEntry& field = *input.mInputField;
        const float top = field.mY + 8.0f, bottom = field.mY + field.mHeight - 8.0f, right = field.mX + field.mWidth;
        EXPECT_GT(whiteIn(field.mX, top, right, bottom), 0) << where << ": the name is not drawn";
        // From the field's rim to the box's edge, 50 units on.
        EXPECT_EQ(whiteIn(right - 3.0f, top, right + 50.0f, bottom), 0) << where << ": the name runs past its field";
    }

    // The greeting carries the name inside its plate: its text is drawn there and touches
    // neither rim, above or below.
    void checkGreeting(const std::string& where, HUDMainMenu& menu)
    {
        settle(2);
        mScreen.grab();
        const TDFrameEntry* plate = nullptr;
        for (const TDFrameEntry* image : menu.mImages)
            if (image->mName == L"greet_plate")
                plate = image;
        ASSERT_NE(nullptr, plate) << where;
        const float x0 = plate->mX, x1 = plate->mX + plate->mWidth, y0 = plate->mY, y1 = plate->mY + plate->mHeight;
        EXPECT_GT(whiteIn(x0, y0 + 4.0f, x1, y1 - 4.0f), 0) << where << ": no greeting on its plate";
        EXPECT_EQ(whiteIn(x0, y0 - 6.0f, x1, y0 + 3.0f), 0) << where << ": the greeting crosses its plate's top";
        EXPECT_EQ(whiteIn(x0, y1 - 3.0f, x1, y1 + 6.0f), 0) << where << ": the greeting crosses its plate's bottom";
    }

    // Frames until the top screen is a T (or the condition holds).
    template <class T> T* until(float seconds = 4.0f)
    {
        T* found = nullptr;
        mGame.runUntil([&] { return (found = mGame.top<T>()) != nullptr; }, seconds);
        return found;
    }

    // Frames until the top screen is a T; once it has come in, its picture (when `picture`) and
    // its buttons checked.
    template <class T>
    T* shown(const std::string& where, bool picture, int frames = 30, float seconds = 4.0f, bool sides = false)
    {
        T* window = until<T>(seconds);
        if (!window)
            return nullptr;
        settle(frames);
        if (picture)
            checkPicture(where, false, sides);
        checkButtons(where, *window);
        return window;
    }

    // Main menu, episodes, levels, shop, battle with its HUD, the in-game menu and the result,
    // each entered by a click where its button is drawn. The greeting and the menu's buttons
    // take 60 frames to come in.
    HUDMainMenu* mainMenu(const std::string& size) { return shown<HUDMainMenu>(size + " main menu", true, 60, 2.0f); }

    void walk(const std::string& size)
    {
        HUDMainMenu* menu = mainMenu(size);
        ASSERT_NE(nullptr, menu) << size;
        checkSliderTrack(size + " options", *menu);
        ASSERT_TRUE(clickButton(*menu, L"play")) << size;
        // A player without a name is asked for one first and gives the longest there may be;
        // back on the main menu the greeting carries it.
        if (auto* input = shown<HUDModalInput>(size + " name input", false, 30, 1.0f))
        {
            typeLongestName(size + " name input", *input);
            ASSERT_TRUE(clickButton(*input, L"ok"));
            auto* named = until<HUDEpisodeSelectIOS>();
            ASSERT_NE(nullptr, named) << size;
            settle(30);
            ASSERT_TRUE(clickButton(*named, L"back"));
            menu = until<HUDMainMenu>();
            ASSERT_NE(nullptr, menu) << size;
            settle(60);
            checkGreeting(size + " main menu", *menu);
            ASSERT_TRUE(clickButton(*menu, L"play")) << size;
        }
        // The selections and the shop have the side pictures beside them.
        auto* episodes = shown<HUDEpisodeSelectIOS>(size + " episode select", true, 30, 4.0f, true);
        ASSERT_NE(nullptr, episodes) << size << ": play did not answer its drawn centre; screen "
                                     << static_cast<i32>(mGame.screen()) << " top "
                                     << (mGame.top() ? typeid(*mGame.top()).name() : "none");
        ASSERT_TRUE(clickButton(*episodes, L"shop"));
        auto* shop = shown<HUDShopWindow>(size + " shop", true, 30, 4.0f, true);
        ASSERT_NE(nullptr, shop) << size;
        mScreen.grab();
        const std::vector<u32> shopBefore = mScreen.pixels();
        checkLockedTab(size + " shop", *shop);
        ASSERT_TRUE(clickButton(*shop, L"back_ac"));
        episodes = until<HUDEpisodeSelectIOS>();
        ASSERT_NE(nullptr, episodes) << size;
        settle(30);
        ASSERT_TRUE(clickButton(*episodes, L"play"));
        auto* levels = shown<HUDLevelSelect>(size + " level select", true, 30, 4.0f, true);
        ASSERT_NE(nullptr, levels) << size;
        ASSERT_FALSE(levels->mPlates.empty());
        checkNewBadges(size + " level select", *levels);
        const LevelPlate& plate = levels->mPlates.front();
        clickAt(static_cast<float>(plate.x + plate.width / 2), static_cast<float>(plate.y + plate.height / 2));
        // One message for each id the level unlocks, each closed by its button.
        for (int i = 0; i < 8 && !(mGame.screen() == kScreenBattle && !mGame.top()); ++i)
            if (auto* unlock = until<HUDUnlockMessage>(1.0f))
            {
                settle(30);
                clickButton(*unlock, L"ok");
            }
        ASSERT_TRUE(mGame.runUntil([&] { return mGame.screen() == kScreenBattle && !mGame.top(); }, 4.0f))
            << size << ": the battle did not start";
        checkBannerUnderPause(size + " pause over the level's name");
        settle(30);
        checkPicture(size + " battle", true);
        checkFieldEdges(size + " battle");
        checkButtons(size + " battle HUD", mGame.hud());
        checkUpgradeEntry(size + " tower ring");
        // A meteor on the shop's empty middle, its blast still on the field when the level ends.
        const float meteorX = 512.0f, meteorY = 450.0f;
        castMeteor(size + " meteor", meteorX, meteorY);
        ASSERT_TRUE(clickButton(mGame.hud(), L"options_btn")) << size;
        auto* pause = shown<HUDIngameMenu>(size + " in-game menu", false);
        ASSERT_NE(nullptr, pause) << size << ": the gear did not answer its drawn centre";
        checkLeaveConfirmation(size + " leave confirmation", *pause);
        checkOptionsLight(size + " pause menu's options", *pause);
        // The level is won from the battle (paused, the blast standing still).
        ASSERT_TRUE(clickButton(*pause, L"resume")) << size;
        ASSERT_TRUE(mGame.runUntil([&] { return mGame.screen() == kScreenBattle && !mGame.top(); }, 4.0f)) << size;
        mGame.map().showVictory();
        ASSERT_NE(nullptr, shown<HUDLevelResultWindow>(size + " level result", false, 90)) << size;
        checkShopAfterBattle(size + " shop after the level", meteorX, meteorY, shopBefore);
        // On to the second level, where its second wave counts down by its lower road.
        shop = mGame.top<HUDShopWindow>();
        ASSERT_NE(nullptr, shop) << size;
        ASSERT_TRUE(clickButton(*shop, L"return_ac")) << size;
        ASSERT_TRUE(mGame.closeUnlockMessages()) << size;
        ASSERT_EQ(1, mGame.map().mLevel) << size;
        checkSecondCountdown(size + " second level's second wave");
        mGame.map().showVictory();
        ASSERT_NE(nullptr, shown<HUDLevelResultWindow>(size + " second level's result", false, 90)) << size;
    }

    GameHarness& mGame;
    WindowView& mScreen;
};

std::string sizeName(const WindowView& screen)
{
    int w = 0, h = 0;
    screen.size(w, h);
    return std::to_string(w) + "x" + std::to_string(h);
}
} // namespace

TEST(DisplaySizes, EveryScreenIsWholeAndCentredAndTakesThePointerWhereItsButtonsAreDrawn)
{
    const bool windowed = std::getenv("QL_TEST_WINDOW") != nullptr;
    GameHarness::Options options;
    options.realVideo = true;
    options.logos = false;
    // A new player starts full screen; the windowed run has the choice stored.
    if (windowed)
        options.profiles =
            "<Profiles currentProfile=\"Tess\"><Profile name=\"Tess\"><fs v=\"0\"/></Profile></Profiles>";
    GameHarness game(options);
    ASSERT_TRUE(game.started()) << game.log();
    WindowView screen;
    ASSERT_TRUE(screen.open()) << "no X display or GL window";
    {
        // The desktop got the data folder's picture as its icon, in the picture's own colours.
        int iconWidth = 0, iconHeight = 0;
        u32 fileWidth = 0, fileHeight = 0;
        std::vector<u32> shown, drawn;
        ASSERT_TRUE(screen.icon(iconWidth, iconHeight, shown)) << "the window has no icon";
        ASSERT_TRUE(imagetest::DecodePng((GameHarness::dataDir() / "data" / "icon.png").string(), fileWidth, fileHeight,
                                         drawn));
        EXPECT_EQ(iconWidth, static_cast<int>(fileWidth));
        EXPECT_EQ(iconHeight, static_cast<int>(fileHeight));
        EXPECT_TRUE(shown == drawn);
    }
    ASSERT_TRUE(game.reachMainMenu());
    int w = 0, h = 0;
    screen.size(w, h);
    if (!windowed)
    {
        EXPECT_EQ(w, screen.displayWidth()) << "full screen covers the display";
        EXPECT_EQ(h, screen.displayHeight());
    }
    DisplayWalk walk(game, screen);
    auto resize = [&](int rw, int rh)
    {
        SDL_SetWindowPosition(screen.window(), 20, 20); // the whole window on the display
        SDL_SetWindowSize(screen.window(), rw, rh);
        return game.runUntil(
            [&]
            {
                screen.size(w, h);
                return w == rw && h == rh &&
                       game.log().find("The window is now " + std::to_string(rw)) != std::string::npos;
            },
            5.0f);
    };
    if (windowed)
    {
        // The player resizes the window, wider than the layout, then between 4:3 and 16:9, and
        // plays on in it.
        ASSERT_NE(nullptr, walk.mainMenu(sizeName(screen)));
        for (const auto& [rw, rh] : {std::pair{1800, 700}, std::pair{1000, 700}})
        {
            ASSERT_TRUE(resize(rw, rh)) << "the window did not take " << rw << "x" << rh;
            if (rw == 1800)
            {
                ASSERT_NE(nullptr, walk.mainMenu(sizeName(screen)));
            }
        }
    }
    walk.walk(sizeName(screen));
    if (windowed)
    {
        walk.checkResultOpening(sizeName(screen) + " result after a defeat");
        // The name given on the way made a new player, who plays full screen: back to a window.
        if (SDL_GetWindowFlags(screen.window()) & SDL_WINDOW_FULLSCREEN)
        {
            ASSERT_EQ(QL_OK, game.game().SwitchScreenMode());
            game.run(4);
        }
        ASSERT_TRUE(resize(1600, 600)) << "the window did not take 1600x600";
        auto* result = game.top<HUDLevelResultWindow>();
        ASSERT_NE(nullptr, result);
        ASSERT_TRUE(walk.clickButton(*result, L"menu"));
        EXPECT_NE(nullptr, walk.shown<HUDLevelSelect>(sizeName(screen) + " level select", true, 30, 4.0f, true));
    }
}
