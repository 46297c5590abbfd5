// The main loop, and workers that run it on a thread of their own.
#include "Core/App/Thread.h"

#include "Core/App/Application.h"
#include "Core/App/Timer.h"
#include "Core/Base/Log.h"
#include "Platform/Os/Error.h"
#include "Platform/Os/Thread.h"

namespace app
{
namespace
{
os::ThreadPriority ToPlatform(ThreadPriority priority)
{
    switch (priority)
    {
    case PRIORITY_IDLE: return os::ThreadPriority::Idle;
    case PRIORITY_BELOW_NORMAL: return os::ThreadPriority::BelowNormal;
    case PRIORITY_ABOVE_NORMAL: return os::ThreadPriority::AboveNormal;
    case PRIORITY_HIGHEST: return os::ThreadPriority::Highest;
    case PRIORITY_TIME_CRITICAL: return os::ThreadPriority::TimeCritical;
    case PRIORITY_NORMAL: break;
    }
    return os::ThreadPriority::Normal;
}
} // namespace

ThreadWin32::ThreadWin32(bool ownedByParent, bool finishWhenIdle, bool keepsParentAlive, bool threadSafe)
    : base::Task(ownedByParent, finishWhenIdle, keepsParentAlive, threadSafe), mHandle(std::make_unique<os::Thread>())
{
}

ThreadWin32::~ThreadWin32()
{
    if (!JoinIfEnded())
    {
        mStopRequested.store(true, std::memory_order_release);
        mHandle->Join();
    }
    if (mApplication)
        mApplication->RemoveWorker(this);
}

bool ThreadWin32::Start(int level)
{
    if (Application* application = Application::Get())
        application->AddWorker(this);
    if (!mHandle->Create(&ThreadWin32::ThreadEntry, this))
    {
        QL_LOG(L"Cannot start a worker thread: %s\n") << base::LogStyle::Error << os::LastError();
        return false;
    }
    SetPriority(level);
    // Linux makes no suspended thread: ours waits at a gate until it is let go. It goes at once,
    // with its priority set, since nothing in the engine would let it go later.
    mHandle->Resume();
    return true;
}

int ThreadWin32::ThreadEntry(void* self)
{
    static_cast<ThreadWin32*>(self)->Run();
    return 0;
}

void ThreadWin32::Run()
{
    TimerLocalWin32 timer;
    timer.Init();
    while (!(mFinished && mChildren.empty()))
    {
        // A stop asked for by another thread is carried out here, between two passes.
        if (mStopRequested.exchange(false, std::memory_order_acq_rel))
            Stop();
        timer.Update();
        ++mPasses;
        (void)Tick(timer.mDelta); // a failing pass is simply tried again next time
    }
}

void ThreadWin32::SetPriority(int level)
{
    switch (level)
    {
    case PRIORITY_IDLE:
    case PRIORITY_BELOW_NORMAL:
    case PRIORITY_ABOVE_NORMAL:
    case PRIORITY_HIGHEST:
    case PRIORITY_TIME_CRITICAL: mPriority = static_cast<ThreadPriority>(level); break;
    default: mPriority = PRIORITY_NORMAL; break;
    }
    if (mHandle->IsRunning() && !mHandle->SetPriority(ToPlatform(mPriority)))
        QL_LOG(L"A worker thread keeps its priority (level %d asked): %s\n") << level << os::LastError();
}

void ThreadWin32::RequestStop()
{
    if (JoinIfEnded())
    {
        Stop();
        return;
    }
    mStopRequested.store(true, std::memory_order_release);
    OnStopRequested();
}

bool ThreadWin32::JoinIfEnded()
{
    if (!mHandle->IsRunning())
        return true;
    if (!mHandle->HasEnded())
        return false;
    mHandle->Join();
    return true;
}
} // namespace app
