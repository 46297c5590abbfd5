// SDL2 video backend.
#include "Platform/Os/SdlVideo.h"

#include "Platform/Os/Error.h"
#include "Platform/Os/SdlKeys.h"
#include "Platform/Os/Text.h"

#include <SDL2/SDL.h>

namespace os
{
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
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
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
        SetLastError(std::string("OpenGL 3.3 core context: ") + SDL_GetError());
        SDL_DestroyWindow(mWindow);
        mWindow = nullptr;
        return QL_FAIL;
    }
    mId = SDL_GetWindowID(mWindow);
    SDL_StartTextInput();
    return QL_OK;
}

void SdlWindow::Destroy()
{
    if (mContext)
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(mContext));
    mContext = nullptr;
    if (mWindow)
        SDL_DestroyWindow(mWindow);
    mWindow = nullptr;
    mId = 0;
}

bool SdlWindow::PollEvent(Event& event)
{
    SDL_Event e;
    while (mWindow && SDL_PollEvent(&e))
        if (Translate(&e, event))
            return true;
    return false;
}

static bool Button(Uint8 sdlButton, int& button)
{
    switch (sdlButton)
    {
    case SDL_BUTTON_LEFT: button = 1; return true;
    case SDL_BUTTON_MIDDLE: button = 2; return true;
    case SDL_BUTTON_RIGHT: button = 3; return true;
    default: return false;
    }
}

bool SdlWindow::Translate(const void* raw, Event& event)
{
    const SDL_Event& e = *static_cast<const SDL_Event*>(raw);
    event = Event();
    switch (e.type)
    {
    case SDL_QUIT: event.type = EventType::Close; return true;
    case SDL_WINDOWEVENT:
        if (e.window.windowID != mId)
            return false;
        switch (e.window.event)
        {
        case SDL_WINDOWEVENT_CLOSE: event.type = EventType::Close; return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED: event.type = EventType::FocusGained; return true;
        case SDL_WINDOWEVENT_FOCUS_LOST: event.type = EventType::FocusLost; return true;
        case SDL_WINDOWEVENT_MINIMIZED: event.type = EventType::Minimized; return true;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED: event.type = EventType::Restored; return true;
        case SDL_WINDOWEVENT_ENTER: event.type = EventType::MouseEnter; return true;
        case SDL_WINDOWEVENT_LEAVE:
            event.type = EventType::MouseLeave;
            event.x = mLastX;
            event.y = mLastY;
            return true;
        case SDL_WINDOWEVENT_MOVED:
            event.type = EventType::Moved;
            event.x = static_cast<float>(e.window.data1);
            event.y = static_cast<float>(e.window.data2);
            return true;
        default: return false;
        }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (e.key.windowID != mId)
            return false;
        event.type = e.type == SDL_KEYDOWN ? EventType::KeyDown : EventType::KeyUp;
        event.key = VirtualKeyFromSdl(e.key.keysym.sym, event.sideKey);
        event.repeat = e.key.repeat != 0;
        return event.key != 0;
    case SDL_TEXTINPUT:
        if (e.text.windowID != mId)
            return false;
        event.type = EventType::Text;
        event.text = e.text.text;
        return true;
    case SDL_MOUSEMOTION:
        if (e.motion.windowID != mId)
            return false;
        event.type = EventType::MouseMove;
        mLastX = event.x = static_cast<float>(e.motion.x);
        mLastY = event.y = static_cast<float>(e.motion.y);
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (e.button.windowID != mId || !Button(e.button.button, event.button))
            return false;
        event.type = e.type == SDL_MOUSEBUTTONDOWN ? EventType::MouseDown : EventType::MouseUp;
        event.clicks = e.button.clicks;
        mLastX = event.x = static_cast<float>(e.button.x);
        mLastY = event.y = static_cast<float>(e.button.y);
        return true;
    case SDL_MOUSEWHEEL:
        if (e.wheel.windowID != mId)
            return false;
        event.type = EventType::MouseWheel;
        event.wheel = e.wheel.preciseY;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            event.wheel = -event.wheel;
        mLastX = event.x = static_cast<float>(e.wheel.mouseX);
        mLastY = event.y = static_cast<float>(e.wheel.mouseY);
        return event.wheel != 0;
    default: return false;
    }
}

QLResultEnum SdlWindow::SetWindowed(int x, int y, int clientWidth, int clientHeight)
{
    if (!mWindow)
        return QL_FAIL;
    if (SDL_SetWindowFullscreen(mWindow, 0) != 0)
    {
        SetLastError(std::string("SDL_SetWindowFullscreen: ") + SDL_GetError());
        return QL_FAIL;
    }
    SDL_SetWindowBordered(mWindow, SDL_TRUE);
    SDL_SetWindowSize(mWindow, clientWidth, clientHeight);
    SDL_SetWindowPosition(mWindow, x, y);
    return QL_OK;
}

QLResultEnum SdlWindow::SetFullscreen(int width, int height)
{
    if (!mWindow)
        return QL_FAIL;
    if (SDL_SetWindowFullscreen(mWindow, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
    {
        SetLastError(std::string("SDL_SetWindowFullscreen: ") + SDL_GetError());
        return QL_FAIL;
    }
    return QL_OK;
}

void SdlWindow::SetCaption(const std::wstring& caption)
{
    if (mWindow)
        SDL_SetWindowTitle(mWindow, ToUtf8(caption).c_str());
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
    // The decoration is unknown until a window exists; the client size is used as the outer size.
    width = height = 0;
}
} // namespace os
