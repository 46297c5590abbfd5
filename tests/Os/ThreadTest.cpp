// The platform's thread: held at its gate until let go, made once, joined without running a
// thread that was never let go.
#include "Platform/Os/Thread.h"
#include "Platform/Os/Error.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace
{
int CountRun(void* counter)
{
    ++*static_cast<std::atomic<int>*>(counter);
    return 0;
}
} // namespace

TEST(Thread, RunsItsEntryOnlyOnceLetGoIsMadeOnceAtATimeAndIsScheduledOnlyWhileItRuns)
{
    std::atomic<int> runs{0};
    os::Thread thread;
    ASSERT_TRUE(thread.Create(&CountRun, &runs));
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_FALSE(thread.Create(&CountRun, &runs));
    EXPECT_EQ(os::LastError(), "the thread has already been made");
    EXPECT_TRUE(thread.SetPriority(os::ThreadPriority::BelowNormal)) << os::LastError(); // held, not ended
    thread.Join(); // never let go: its entry does not run
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(runs.load(), 0);
    EXPECT_FALSE(thread.SetPriority(os::ThreadPriority::Normal));
    EXPECT_EQ(os::LastError(), "the thread is not running");

    // Once joined it can be made again; let go, it runs its entry once.
    ASSERT_TRUE(thread.Create(&CountRun, &runs));
    thread.Resume();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!thread.HasEnded() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_TRUE(thread.HasEnded());
    thread.Join();
    EXPECT_EQ(runs.load(), 1);

    os::Thread refused;
    refused.mFailCreate = true;
    EXPECT_FALSE(refused.Create(&CountRun, &runs));
    EXPECT_FALSE(refused.IsRunning());
}
