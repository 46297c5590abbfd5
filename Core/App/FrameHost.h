// What the application needs of the UI toolkit's frame manager: a task that draws the frames,
// takes the mouse and routes keys to the focused widget. widget::FrameManager implements it;
// this base has no frames, so tests can stand in with it.
#pragma once

#include "Core/App/Task.h"
#include "Core/Input/Point2.h"

namespace render
{
class Graphics;
}

namespace app
{
// The end of the keyboard-focus chain: the focused widget's listener.
class KeyTarget
{
public:
    virtual ~KeyTarget() = default;
    virtual QLResultEnum OnKeyDown(u32 key) = 0;
    virtual QLResultEnum OnKeyUp(u32 key) = 0;
    virtual QLResultEnum OnChar(u16 unit) = 0;
};

class FrameHost : public base::Task
{
public:
    // Not owned, not finishing when idle, keeps its parent alive, not thread-safe.
    FrameHost() : base::Task(false, false, true, false) {}

    virtual QLResultEnum Draw(render::Graphics& graphics) { return QL_OK; }
    virtual QLResultEnum OnMouseDown(const math::Point2& position, u32 button) { return QL_OK; }
    virtual QLResultEnum OnMouseUp(const math::Point2& position, u32 button) { return QL_OK; }
    virtual QLResultEnum OnMouseDoubleClick(const math::Point2& position, u32 button) { return QL_OK; }
    virtual QLResultEnum OnMouseMove(const math::Point2& position) { return QL_OK; }
    virtual QLResultEnum OnMouseDrag(const math::Point2& position) { return QL_OK; }
    virtual QLResultEnum OnMouseWheel(const math::Point2& position, u32 delta) { return QL_OK; }
    // Active frame -> focused widget -> its listener; null when a link is missing.
    virtual KeyTarget* GetKeyTarget() { return nullptr; }
};
} // namespace app
