// A thread of the platform: made held at a gate (as a suspended thread), let go once, joined, and
// scheduled by a priority relative to the thread that made it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace os
{
enum class ThreadPriority
{
    Idle,
    BelowNormal,
    Normal,
    AboveNormal,
    Highest,
    TimeCritical,
};

// What a priority becomes on Linux: the idle scheduling class, or the normal one at a nice value
// this far from the nice the thread was made with (lower is more CPU).
struct ThreadSchedule
{
    bool idleClass = false;
    int niceOffset = 0;
};
ThreadSchedule ScheduleFor(ThreadPriority priority);

class Thread
{
public:
    using Entry = int (*)(void* argument);

    Thread() = default;
    // A thread never let go does not run its entry; one that runs is waited for.
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Makes the thread, held before its entry until Resume. False (os::LastError says why) when
    // the system refuses it or this object already has one.
    bool Create(Entry entry, void* argument);
    // Lets a held thread run its entry.
    void Resume();
    // False (os::LastError says why) when there is no thread or the system refuses the change,
    // as it refuses a higher priority to a process without the right to raise it.
    bool SetPriority(ThreadPriority priority);
    // Made and not joined yet.
    bool IsRunning() const { return mThread.joinable(); }
    // The entry has returned; Join will not wait.
    bool HasEnded() const { return mEnded.load(std::memory_order_acquire); }
    // Waits for the thread's end (a held one is let go without running its entry).
    void Join();

    bool mFailCreate = false; // tests: make Create refuse, as the system does when out of threads

private:
    void Body();

    Entry mEntry = nullptr;
    void* mArgument = nullptr;
    std::thread mThread;
    std::mutex mMutex;
    std::condition_variable mChanged;
    bool mKnown = false;     // mTid and mBaseNice are set
    bool mLetGo = false;     // Resume or Join opened the gate
    bool mCancelled = false; // the gate opened without Resume: skip the entry
    int mTid = 0;
    int mBaseNice = 0;
    std::atomic<bool> mEnded{false};
};
} // namespace os
