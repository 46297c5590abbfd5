// Threads over std::thread, scheduled through the Linux calls that act on one thread by its id.
#include "Platform/Os/Thread.h"

#include "Platform/Os/Error.h"

#include <algorithm>
#include <cerrno>
#include <sched.h>
#include <sys/resource.h>
#include <system_error>
#include <unistd.h>

namespace os
{
namespace
{
std::string Reason(const char* call) { return std::string(call) + ": " + std::system_category().message(errno); }
} // namespace

// Windows gives each thread a priority relative to its process's class; Linux gives each thread a
// nice value (and a scheduling class), which a thread inherits from the one that made it. So:
// - Idle: the idle class (SCHED_IDLE), which runs only when the CPU has nothing else to do, as a
//   Windows idle thread does.
// - Below normal: 5 nicer than its maker. Anyone may lower a priority.
// - Normal: its maker's nice value.
// - Above normal and highest: 5 and 10 less nice. Raising needs CAP_SYS_NICE or a nice limit
//   (RLIMIT_NICE), which a desktop user seldom has: then the change is refused and said so.
// - Time critical: 20 less nice, the top of the normal class. Not a real-time class: a real-time
//   thread that spins freezes the desktop, and Windows keeps time-critical threads in the
//   process's class too.
ThreadSchedule ScheduleFor(ThreadPriority priority)
{
    switch (priority)
    {
    case ThreadPriority::Idle: return {true, 0};
    case ThreadPriority::BelowNormal: return {false, 5};
    case ThreadPriority::Normal: return {false, 0};
    case ThreadPriority::AboveNormal: return {false, -5};
    case ThreadPriority::Highest: return {false, -10};
    case ThreadPriority::TimeCritical: return {false, -20};
    }
    return {false, 0};
}

Thread::~Thread() { Join(); }

bool Thread::Create(Entry entry, void* argument)
{
    if (mThread.joinable())
    {
        SetLastError("the thread has already been made");
        return false;
    }
    if (mFailCreate)
    {
        SetLastError("the system refused a new thread");
        return false;
    }
    mEntry = entry;
    mArgument = argument;
    mKnown = mLetGo = mCancelled = false;
    mEnded.store(false, std::memory_order_relaxed);
    try
    {
        mThread = std::thread(&Thread::Body, this);
    }
    catch (const std::system_error& e)
    {
        SetLastError(std::string("cannot make a thread: ") + e.what());
        return false;
    }
    // Its id is needed to schedule it; the thread tells it before it waits at the gate.
    std::unique_lock lock(mMutex);
    mChanged.wait(lock, [this] { return mKnown; });
    return true;
}

void Thread::Body()
{
    {
        std::unique_lock lock(mMutex);
        mTid = static_cast<int>(gettid());
        errno = 0;
        const int nice = getpriority(PRIO_PROCESS, 0); // this thread's own (Linux keeps nice per thread)
        mBaseNice = errno ? 0 : nice;
        mKnown = true;
        mChanged.notify_all();
        mChanged.wait(lock, [this] { return mLetGo; });
        if (mCancelled)
        {
            mEnded.store(true, std::memory_order_release);
            return;
        }
    }
    (void)mEntry(mArgument);
    mEnded.store(true, std::memory_order_release);
}

void Thread::Resume()
{
    std::lock_guard lock(mMutex);
    mLetGo = true;
    mChanged.notify_all();
}

bool Thread::SetPriority(ThreadPriority priority)
{
    // A thread that has ended may have handed its id on to another.
    if (!mThread.joinable() || HasEnded())
    {
        SetLastError("the thread is not running");
        return false;
    }
    int tid = 0, base = 0;
    {
        std::lock_guard lock(mMutex);
        tid = mTid;
        base = mBaseNice;
    }
    const ThreadSchedule schedule = ScheduleFor(priority);
    sched_param param{};
    if (sched_setscheduler(tid, schedule.idleClass ? SCHED_IDLE : SCHED_OTHER, &param) != 0)
    {
        SetLastError(Reason("sched_setscheduler"));
        return false;
    }
    if (schedule.idleClass)
        return true;
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(tid), std::clamp(base + schedule.niceOffset, -20, 19)) != 0)
    {
        SetLastError(Reason("setpriority"));
        return false;
    }
    return true;
}

void Thread::Join()
{
    if (!mThread.joinable())
        return;
    {
        std::lock_guard lock(mMutex);
        if (!mLetGo)
            mLetGo = mCancelled = true;
        mChanged.notify_all();
    }
    mThread.join();
}
} // namespace os
