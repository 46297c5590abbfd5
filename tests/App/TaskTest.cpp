// The task tree and the main loop: tick order, added and ended children, idle roots and the timer.
#include "Core/App/Task.h"
#include "Core/App/Thread.h"
#include "Core/App/Timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace
{
// Records every Start/Update/OnStop into a shared journal.
class Probe : public base::Task
{
public:
    Probe(std::vector<std::string>& journal, std::string name, bool owned = false, bool finishWhenIdle = false,
          bool keepsParent = false, bool* deleted = nullptr)
        : base::Task(owned, finishWhenIdle, keepsParent, false), mJournal(journal), mName(std::move(name)),
          mDeleted(deleted)
    {
    }
    ~Probe() override
    {
        if (mDeleted)
            *mDeleted = true;
    }
    QLResultEnum Start() override
    {
        mJournal.push_back(mName + ".start");
        return mStartResult;
    }
    QLResultEnum Update(float) override
    {
        mJournal.push_back(mName + ".update");
        if (mAddOnUpdate)
        {
            AddTask(mAddOnUpdate);
            mAddOnUpdate = nullptr;
        }
        return mUpdateResult;
    }
    void OnStop() override
    {
        mJournal.push_back(mName + ".stop");
        base::Task::OnStop();
    }
    void Finish() { mFinished = true; }

    QLResultEnum mStartResult = QL_OK;
    QLResultEnum mUpdateResult = QL_OK;
    base::Task* mAddOnUpdate = nullptr;

private:
    std::vector<std::string>& mJournal;
    std::string mName;
    bool* mDeleted;
};
} // namespace

TEST(Task, StartsOnceTicksChildrenFirstStopsDepthFirstTicksAddedTasksNextPassAndFailuresAbortThePass)
{
    std::vector<std::string> j;
    Probe root(j, "root");
    Probe a(j, "a"), b(j, "b");
    root.AddTask(&a);
    root.AddTask(&b);
    (void)root.Tick(0.1f); // children merged after this pass's (empty) child walk
    EXPECT_EQ(QL_OK, root.Tick(0.1f));
    const std::vector<std::string> expected = {"root.start", "root.update", "a.start",    "a.update",
                                               "b.start",    "b.update",    "root.update"};
    EXPECT_EQ(j, expected);

    // A stop cascades depth first, before the task itself.
    Probe a1(j, "a1");
    a.AddTask(&a1);
    EXPECT_EQ(QL_OK, root.Tick(0));
    j.clear();
    root.Stop();
    EXPECT_EQ(j, (std::vector<std::string>{"a1.stop", "a.stop", "b.stop", "root.stop"}));
    EXPECT_TRUE(root.IsStopping());
    EXPECT_TRUE(a1.IsFinished());
    EXPECT_EQ(QL_OK, root.Tick(0));
    EXPECT_EQ(QL_OK, root.Tick(0));

    // A task added during a pass is first ticked in the next pass.
    Probe top(j, "root");
    Probe adder(j, "adder"), late(j, "late");
    adder.mAddOnUpdate = &late; // adder queues "late" as its own child during its update
    top.AddTask(&adder);
    (void)top.Tick(0); // adder merged
    (void)top.Tick(0); // adder starts and queues late
    EXPECT_EQ(adder.PendingCount(), 1u);
    j.clear();
    (void)top.Tick(0); // merged after adder's child walk: a child now, not ticked yet
    EXPECT_EQ(adder.Children().size(), 1u);
    EXPECT_FALSE(late.IsStarted());
    EXPECT_EQ(QL_OK, top.Tick(0));
    EXPECT_TRUE(late.IsStarted());
    EXPECT_EQ(j, (std::vector<std::string>{"adder.update", "root.update", "late.start", "late.update", "adder.update",
                                           "root.update"}));

    // A failing start is not retried; a failing child aborts the pass.
    j.clear();
    Probe t(j, "t");
    Probe child(j, "child");
    t.mStartResult = QL_FAIL;
    t.AddTask(&child);
    EXPECT_EQ(t.Tick(0), QL_FAIL);
    EXPECT_EQ(t.Tick(0), QL_OK);
    EXPECT_EQ(t.Tick(0), QL_OK);
    EXPECT_EQ(j, (std::vector<std::string>{"t.start", "t.update", "child.start", "child.update", "t.update"}));

    // A failing child aborts the pass without merge or removal.
    Probe failing(j, "failing");
    Probe bad(j, "bad"), after(j, "after"), done(j, "done"), queued(j, "queued");
    failing.AddTask(&done);
    failing.AddTask(&bad);
    failing.AddTask(&after);
    EXPECT_EQ(QL_OK, failing.Tick(0));
    done.Finish();
    bad.mUpdateResult = QL_FAIL;
    failing.AddTask(&queued);
    j.clear();
    EXPECT_EQ(failing.Tick(0), QL_FAIL);
    EXPECT_EQ(j, (std::vector<std::string>{"bad.start", "bad.update"})); // "after" not ticked, its own update skipped
    EXPECT_EQ(failing.Children().size(), 3u);
    EXPECT_EQ(failing.PendingCount(), 1u);
}

TEST(Task, EndedChildrenAreRemovedOnlyOwnedOnesDeletedParentsWaitForTheirChildrenAndIdleRootsStop)
{
    std::vector<std::string> j;
    Probe root(j, "root");
    bool ownedDeleted = false, keptDeleted = false;
    auto* owned = new Probe(j, "owned", true, false, false, &ownedDeleted);
    Probe kept(j, "kept", false, false, false, &keptDeleted);
    root.AddTask(owned);
    root.AddTask(&kept);
    EXPECT_EQ(QL_OK, root.Tick(0));
    owned->Stop();
    kept.Stop();
    EXPECT_EQ(QL_OK, root.Tick(0));
    EXPECT_TRUE(root.HasNoChildren());
    EXPECT_TRUE(ownedDeleted);
    EXPECT_FALSE(keptDeleted);

    // A finished task with children keeps ticking until its last child is gone.
    Probe parent(j, "parent"), child(j, "child");
    root.AddTask(&parent);
    parent.AddTask(&child);
    EXPECT_EQ(QL_OK, root.Tick(0));
    EXPECT_EQ(QL_OK, root.Tick(0));
    parent.Finish();
    j.clear();
    EXPECT_EQ(QL_OK, root.Tick(0));
    EXPECT_EQ(root.Children().size(), 1u);
    EXPECT_NE(std::find(j.begin(), j.end(), "child.update"), j.end());
    child.Finish();
    (void)root.Tick(0); // parent removes child; parent is now ended without children...
    (void)root.Tick(0); // ...and its parent removes it on the next pass
    EXPECT_TRUE(root.HasNoChildren());

    // An idle root stops at its first tick when nothing keeps it alive.
    Probe empty(j, "empty", false, true);
    EXPECT_EQ(QL_OK, empty.Tick(0));
    EXPECT_TRUE(empty.IsStopping());

    Probe idle(j, "idle", false, true);
    Probe helper(j, "helper"); // does not keep its parent alive
    idle.AddTask(&helper);
    (void)idle.Tick(0); // helper merged before the idle check and keeps nobody alive
    EXPECT_TRUE(idle.IsStopping());
    EXPECT_TRUE(helper.IsStopping());
    Probe alive(j, "alive", false, true);
    Probe keeper(j, "keeper", false, false, true);
    alive.AddTask(&keeper);
    EXPECT_EQ(QL_OK, alive.Tick(0));
    EXPECT_EQ(QL_OK, alive.Tick(0));
    EXPECT_FALSE(alive.IsStopping());
    keeper.Stop();
    (void)alive.Tick(0); // keeper removed in the child walk, then the idle check stops the root
    EXPECT_TRUE(alive.IsStopping());
}

namespace
{
class LoopRoot : public app::Thread
{
public:
    LoopRoot() : app::Thread(false, true, true, false) {}
    QLResultEnum Update(float dt) override
    {
        mFinished = true; // like the application: finished whenever asked, alive through its children
        mDts.push_back(dt);
        return QL_OK;
    }
    std::vector<float> mDts; // one per pass
};

class CountDown : public base::Task
{
public:
    explicit CountDown(int passes) : base::Task(false, false, true, false), mLeft(passes) {}
    QLResultEnum Update(float) override
    {
        std::this_thread::sleep_for(kPassLength);
        if (--mLeft == 0)
            Stop();
        return QL_OK;
    }
    static constexpr std::chrono::milliseconds kPassLength{5};
    int mLeft;
};
} // namespace

TEST(MainLoop, EndsWhenTheLastChildTaskHasGoneWithTheTimersSecondsSinceItsLastUpdate)
{
    LoopRoot root;
    CountDown child(5);
    root.AddTask(&child);
    root.Run();
    EXPECT_EQ(child.mLeft, 0);
    EXPECT_TRUE(root.HasNoChildren());
    // Pass 1 merges; passes 2-6 tick the child, which stops in pass 6 and is removed in the
    // same child walk; the root then finishes and the loop ends.
    EXPECT_EQ(root.Passes(), 6u);
    // Each pass gets the seconds since the one before: from pass 3 on, at least the child's
    // sleep in the pass before (5 ms, not 5 and not 5 million).
    ASSERT_EQ(root.mDts.size(), 6u);
    for (size_t pass = 3; pass <= 6; ++pass)
    {
        EXPECT_GE(root.mDts[pass - 1], 0.0049f) << "pass " << pass;
        EXPECT_LT(root.mDts[pass - 1], 4.0f) << "pass " << pass;
    }
    // The timer gives the seconds since its last update.
    app::TimerLocalWin32 timer;
    timer.Init();
    const u64 started = timer.mLast;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    timer.Update();
    EXPECT_GE(timer.mDelta, 0.019f); // seconds, not milliseconds or counter ticks
    EXPECT_LT(timer.mDelta, 60.0f);
    EXPECT_FLOAT_EQ(timer.mDelta, static_cast<float>(static_cast<double>(timer.mLast - started) / 1e9));
    const u64 previous = timer.mLast;
    timer.Update(); // measured from the previous update, not from Init
    EXPECT_FLOAT_EQ(timer.mDelta, static_cast<float>(static_cast<double>(timer.mLast - previous) / 1e9));
}

TEST(Task, AThreadSafeTaskTakesAdditionsFromSeveralThreadsAtOnce)
{
    base::Task root(false, false, false, true);
    base::Task child;
    constexpr size_t kThreads = 4, kEach = 50000;
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (size_t n = 0; n < kThreads; ++n)
        threads.emplace_back(
            [&]
            {
                while (!go)
                    std::this_thread::yield();
                for (size_t i = 0; i < kEach; ++i)
                    root.AddTask(&child);
            });
    go = true;
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(kThreads * kEach, root.PendingCount());
}
