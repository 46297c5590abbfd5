// A node of the task tree: children ticked in order, a queue of additions, a cascading stop.
#pragma once

#include "Core/Base/Types.h"

#include <list>
#include <memory>

namespace app
{
class CriticalSection;
}

namespace base
{
class Task
{
public:
    Task(bool ownedByParent = false, bool finishWhenIdle = false, bool keepsParentAlive = false,
         bool threadSafe = false);
    virtual ~Task();
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;

    virtual QLResultEnum Start() { return QL_OK; }
    virtual QLResultEnum Update(float dt) { return QL_OK; }
    virtual void OnStop() { mFinished = true; }

    // One step of this task and its subtree: Start once, children, then Update, then the idle check.
    QLResultEnum Tick(float dt);
    QLResultEnum UpdateChildren(float dt);
    // Stops the children depth first, then this task.
    void Stop();
    // Queued; becomes a child after the current children were ticked in the next UpdateChildren.
    bool AddTask(Task* task);
    // Deletes every child without unlinking it; the caller clears its list.
    void DeleteChildren();
    bool AnyChildKeepsParent() const;
    bool HasNoChildren() const { return mChildren.empty(); }

    bool IsStopping() const { return mStopping; }
    bool IsFinished() const { return mFinished; }
    bool IsStarted() const { return mStarted; }
    bool IsOwnedByParent() const { return mOwnedByParent; }
    bool KeepsParentAlive() const { return mKeepsParentAlive; }
    const std::list<Task*>& Children() const { return mChildren; }
    size_t PendingCount() const { return mPending.size(); }

protected:
    bool mStopping = false;
    bool mFinished = false;
    std::list<Task*> mChildren;
    std::list<Task*> mPending;
    bool mFinishWhenIdle;
    bool mOwnedByParent;
    bool mKeepsParentAlive;
    bool mStarted = false;
    std::unique_ptr<app::CriticalSection> mLock;
};
} // namespace base
