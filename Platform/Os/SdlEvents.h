// SDL events turned into the window events of one window; other windows' events are dropped.
#pragma once

#include "Platform/Os/Event.h"

#include <SDL2/SDL_events.h>

namespace os
{
class SdlEventTranslator
{
public:
    void SetWindowId(u32 id) { mWindowId = id; }
    // False when the event is not for this window or means nothing to the engine.
    bool Translate(const SDL_Event& e, Event& event);

private:
    u32 mWindowId = 0;
    // The last cursor position seen, where a leave event is reported.
    float mLastX = 0;
    float mLastY = 0;
};
} // namespace os
