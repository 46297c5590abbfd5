// Window events as the engine's window code sees them, whatever backend delivered them.
#pragma once

#include "Platform/Base/Types.h"

#include <string>

namespace os
{
enum class EventType
{
    None,
    Close,       // close button, Alt+F4 or a quit request
    FocusGained, // the application became active
    FocusLost,
    Minimized,
    Restored,
    Moved,   // x, y: new outer position
    Resized, // x, y: new client width and height (the player or a window manager resized it)
    MouseEnter,
    MouseLeave, // x, y: last cursor position in client pixels
    KeyDown,    // key, sideKey, repeat
    KeyUp,      // key, sideKey
    Text,       // text: UTF-8 typed after a key-down
    MouseMove,  // x, y in client pixels
    MouseDown,  // button (1 left, 2 middle, 3 right), clicks, x, y
    MouseUp,    // button, x, y
    MouseWheel, // wheel (notches, positive away from the user), x, y
};

struct Event
{
    EventType type = EventType::None;
    // Virtual-key code as the engine's key tables number them: 16/17/18 for either
    // shift/control/Alt, sideKey 160-165 telling which one (0 for other keys).
    u32 key = 0;
    u32 sideKey = 0;
    bool repeat = false;
    int button = 0;
    int clicks = 0;
    float x = 0;
    float y = 0;
    float wheel = 0;
    std::string text;
    // Close: who asked, in words for the log (a string literal); null when nothing says.
    const char* cause = nullptr;
};
} // namespace os
