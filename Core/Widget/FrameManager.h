// The stack of frames that make up the screen: updated and drawn every frame, given the mouse
// (the capture holder first, else a top-down hit-test walk that stops at a modal frame) and
// routing keys to the active frame's focus widget. Frames come and go through requests that
// usually take effect in the next update, and objects queued for deletion go after it.
#pragma once

#include "Core/App/FrameHost.h"
#include "Core/Base/DeferredDelete.h"
#include "Core/Base/OwnedOrBorrowed.h"
#include "Core/Render/Point.h"
#include "Core/Widget/CaptureRecord.h"

#include <memory>
#include <vector>

namespace widget
{
class Frame;
class Widget;
class WidgetListener;

class FrameManager : public app::FrameHost, public base::DeferredDeleteManager
{
public:
    enum Mode : u32
    {
        MODE_NORMAL = 0,
        MODE_TOP_MOST = 1, // above every normal frame
        MODE_MODAL = 2,    // above everything; nothing below the highest one gets input
    };
    struct Entry
    {
        Frame* frame = nullptr;
        u32 mode = MODE_NORMAL;
    };

    FrameManager();
    // Deletes the objects still queued, the child tasks and an owned cursor; frames still in
    // the stack are not deleted, only let go.
    ~FrameManager() override;

    QLResultEnum Add(Frame* frame, bool topMost, bool activate, bool deferred);
    QLResultEnum ShowModal(Frame* frame, bool deferred);
    // 1 when the frame is not in the stack. A frame to delete while input or an update is being
    // delivered (its own handler may be running) is deleted at the end of the update instead.
    // A modal frame's removal refreshes the pointer, so that hover states follow the frames uncovered.
    QLResultEnum Remove(Frame* frame, bool deleteFrame, bool deferred);
    QLResultEnum RemoveAllFrames(bool deleteFrames, bool recursive);

    // The task step: frame updates, pending additions and removals, then deferred deletions.
    QLResultEnum Update(float dt) override;
    QLResultEnum Draw(render::Graphics& graphics) override;

    QLResultEnum OnMouseDown(const math::Point2& position, u32 button) override;
    QLResultEnum OnMouseUp(const math::Point2& position, u32 button) override;
    QLResultEnum OnMouseDoubleClick(const math::Point2& position, u32 button) override;
    QLResultEnum OnMouseMove(const math::Point2& position) override;
    QLResultEnum OnMouseDrag(const math::Point2& position) override;
    QLResultEnum OnMouseWheel(const math::Point2& position, u32 value) override;
    app::KeyTarget* GetKeyTarget() override;

    // A move at the last pointer position, so that hover states follow changed frames.
    QLResultEnum RefreshPointer();
    // Ends the capture, then a move at the last pointer position (its result is dropped).
    void ReleaseCapture();
    // Installs the capture (done by a press on a widget that captures on press).
    void SetCapture(const CaptureRecord& record);
    QLResultEnum Activate(Frame* frame);
    // A widget drawn above every frame that follows the pointer.
    void SetCursorWidget(Widget* widget, bool owns);
    void SetCursorWidget(std::unique_ptr<Widget> widget);

    Frame* GetActiveFrame() const { return mActiveFrame; }
    Frame* GetHoverFrame() const { return mHoverFrame; }
    const CaptureRecord& GetCapture() const { return mCapture; }
    const std::vector<Entry>& GetStack() const { return mStack; }
    const math::Point2& GetLastPointer() const { return mLastPointer; }
    // The entry of a frame in the stack, or null.
    const Entry* FindEntry(const Frame* frame) const;
    size_t GetPendingAdditions() const { return mAdditions[mAddIndex].size(); }
    size_t GetPendingRemovals() const { return mRemovals[mRemoveIndex].size(); }

private:
    friend class Frame;
    friend class Widget;

    struct AddRequest
    {
        Frame* frame;
        u32 mode;
        bool activate;
    };
    struct RemoveRequest
    {
        Frame* frame;
        bool deleteFrame;
    };
    // Active frame -> focus widget -> its listener.
    class KeyRoute : public app::KeyTarget
    {
    public:
        explicit KeyRoute(FrameManager& manager) : mManager(manager) {}
        QLResultEnum OnKeyDown(u32 key) override;
        QLResultEnum OnKeyUp(u32 key) override;
        QLResultEnum OnChar(u16 unit) override;

    private:
        FrameManager& mManager;
    };

    // unhandled: the walk went through the frames and no listener took the event.
    // Counts a delivery in progress for as long as it lives.
    struct BusyScope
    {
        explicit BusyScope(int& busy) : mBusy(busy) { ++mBusy; }
        ~BusyScope() { --mBusy; }
        int& mBusy;
    };

    template <class Event, class Captured>
    QLResultEnum Dispatch(const math::Point2& position, const Event& event, Captured captured, bool& unhandled);
    // After a move or drag that no frame took: the hover frame loses its hover widget.
    QLResultEnum ClearHoverAfter(QLResultEnum result, bool unhandled);
    QLResultEnum Insert(Frame* frame, u32 mode);
    QLResultEnum ProcessAdditions();
    QLResultEnum ProcessRemovals();
    QLResultEnum DeleteFrame(Frame* frame);
    void QueueAddition(Frame* frame, u32 mode, bool activate);
    WidgetListener* GetFocusListener() const;
    bool IsInStack(const Frame* frame) const { return FindEntry(frame) != nullptr; }
    // A frame or widget is being destroyed: nothing may keep pointing at it.
    void ForgetFrame(Frame* frame);
    void ForgetCapture(Widget* widget);

    Frame* mActiveFrame = nullptr;
    Frame* mHoverFrame = nullptr;
    std::vector<Entry> mStack; // bottom first
    std::vector<AddRequest> mAdditions[2];
    u32 mAddIndex = 0;
    std::vector<RemoveRequest> mRemovals[2];
    u32 mRemoveIndex = 0;
    CaptureRecord mCapture;
    math::Point2 mLastPointer;
    base::OwnedOrBorrowed<Widget> mCursor;
    // Above 0 while input or updates are delivered: frame deletions wait for the update's end.
    int mBusy = 0;
    KeyRoute mKeyRoute{*this};
};
} // namespace widget
