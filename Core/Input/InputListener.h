// Receiver of keyboard, mouse and touch events, positions in game coordinates.
#pragma once

#include "Core/Base/Types.h"
#include "Core/Input/Point2.h"

#include <vector>

namespace input
{
struct Touch
{
    u32 id = 0;
    math::Point2 position;
};
using Touches = std::vector<Touch>;

class InputListener
{
public:
    virtual ~InputListener() = default;
    // Buttons: 1 left, 3 right.
    virtual QLResultEnum OnMouseDown(const math::Point2& position, u32 button) = 0;
    virtual QLResultEnum OnMouseUp(const math::Point2& position, u32 button) = 0;
    virtual QLResultEnum OnMouseDoubleClick(const math::Point2& position, u32 button) = 0;
    virtual QLResultEnum OnMouseMove(const math::Point2& position) = 0;
    virtual QLResultEnum OnMouseDrag(const math::Point2& position) = 0;
    // delta: the wheel turn as an unsigned 16-bit value, 120 per notch away from the user.
    virtual QLResultEnum OnMouseWheel(const math::Point2& position, u32 delta) = 0;
    virtual QLResultEnum OnMouseLeave(const math::Point2& position) = 0;
    virtual QLResultEnum OnKeyDown(u32 key) = 0;
    virtual QLResultEnum OnKeyUp(u32 key) = 0;
    // One UTF-16 unit; characters outside the basic plane arrive as two surrogates.
    virtual QLResultEnum OnChar(u16 unit) = 0;
    virtual QLResultEnum OnTouchBegin(const Touches& touches) = 0;
    virtual QLResultEnum OnTouchMove(const Touches& touches) = 0;
    virtual QLResultEnum OnTouchEnd(const Touches& touches) = 0;
    virtual QLResultEnum OnTouchCancel(const Touches& touches) = 0;
};

// How the window's points turn before they are used: modes 1 and 3 rotate a quarter turn within
// the window; every other mode leaves the point.
enum class CoordMode : i32
{
    kAsIs = 0,
    kQuarterTurn = 1,      // (x, y) -> (width - y, x)
    kThreeQuarterTurn = 3, // (x, y) -> (y, height - x)
};

class CoordConverter
{
public:
    virtual ~CoordConverter() = default;
    // Window pixels to game units.
    virtual math::Point2 ToGameCoords(const math::Point2& point) = 0;
    virtual math::Point2 ConvertCoordsByMode(const math::Point2& point, CoordMode mode) = 0;
};
} // namespace input
