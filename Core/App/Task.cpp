// Task tree: tick order, queue merge and removal of ended children.
#include "Core/App/Task.h"

#include "Core/App/CriticalSection.h"

namespace base
{
Task::Task(bool ownedByParent, bool finishWhenIdle, bool keepsParentAlive, bool threadSafe)
    : mFinishWhenIdle(finishWhenIdle), mOwnedByParent(ownedByParent), mKeepsParentAlive(keepsParentAlive),
      mLock(threadSafe ? std::make_unique<app::CriticalSection>() : nullptr)
{
}

Task::~Task() = default;

QLResultEnum Task::Tick(float dt)
{
    if (mFinished && mChildren.empty())
        return QL_OK;
    if (!mStarted)
    {
        mStarted = true;
        if (QLResultEnum r = Start())
            return r;
    }
    if (QLResultEnum r = UpdateChildren(dt))
        return r;
    if (QLResultEnum r = Update(dt))
        return r;
    bool idle;
    {
        app::ScopedLock guard(mLock.get());
        idle = !mStopping && mPending.empty() && mFinishWhenIdle && !AnyChildKeepsParent();
    }
    if (idle)
        Stop();
    return QL_OK;
}

QLResultEnum Task::UpdateChildren(float dt)
{
    for (Task* child : mChildren)
        if (QLResultEnum r = child->Tick(dt))
            return r;
    {
        app::ScopedLock guard(mLock.get());
        mChildren.splice(mChildren.end(), mPending);
    }
    for (auto it = mChildren.begin(); it != mChildren.end();)
    {
        Task* child = *it;
        if (child->mFinished && child->mChildren.empty())
        {
            it = mChildren.erase(it);
            if (child->mOwnedByParent)
                delete child;
        }
        else
            ++it;
    }
    return QL_OK;
}

void Task::Stop()
{
    for (Task* child : mChildren)
        child->Stop();
    mStopping = true;
    OnStop();
}

bool Task::AddTask(Task* task)
{
    app::ScopedLock guard(mLock.get());
    mPending.push_back(task);
    return true;
}

void Task::DeleteChildren()
{
    for (Task* child : mChildren)
        delete child;
}

bool Task::AnyChildKeepsParent() const
{
    for (const Task* child : mChildren)
        if (child->mKeepsParentAlive)
            return true;
    return false;
}
} // namespace base
