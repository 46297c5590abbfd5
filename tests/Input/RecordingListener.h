// A listener that writes every event it receives as one line of text.
#pragma once

#include "Core/Input/InputListener.h"

#include <cstdio>
#include <string>
#include <vector>

namespace testinput
{
class RecordingListener : public input::InputListener
{
public:
    std::vector<std::string> mEvents;

    QLResultEnum OnMouseDown(const math::Point2& p, u32 b) override { return Add("down", p, b); }
    QLResultEnum OnMouseUp(const math::Point2& p, u32 b) override { return Add("up", p, b); }
    QLResultEnum OnMouseDoubleClick(const math::Point2& p, u32 b) override { return Add("dbl", p, b); }
    QLResultEnum OnMouseMove(const math::Point2& p) override { return Add("move", p, 0); }
    QLResultEnum OnMouseDrag(const math::Point2& p) override { return Add("drag", p, 0); }
    QLResultEnum OnMouseWheel(const math::Point2& p, u32 d) override { return Add("wheel", p, d); }
    QLResultEnum OnMouseLeave(const math::Point2& p) override { return Add("leave", p, 0); }
    QLResultEnum OnKeyDown(u32 key) override { return Add("keydown " + std::to_string(key)); }
    QLResultEnum OnKeyUp(u32 key) override { return Add("keyup " + std::to_string(key)); }
    QLResultEnum OnChar(u16 unit) override { return Add("char " + std::to_string(unit)); }
    QLResultEnum OnTouchBegin(const input::Touches&) override { return Add("touchbegin"); }
    QLResultEnum OnTouchMove(const input::Touches&) override { return Add("touchmove"); }
    QLResultEnum OnTouchEnd(const input::Touches&) override { return Add("touchend"); }
    QLResultEnum OnTouchCancel(const input::Touches&) override { return Add("touchcancel"); }

private:
    QLResultEnum Add(const std::string& text)
    {
        mEvents.push_back(text);
        return QL_OK;
    }
    QLResultEnum Add(const char* kind, const math::Point2& p, u32 value)
    {
        char buffer[96];
        std::snprintf(buffer, sizeof buffer, "%s %g,%g %u", kind, p.x, p.y, value);
        return Add(buffer);
    }
};

// Halves window pixels and shifts them, so converted positions are told apart from raw ones.
class HalvingConverter : public input::CoordConverter
{
public:
    math::Point2 ToGameCoords(const math::Point2& p) override { return {p.x * 0.5f - 10, p.y * 0.5f}; }
    math::Point2 ConvertCoordsByMode(const math::Point2& p, input::CoordMode) override { return p; }
};
} // namespace testinput
