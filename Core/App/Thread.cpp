// The main loop.
#include "Core/App/Thread.h"

#include "Core/App/Timer.h"

namespace app
{
void ThreadWin32::Run()
{
    TimerLocalWin32 timer;
    timer.Init();
    while (!(mFinished && mChildren.empty()))
    {
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
}
} // namespace app
