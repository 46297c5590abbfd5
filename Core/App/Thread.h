// A task that runs its own loop: tick with the measured frame time until nothing is left. The
// application runs it on the main thread; a worker runs it on a thread of its own.
#pragma once

#include "Core/App/Task.h"

#include <atomic>
#include <memory>

namespace os
{
class Thread;
}

namespace app
{
// The platform's thread priorities, chosen from an engine level by SetPriority.
enum ThreadPriority
{
    PRIORITY_IDLE = 0,
    PRIORITY_BELOW_NORMAL = 1,
    PRIORITY_NORMAL = 2,
    PRIORITY_ABOVE_NORMAL = 3,
    PRIORITY_HIGHEST = 4,
    PRIORITY_TIME_CRITICAL = 5,
};

class ApplicationWin32;

class ThreadBase
{
public:
    virtual ~ThreadBase() = default;
};

class ThreadWin32 : public ThreadBase, public base::Task
{
public:
    ThreadWin32(bool ownedByParent, bool finishWhenIdle, bool keepsParentAlive, bool threadSafe);
    // Leaves the application's list of workers. A thread of its own still running is stopped and
    // waited for; delete a worker only once it has ended (the application does so).
    ~ThreadWin32() override;

    using base::Task::Start;
    // Runs Run on a thread of its own: registers with the application's workers, makes the
    // thread, sets its priority and lets it run at once. False when no thread can be made (the
    // worker stays registered and is stopped with the application). Call from the main thread.
    virtual bool Start(int level);
    // Ticks until this task has finished and has no children left.
    virtual void Run();
    // The level's priority, applied to the thread when it runs: 0 idle, 1 below normal, 3 above
    // normal, 4 highest, 5 time critical, anything else normal.
    virtual void SetPriority(int level);
    ThreadPriority GetPriority() const { return mPriority; }
    u64 Passes() const { return mPasses; }

    // Stops the task: between two passes of its own thread while that runs, else at once.
    void RequestStop();
    // True when no thread of its own runs: none was made, or it has ended and is joined now.
    // Only then may another thread read the task's state.
    bool JoinIfEnded();
    // The thread of its own (made by Start).
    os::Thread* GetHandle() const { return mHandle.get(); }

protected:
    // A stop now waits for the next pass of the thread of its own; called on the thread that
    // asked. A worker that sleeps inside a pass wakes up here.
    virtual void OnStopRequested() {}

private:
    friend class ApplicationWin32;
    static int ThreadEntry(void* self);

    ThreadPriority mPriority = PRIORITY_NORMAL;
    u64 mPasses = 0;
    std::unique_ptr<os::Thread> mHandle;
    std::atomic<bool> mStopRequested{false};
    ApplicationWin32* mApplication = nullptr; // whose list of workers holds this one
};

class Thread : public ThreadWin32
{
public:
    using ThreadWin32::ThreadWin32;
};
} // namespace app
