// Worker threads: the priority table, a worker's own loop on its own thread, its removal by the
// application's update, the application's stop reaching a running worker, and a failed start.
#include "Core/App/Thread.h"
#include "Audio/LogCapture.h"
#include "Core/App/Application.h"
#include "Core/Base/Singletone.h"
#include "Platform/Os/Thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sched.h>
#include <sys/resource.h>
#include <thread>

namespace
{
// Waits for a condition with a limit generous enough for a loaded machine under sanitizers.
template <class F> bool WaitUntil(F condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

int OwnNice()
{
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0); // the calling thread's
    return errno ? -100 : nice;
}

// What a task saw of the thread that ran it.
struct Sight
{
    std::thread::id updatedOn;
    std::thread::id stoppedOn;
    int updates = 0;
    int policy = -1;
    int nice = -100;
};

// Written by the task's thread, read by the test's under the lock.
class Seen
{
public:
    void Updated()
    {
        std::lock_guard lock(mMutex);
        mSight.updatedOn = std::this_thread::get_id();
        mSight.policy = sched_getscheduler(0);
        mSight.nice = OwnNice();
        ++mSight.updates;
    }
    void Stopped()
    {
        std::lock_guard lock(mMutex);
        mSight.stoppedOn = std::this_thread::get_id();
    }
    Sight operator()()
    {
        std::lock_guard lock(mMutex);
        return mSight;
    }
    int Updates() { return (*this)().updates; }

private:
    std::mutex mMutex;
    Sight mSight;
};

class Child : public base::Task
{
public:
    explicit Child(int passes) : base::Task(false, false, false, false), mPasses(passes) {}
    QLResultEnum Update(float) override
    {
        seen.Updated();
        if (seen.Updates() == mPasses)
            Stop();
        return QL_OK;
    }
    void OnStop() override
    {
        seen.Stopped();
        base::Task::OnStop();
    }
    Seen seen;

private:
    int mPasses;
};

// Finishes after `passes` updates (never with -1), without stopping its children; its updates
// wait while the test holds the gate.
class Worker : public app::Thread
{
public:
    Worker(bool owned, int passes, bool* deleted = nullptr)
        : app::Thread(owned, false, false, true), mPasses(passes), mDeleted(deleted)
    {
    }
    ~Worker() override
    {
        // Only a failing test gets here with the thread running: it must not tick a dead object.
        Open();
        RequestStop();
        EXPECT_TRUE(WaitUntil([this] { return JoinIfEnded(); }));
        if (mDeleted)
            *mDeleted = true;
    }
    QLResultEnum Update(float) override
    {
        seen.Updated();
        {
            std::unique_lock lock(mGateMutex);
            mGate.wait(lock, [this] { return mOpen; });
        }
        if (seen.Updates() == mPasses)
            mFinished = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1)); // no need to spin hot
        return QL_OK;
    }
    void Hold()
    {
        std::lock_guard lock(mGateMutex);
        mOpen = false;
    }
    void Open()
    {
        std::lock_guard lock(mGateMutex);
        mOpen = true;
        mGate.notify_all();
    }
    Seen seen;

private:
    int mPasses;
    bool* mDeleted;
    std::mutex mGateMutex;
    std::condition_variable mGate;
    bool mOpen = true;
};

class TestApplication : public app::Application
{
public:
    QLResultEnum Update(float dt) override
    {
        ++updates;
        return app::Application::Update(dt);
    }
    std::atomic<int> updates{0};
};

class WorkerThread : public ::testing::Test
{
protected:
    void SetUp() override { mApplication = new TestApplication(); }
    void TearDown() override { base::SingletoneBase::DestroyAll(); }

    bool Listed(const app::ThreadWin32* worker) const
    {
        const auto& workers = mApplication->Workers();
        return std::find(workers.begin(), workers.end(), worker) != workers.end();
    }
    // The application's update, pass after pass, until no worker is left.
    bool CollectAll()
    {
        return WaitUntil(
            [this]
            {
                (void)mApplication->Update(0);
                return mApplication->Workers().empty();
            });
    }

    TestApplication* mApplication = nullptr;
};
} // namespace

TEST_F(WorkerThread, PriorityLevelsFollowTheTableAndReachTheRunningThread)
{
    const struct
    {
        int level;
        app::ThreadPriority priority;
    } table[] = {
        {0, app::PRIORITY_IDLE},         {1, app::PRIORITY_BELOW_NORMAL}, {2, app::PRIORITY_NORMAL},
        {3, app::PRIORITY_ABOVE_NORMAL}, {4, app::PRIORITY_HIGHEST},      {5, app::PRIORITY_TIME_CRITICAL},
        {6, app::PRIORITY_NORMAL},       {-1, app::PRIORITY_NORMAL},      {1000, app::PRIORITY_NORMAL},
    };
    for (const auto& row : table)
    {
        SCOPED_TRACE(row.level);
        Worker worker(false, 1);
        worker.SetPriority(4); // a level set before must not stick
        worker.SetPriority(row.level);
        EXPECT_EQ(worker.GetPriority(), row.priority);
    }

    // Set before the worker's first pass, relative to the nice value of the thread that made it.
    const int base = OwnNice();
    ASSERT_NE(base, -100);
    audiotest::LogCapture log;
    Worker idle(false, -1), lower(false, -1), raised(false, -1), normal(false, -1);
    ASSERT_TRUE(idle.Start(0));
    ASSERT_TRUE(lower.Start(1));
    ASSERT_TRUE(raised.Start(4));
    ASSERT_TRUE(normal.Start(2));
    for (Worker* worker : {&idle, &lower, &raised, &normal})
        ASSERT_TRUE(WaitUntil([worker] { return worker->seen.Updates() > 0; }));
    EXPECT_EQ(idle.seen().policy, SCHED_IDLE);
    EXPECT_EQ(lower.seen().policy, SCHED_OTHER);
    EXPECT_EQ(lower.seen().nice, std::min(base + 5, 19));
    EXPECT_EQ(normal.seen().policy, SCHED_OTHER);
    EXPECT_EQ(normal.seen().nice, base);
    // Raising takes a right the process may lack: then the thread keeps its nice value and the
    // log says so.
    if (raised.seen().nice != std::max(base - 10, -20))
    {
        EXPECT_EQ(raised.seen().nice, base);
        EXPECT_EQ(log.Count("A worker thread keeps its priority (level 4 asked)"), 1) << log.Text();
    }
    mApplication->Stop();
    EXPECT_TRUE(CollectAll());
}

TEST_F(WorkerThread, RunsItsSubtreeOnItsOwnThreadUntilFinishedAndIsThenRemovedByTheApplicationsUpdate)
{
    bool ownedDeleted = false;
    auto* owned = new Worker(true, 3, &ownedDeleted);
    Worker kept(false, 2);
    Child child(5); // keeps the finished worker running until it stops itself
    kept.AddTask(&child);
    owned->Hold();
    ASSERT_TRUE(owned->Start(2));
    ASSERT_TRUE(kept.Start(2));
    EXPECT_TRUE(Listed(owned));
    EXPECT_TRUE(Listed(&kept));

    // It runs at once, on a thread of its own, and is not removed while it runs.
    ASSERT_TRUE(WaitUntil([owned] { return owned->seen.Updates() > 0; }));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(mApplication->Update(0), QL_OK);
    EXPECT_TRUE(Listed(owned));
    EXPECT_FALSE(ownedDeleted);
    EXPECT_FALSE(mApplication->IsFinished()) << "a running worker keeps the application alive";
    owned->Open();

    ASSERT_TRUE(CollectAll());
    EXPECT_TRUE(ownedDeleted) << "a worker owned by its parent is deleted when removed";
    EXPECT_FALSE(Listed(&kept));
    EXPECT_TRUE(kept.IsFinished());
    EXPECT_TRUE(kept.HasNoChildren());
    EXPECT_EQ(child.seen().updates, 5);
    EXPECT_GT(kept.seen().updates, 2) << "the finished worker ran on until its child had gone";
    EXPECT_NE(kept.seen().updatedOn, std::this_thread::get_id());
    EXPECT_EQ(child.seen().updatedOn, kept.seen().updatedOn);
    EXPECT_TRUE(mApplication->IsFinished()) << "with no worker left the root finishes";
}

TEST_F(WorkerThread, TheApplicationsStopStopsARunningWorkerAndItsChildrenOnTheWorkersOwnThread)
{
    Worker worker(false, -1);
    Child child(-1);
    worker.AddTask(&child);
    ASSERT_TRUE(worker.Start(2));
    ASSERT_TRUE(WaitUntil([&] { return child.seen.Updates() > 0; }));
    (void)mApplication->Update(0);
    EXPECT_TRUE(Listed(&worker));

    mApplication->Stop();
    ASSERT_TRUE(CollectAll());
    EXPECT_TRUE(worker.IsStopping());
    EXPECT_TRUE(worker.IsFinished());
    EXPECT_TRUE(child.IsFinished());
    EXPECT_EQ(child.seen().stoppedOn, worker.seen().updatedOn) << "the stop is carried out by the worker's own loop";
    EXPECT_NE(child.seen().stoppedOn, std::this_thread::get_id());
    EXPECT_TRUE(mApplication->IsFinished());
}

TEST_F(WorkerThread, AFailedStartIsLoggedRunsNothingAndLeavesWithTheApplicationsStopOrItsOwnEnd)
{
    audiotest::LogCapture log;
    Worker worker(false, -1);
    worker.GetHandle()->mFailCreate = true;
    EXPECT_FALSE(worker.Start(3));
    EXPECT_EQ(log.Count("Cannot start a worker thread: the system refused a new thread"), 1) << log.Text();
    EXPECT_TRUE(Listed(&worker));
    (void)mApplication->Update(0);
    EXPECT_TRUE(Listed(&worker)) << "not finished: it stays registered";
    EXPECT_FALSE(mApplication->IsFinished());
    EXPECT_EQ(worker.Passes(), 0u);

    // A failed worker deleted by its owner leaves the list instead of dangling in it.
    {
        Worker dropped(false, -1);
        dropped.GetHandle()->mFailCreate = true;
        EXPECT_FALSE(dropped.Start(2));
        EXPECT_TRUE(Listed(&dropped));
    }
    EXPECT_EQ(mApplication->Workers().size(), 1u);

    mApplication->Stop(); // no thread of its own: stopped at once
    EXPECT_TRUE(worker.IsFinished());
    ASSERT_TRUE(CollectAll());
    EXPECT_EQ(worker.seen().updates, 0);
    EXPECT_TRUE(mApplication->IsFinished());
}

// Stopping with nothing left but a worker (the saver writing the last files), the main loop sleeps
// until the worker has ended instead of ticking round and round.
TEST_F(WorkerThread, AStoppingApplicationWithOnlyAWorkerLeftWaitsAsleepForIt)
{
    Worker worker(false, -1);
    worker.Hold();
    ASSERT_TRUE(worker.Start(2));
    ASSERT_TRUE(WaitUntil([&] { return worker.seen.Updates() > 0; })); // held inside a pass
    mApplication->Stop();
    // The worker goes on once the loop has spun a thousand passes, or has stood still a while.
    std::thread release(
        [&]
        {
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
            while (mApplication->updates < 1000 && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            worker.Open();
        });
    mApplication->Run();
    release.join();
    EXPECT_TRUE(mApplication->IsFinished());
    EXPECT_TRUE(worker.IsFinished());
    EXPECT_TRUE(mApplication->Workers().empty());
    EXPECT_LE(mApplication->updates, 2) << "the loop spun while the worker held it";
}
