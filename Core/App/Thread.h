// A task that runs its own loop: tick with the measured frame time until nothing is left.
#pragma once

#include "Core/App/Task.h"

namespace app
{
enum ThreadPriority
{
    PRIORITY_IDLE = 0,
    PRIORITY_BELOW_NORMAL = 1,
    PRIORITY_NORMAL = 2,
    PRIORITY_ABOVE_NORMAL = 3,
    PRIORITY_HIGHEST = 4,
    PRIORITY_TIME_CRITICAL = 5,
};

class ThreadBase
{
public:
    virtual ~ThreadBase() = default;
};

// Only the main thread ever runs this loop: no worker thread is started anywhere.
class ThreadWin32 : public ThreadBase, public base::Task
{
public:
    ThreadWin32(bool ownedByParent, bool finishWhenIdle, bool keepsParentAlive, bool threadSafe)
        : base::Task(ownedByParent, finishWhenIdle, keepsParentAlive, threadSafe)
    {
    }
    // Ticks until this task has finished and has no children left.
    virtual void Run();
    // Levels outside 0-5 (and 2) mean normal.
    virtual void SetPriority(int level);
    ThreadPriority GetPriority() const { return mPriority; }
    u64 Passes() const { return mPasses; }

private:
    ThreadPriority mPriority = PRIORITY_NORMAL;
    u64 mPasses = 0;
};

class Thread : public ThreadWin32
{
public:
    using ThreadWin32::ThreadWin32;
};
} // namespace app
