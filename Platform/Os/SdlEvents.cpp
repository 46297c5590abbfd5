// Translation of SDL window, keyboard, text and mouse events.
#include "Platform/Os/SdlEvents.h"

#include "Platform/Os/SdlKeys.h"

namespace os
{
namespace
{
bool Button(Uint8 sdlButton, int& button)
{
    switch (sdlButton)
    {
    case SDL_BUTTON_LEFT: button = 1; return true;
    case SDL_BUTTON_MIDDLE: button = 2; return true;
    case SDL_BUTTON_RIGHT: button = 3; return true;
    default: return false;
    }
}
} // namespace

bool SdlEventTranslator::Translate(const SDL_Event& e, Event& event)
{
    event = Event();
    switch (e.type)
    {
    case SDL_QUIT:
        event.type = EventType::Close;
        event.cause = "the desktop's quit request";
        return true;
    case SDL_WINDOWEVENT:
        if (e.window.windowID != mWindowId)
            return false;
        switch (e.window.event)
        {
        case SDL_WINDOWEVENT_CLOSE:
            event.type = EventType::Close;
            event.cause = "the window's close request";
            return true;
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
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            event.type = EventType::Resized;
            event.x = static_cast<float>(e.window.data1);
            event.y = static_cast<float>(e.window.data2);
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
        if (e.key.windowID != mWindowId)
            return false;
        event.type = e.type == SDL_KEYDOWN ? EventType::KeyDown : EventType::KeyUp;
        event.key = VirtualKeyFromSdl(e.key.keysym.sym, event.sideKey);
        event.repeat = e.key.repeat != 0;
        return event.key != 0;
    case SDL_TEXTINPUT:
        if (e.text.windowID != mWindowId)
            return false;
        event.type = EventType::Text;
        event.text = e.text.text;
        return true;
    case SDL_MOUSEMOTION:
        if (e.motion.windowID != mWindowId)
            return false;
        event.type = EventType::MouseMove;
        mLastX = event.x = static_cast<float>(e.motion.x);
        mLastY = event.y = static_cast<float>(e.motion.y);
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (e.button.windowID != mWindowId || !Button(e.button.button, event.button))
            return false;
        event.type = e.type == SDL_MOUSEBUTTONDOWN ? EventType::MouseDown : EventType::MouseUp;
        event.clicks = e.button.clicks;
        mLastX = event.x = static_cast<float>(e.button.x);
        mLastY = event.y = static_cast<float>(e.button.y);
        return true;
    case SDL_MOUSEWHEEL:
        if (e.wheel.windowID != mWindowId)
            return false;
        // The position is the cursor's in client pixels, not the screen's.
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
} // namespace os
