// The frame stack: adding, showing modally, removing, updating and drawing frames.
#include "Core/Widget/FrameManager.h"

#include "Core/Layer/Layer.h"
#include "Core/Widget/Frame.h"
#include "Core/Widget/WidgetListener.h"

#include <algorithm>
#include <utility>

namespace widget
{
namespace
{
QLResultEnum NotifyManagerAttached(Frame* frame)
{
    return frame->ForEachInSubtree([](Widget& w)
                                   { return w.GetListener() ? w.GetListener()->OnManagerAttached() : QL_OK; });
}

QLResultEnum NotifyManagerDetached(Frame* frame)
{
    return frame->ForEachInSubtree([](Widget& w)
                                   { return w.GetListener() ? w.GetListener()->OnManagerDetached() : QL_OK; });
}

} // namespace

FrameManager::FrameManager() = default;

FrameManager::~FrameManager()
{
    DeleteQueued();
    DeleteChildren();
    mChildren.clear();
    for (base::Task* task : mPending)
        delete task;
    mPending.clear();
    if (mCapture.widget)
        ForgetCapture(mCapture.widget);
    // Requests and entries whose frame was deleted meanwhile hold null.
    for (const Entry& entry : mStack)
        if (entry.frame && entry.frame->mManager == this)
            entry.frame->mManager = nullptr;
    for (const auto& list : mAdditions)
        for (const AddRequest& request : list)
            if (request.frame && request.frame->mQueuedIn == this)
                request.frame->mQueuedIn = nullptr;
    for (const auto& list : mRemovals)
        for (const RemoveRequest& request : list)
            if (request.frame && request.frame->mQueuedIn == this)
                request.frame->mQueuedIn = nullptr;
    mCursor.clear();
}

const FrameManager::Entry* FrameManager::FindEntry(const Frame* frame) const
{
    for (const Entry& entry : mStack)
        if (entry.frame == frame)
            return &entry;
    return nullptr;
}

void FrameManager::QueueAddition(Frame* frame, u32 mode, bool activate)
{
    mAdditions[mAddIndex].push_back({frame, mode, activate});
    frame->mQueuedIn = this;
}

QLResultEnum FrameManager::Insert(Frame* frame, u32 mode)
{
    auto position = mStack.end();
    if (mode == MODE_TOP_MOST && !mStack.empty() && mStack.back().mode == MODE_MODAL)
        position = std::find_if(mStack.begin(), mStack.end(), [](const Entry& e) { return e.mode == MODE_MODAL; });
    else if (mode == MODE_NORMAL && !mStack.empty() && mStack.back().mode != MODE_NORMAL)
        position = std::find_if(mStack.begin(), mStack.end(), [](const Entry& e) { return e.mode != MODE_NORMAL; });
    mStack.insert(position, Entry{frame, mode});
    frame->mManager = this;
    return NotifyManagerAttached(frame);
}

QLResultEnum FrameManager::Add(Frame* frame, bool topMost, bool activate, bool deferred)
{
    if (!frame)
        return QL_FAIL;
    if (deferred)
    {
        QueueAddition(frame, topMost ? MODE_TOP_MOST : MODE_NORMAL, activate);
        return QL_OK;
    }
    // A frame stands in the stack once.
    if (!IsInStack(frame))
        if (QLResultEnum r = Insert(frame, topMost ? MODE_TOP_MOST : MODE_NORMAL))
            return r;
    return activate ? Activate(frame) : QL_OK;
}

QLResultEnum FrameManager::ShowModal(Frame* frame, bool deferred)
{
    if (!frame)
        return QL_FAIL;
    if (deferred)
    {
        QueueAddition(frame, MODE_MODAL, true);
        return QL_OK;
    }
    if (!IsInStack(frame))
    {
        mStack.push_back(Entry{frame, MODE_MODAL});
        frame->mManager = this;
        if (QLResultEnum r = NotifyManagerAttached(frame))
            return r;
    }
    return Activate(frame);
}

QLResultEnum FrameManager::Remove(Frame* frame, bool deleteFrame, bool deferred)
{
    if (deferred)
    {
        if (!frame)
            return QL_FAIL;
        mRemovals[mRemoveIndex].push_back({frame, deleteFrame});
        frame->mQueuedIn = this;
        return QL_OK;
    }
    auto it = std::find_if(mStack.begin(), mStack.end(), [frame](const Entry& e) { return e.frame == frame; });
    if (it == mStack.end())
    {
        const QLResultEnum r = OnMouseMove(mLastPointer);
        return r ? r : QL_FAIL;
    }
    const bool modal = it->mode == MODE_MODAL;
    if (mHoverFrame == frame)
        mHoverFrame = nullptr;
    if (mActiveFrame == frame)
        mActiveFrame = nullptr;
    const QLResultEnum detached = NotifyManagerDetached(frame);
    frame->mManager = nullptr;
    // The listeners may have changed the stack.
    it = std::find_if(mStack.begin(), mStack.end(), [frame](const Entry& e) { return e.frame == frame; });
    if (it != mStack.end())
        mStack.erase(it);
    if (deleteFrame)
        (void)DeleteFrame(frame);
    if (detached || !modal)
        return detached;
    // The frames a modal one kept from the pointer take it where it stands now: their hover
    // follows at once, not at the pointer's next move.
    return RefreshPointer();
}

QLResultEnum FrameManager::DeleteFrame(Frame* frame)
{
    // Nothing here may keep pointing at it (the active and hover frames among them).
    ForgetFrame(frame);
    // Inside a delivery the frame's own handler may still be running: it goes after the update.
    if (mBusy > 0)
        QueueDelete(frame);
    else
        delete frame;
    return QL_OK;
}

QLResultEnum FrameManager::RemoveAllFrames(bool deleteFrames, bool recursive)
{
    if (!deleteFrames && !recursive)
    {
        mStack.clear();
        return QL_OK;
    }
    std::vector<Entry> stack;
    stack.swap(mStack);
    for (const Entry& entry : stack)
    {
        Frame* frame = entry.frame;
        (void)NotifyManagerDetached(frame);
        frame->mManager = nullptr;
        if (recursive)
            (void)frame->RemoveAllChildren(deleteFrames, recursive, true);
        if (deleteFrames)
            (void)DeleteFrame(frame);
    }
    return QL_OK;
}

QLResultEnum FrameManager::Activate(Frame* frame)
{
    if (frame == mActiveFrame)
        return QL_OK;
    if (mActiveFrame && mActiveFrame->mActive)
    {
        mActiveFrame->mActive = false;
        if (QLResultEnum r = mActiveFrame->OnDeactivate())
            return r;
    }
    mActiveFrame = frame;
    if (frame && !frame->mActive)
    {
        frame->mActive = true;
        return frame->OnActivate();
    }
    return QL_OK;
}

void FrameManager::SetCursorWidget(Widget* widget, bool owns) { mCursor.reset(widget, owns); }

void FrameManager::SetCursorWidget(std::unique_ptr<Widget> widget) { mCursor.own(std::move(widget)); }

QLResultEnum FrameManager::ProcessAdditions()
{
    while (!mAdditions[mAddIndex].empty())
    {
        std::vector<AddRequest>& list = mAdditions[mAddIndex];
        mAddIndex ^= 1;
        for (size_t i = 0; i < list.size(); ++i)
        {
            const AddRequest request = list[i];
            if (!request.frame)
                continue; // the frame was destroyed while it waited
            if (request.frame->mQueuedIn == this)
                request.frame->mQueuedIn = nullptr;
            QLResultEnum r = QL_OK;
            if (request.mode == MODE_NORMAL || request.mode == MODE_TOP_MOST)
                r = Add(request.frame, request.mode == MODE_TOP_MOST, request.activate, false);
            else if (request.mode == MODE_MODAL)
                r = ShowModal(request.frame, false);
            if (r)
            {
                list.erase(list.begin(), list.begin() + static_cast<long>(i) + 1);
                return r;
            }
        }
        list.clear();
    }
    return QL_OK;
}

QLResultEnum FrameManager::ProcessRemovals()
{
    while (!mRemovals[mRemoveIndex].empty())
    {
        std::vector<RemoveRequest>& list = mRemovals[mRemoveIndex];
        mRemoveIndex ^= 1;
        for (size_t i = 0; i < list.size(); ++i)
        {
            const RemoveRequest request = list[i];
            if (!request.frame)
                continue;
            if (request.frame->mQueuedIn == this)
                request.frame->mQueuedIn = nullptr;
            // A frame asked away twice is removed once.
            for (size_t j = i + 1; j < list.size(); ++j)
                if (list[j].frame == request.frame)
                    list[j].frame = nullptr;
            if (QLResultEnum r = Remove(request.frame, request.deleteFrame, false))
            {
                list.erase(list.begin(), list.begin() + static_cast<long>(i) + 1);
                return r;
            }
        }
        list.clear();
    }
    return QL_OK;
}

QLResultEnum FrameManager::Update(float dt)
{
    {
        BusyScope busy(mBusy);
        std::vector<Entry> stack = mStack;
        for (const Entry& entry : stack)
            if (IsInStack(entry.frame))
                if (QLResultEnum r = entry.frame->Update(dt))
                    return r;
        if (mCursor)
            if (QLResultEnum r = mCursor->Update(dt))
                return r;
        if (QLResultEnum r = ProcessAdditions())
            return r;
        if (QLResultEnum r = ProcessRemovals())
            return r;
    }
    DeleteQueued();
    return QL_OK;
}

QLResultEnum FrameManager::Draw(render::Graphics& graphics)
{
    for (size_t i = 0; i < mStack.size(); ++i)
        if (layer::Layer* root = mStack[i].frame->GetLayer())
            if (QLResultEnum r = root->Render(&graphics))
                return r;
    if (mCursor && mCursor->GetLayer())
        return mCursor->GetLayer()->Render(&graphics);
    return QL_OK;
}

void FrameManager::ForgetFrame(Frame* frame)
{
    mStack.erase(std::remove_if(mStack.begin(), mStack.end(), [frame](const Entry& e) { return e.frame == frame; }),
                 mStack.end());
    for (auto& list : mAdditions)
        for (AddRequest& request : list)
            if (request.frame == frame)
                request.frame = nullptr;
    for (auto& list : mRemovals)
        for (RemoveRequest& request : list)
            if (request.frame == frame)
                request.frame = nullptr;
    if (mActiveFrame == frame)
        mActiveFrame = nullptr;
    if (mHoverFrame == frame)
        mHoverFrame = nullptr;
    if (mCapture.widget && (mCapture.widget == frame || mCapture.widget->GetFrame() == frame))
        ForgetCapture(mCapture.widget);
    if (frame->mManager == this)
        frame->mManager = nullptr;
    if (frame->mQueuedIn == this)
        frame->mQueuedIn = nullptr;
}

void FrameManager::ForgetCapture(Widget* widget)
{
    if (widget->mCaptureOwner == this)
    {
        widget->mCaptured = false;
        widget->mCaptureOwner = nullptr;
    }
    if (mCapture.widget == widget)
        mCapture = CaptureRecord();
}
} // namespace widget
