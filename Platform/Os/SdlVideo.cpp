// SDL2 video backend.
#include "Platform/Os/SdlVideo.h"

#include "Platform/Gpu/Device.h"
#include "Platform/Gpu/DriverPin.h"
#include "Platform/Gpu/SdlGlContext.h"
#include "Platform/Os/Error.h"
#include "Platform/Os/QuitSignals.h"
#include "Platform/Os/Text.h"

#include <SDL2/SDL.h>

#include <cstring>

namespace os
{
namespace
{
// The version text of the context the driver gives when asked for none in particular; empty
// when it gives none.
std::string OfferedGlVersion(SDL_Window* window)
{
    constexpr unsigned kGlVersion = 0x1F02;
    SDL_GL_ResetAttributes();
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context)
        return {};
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* version = getString ? getString(kGlVersion) : nullptr;
    std::string text = version ? reinterpret_cast<const char*>(version) : "";
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(context);
    return text;
}
} // namespace

SdlWindow::~SdlWindow() { Destroy(); }

QLResultEnum SdlWindow::Create(const WindowDesc& desc)
{
    Destroy();
    if (!mUsable)
    {
        SetLastError(mWhyUnusable);
        return QL_FAIL;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The player may resize a window: the game fits its layout into any client size.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE;
    if (!desc.windowed)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    const std::string caption = ToUtf8(desc.caption);
    mWindow = SDL_CreateWindow(caption.c_str(), desc.x, desc.y, desc.clientWidth, desc.clientHeight, flags);
    if (!mWindow)
    {
        SetLastError(std::string("SDL_CreateWindow: ") + SDL_GetError());
        return QL_FAIL;
    }
    mContext = SDL_GL_CreateContext(mWindow);
    if (!mContext)
    {
        const std::string why = SDL_GetError();
        const std::string offered = OfferedGlVersion(mWindow);
        SetLastError(NeedsOpenGl33(offered) + (offered.empty() ? " (" + why + ")" : std::string()));
        SDL_DestroyWindow(mWindow);
        mWindow = nullptr;
        return QL_FAIL;
    }
    gpu::PinGlDriverForLeakCheck();
    mEvents.SetWindowId(SDL_GetWindowID(mWindow));
    SDL_StartTextInput();
    // Frames are paced on a display; SDL's invisible drivers (tests) run as fast as they can.
    const char* driver = SDL_GetCurrentVideoDriver();
    mPaced = !(driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0));
    mVsync = mPaced && SDL_GL_SetSwapInterval(1) == 0 && SDL_GL_GetSwapInterval() == 1;
    if (!mVsync)
        SDL_GL_SetSwapInterval(0);
    UpdatePacing();
    return QL_OK;
}

void SdlWindow::UpdatePacing()
{
    if (!mWindow || !mPaced)
    {
        mLimiter.SetRate(0.0);
        return;
    }
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(mWindow);
    double hertz = 60.0;
    if (display >= 0 && SDL_GetDesktopDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0)
        hertz = mode.refresh_rate;
    // With vertical sync the limiter only backs it up (some drivers accept the swap interval and
    // never wait): a little faster than the display, so that it never delays a frame past its sync.
    mLimiter.SetRate(mVsync ? hertz * 1.1 : mHalfRate ? hertz * 0.5 : hertz);
}

void SdlWindow::PaceFrame(bool calm)
{
    const bool half = calm && !mVsync;
    if (half != mHalfRate)
    {
        mHalfRate = half;
        UpdatePacing();
    }
    mLimiter.SleepToNextFrame();
}

double SdlWindow::PacedRate(bool* vsync) const
{
    if (vsync)
        *vsync = mVsync;
    return mVsync ? mLimiter.GetRate() / 1.1 : mHalfRate ? mLimiter.GetRate() * 2.0 : mLimiter.GetRate();
}

std::unique_ptr<gpu::Device> SdlWindow::CreateDevice()
{
    if (!mWindow)
        return nullptr;
    mGpuContext = std::make_unique<gpu::SdlGlContext>(mWindow);
    return gpu::CreateGlDevice(mGpuContext.get());
}

void SdlWindow::Destroy()
{
    if (mContext)
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(mContext));
    mContext = nullptr;
    if (mWindow)
        SDL_DestroyWindow(mWindow);
    mWindow = nullptr;
    mEvents.SetWindowId(0);
}

bool SdlWindow::PollEvent(Event& event)
{
    // A quit signal closes the window as the window manager's close request does.
    if (mWindow && TakeQuitRequest(event))
        return true;
    SDL_Event e;
    while (mWindow && SDL_PollEvent(&e))
        if (mEvents.Translate(e, event))
            return true;
    return false;
}

bool SdlWindow::GetFrameExtents(int& left, int& top, int& right, int& bottom) const
{
    left = top = right = bottom = 0;
    return mWindow && SDL_GetWindowBordersSize(mWindow, &top, &left, &bottom, &right) == 0;
}

QLResultEnum SdlWindow::SetWindowed(int x, int y, int clientWidth, int clientHeight)
{
    if (!mWindow)
        return QL_FAIL;
    // x, y place the frame; SDL places the client area inside it.
    int left = 0, top = 0, right = 0, bottom = 0;
    GetFrameExtents(left, top, right, bottom);
    x += left;
    y += top;
    if (SDL_SetWindowFullscreen(mWindow, 0) != 0)
    {
        SetLastError(std::string("SDL_SetWindowFullscreen: ") + SDL_GetError());
        return QL_FAIL;
    }
    SDL_SetWindowBordered(mWindow, SDL_TRUE);
    SDL_SetWindowSize(mWindow, clientWidth, clientHeight);
    SDL_SetWindowPosition(mWindow, x, y);
    UpdatePacing();
    return QL_OK;
}

QLResultEnum SdlWindow::SetFullscreen(int width, int height)
{
    if (!mWindow)
        return QL_FAIL;
    // Without a window manager the full-screen request alone leaves the window as it was, so it
    // first becomes a borderless window covering its display; a window manager then takes over.
    SDL_Rect display;
    const int index = SDL_GetWindowDisplayIndex(mWindow);
    if (index < 0 || SDL_GetDisplayBounds(index, &display) != 0)
        display = {0, 0, width, height};
    SDL_SetWindowBordered(mWindow, SDL_FALSE);
    SDL_SetWindowPosition(mWindow, display.x, display.y);
    SDL_SetWindowSize(mWindow, display.w, display.h);
    if (SDL_SetWindowFullscreen(mWindow, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
    {
        SetLastError(std::string("SDL_SetWindowFullscreen: ") + SDL_GetError());
        return QL_FAIL;
    }
    UpdatePacing();
    return QL_OK;
}

void SdlWindow::SetCaption(const std::wstring& caption)
{
    if (mWindow)
        SDL_SetWindowTitle(mWindow, ToUtf8(caption).c_str());
}

QLResultEnum SdlWindow::SetIcon(int width, int height, const u32* pixels)
{
    if (!mWindow || width <= 0 || height <= 0 || !pixels)
    {
        SetLastError("no window or no picture for its icon");
        return QL_FAIL;
    }
    // SDL copies the pixels into the window manager's property; the surface only lends them.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<u32*>(pixels), width, height, 32, width * 4,
                                                              SDL_PIXELFORMAT_ARGB8888);
    if (!surface)
    {
        SetLastError(std::string("SDL_CreateRGBSurfaceWithFormatFrom: ") + SDL_GetError());
        return QL_FAIL;
    }
    SDL_SetWindowIcon(mWindow, surface);
    SDL_FreeSurface(surface);
    return QL_OK;
}

void SdlWindow::Show()
{
    if (mWindow)
        SDL_ShowWindow(mWindow);
}

void SdlWindow::Hide()
{
    if (mWindow)
        SDL_HideWindow(mWindow);
}

void SdlWindow::Raise()
{
    if (mWindow)
        SDL_RaiseWindow(mWindow);
}

void SdlWindow::GetClientSize(int& width, int& height) const
{
    width = height = 0;
    if (mWindow)
        SDL_GetWindowSize(mWindow, &width, &height);
}

void SdlWindow::SwapBuffers()
{
    if (mWindow)
        SDL_GL_SwapWindow(mWindow);
}

SdlVideoDriver::SdlVideoDriver()
{
    // The quit signals are ours (QuitSignals.h): SDL's own handlers know no hang-up.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    mReady = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!mReady)
    {
        SetLastError(std::string("SDL video: ") + SDL_GetError());
        return;
    }
    // Without a display SDL falls back to its invisible drivers; a game nobody can see or close
    // is refused unless those drivers were asked for by name.
    const char* chosen = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    const std::string name = chosen ? chosen : "";
    if ((name == "offscreen" || name == "dummy") && !(asked && *asked))
    {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        mReady = false;
        SetLastError("no display (DISPLAY or WAYLAND_DISPLAY is not set)");
    }
}

SdlVideoDriver::~SdlVideoDriver()
{
    if (mReady)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlVideoDriver::EnumDisplays(std::vector<Display>& out)
{
    out.clear();
    if (!mReady)
        return false;
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i)
    {
        SDL_Rect bounds, usable;
        if (SDL_GetDisplayBounds(i, &bounds) != 0)
            break;
        if (SDL_GetDisplayUsableBounds(i, &usable) != 0)
            usable = bounds;
        Display d;
        d.bounds = {bounds.x, bounds.y, bounds.w, bounds.h};
        d.workArea = {usable.x, usable.y, usable.w, usable.h};
        d.primary = i == 0;
        out.push_back(d);
    }
    return count > 0;
}

std::unique_ptr<Window> SdlVideoDriver::CreateWindow()
{
    // SDL would start its video on its own when a window is asked for; a driver that is not
    // ready hands out windows that refuse to be created, with the reason.
    return std::make_unique<SdlWindow>(mReady, mReady ? std::string() : LastError());
}

void SdlVideoDriver::FrameSize(int& width, int& height) const
{
    // The decoration is unknown until a window shows (SdlWindow::GetFrameExtents).
    width = height = 0;
}
} // namespace os
