// Frame limiter schedule.
#include "Platform/Os/FrameLimiter.h"

#include <thread>

namespace os
{
void FrameLimiter::SetRate(double hertz)
{
    mRate = hertz > 0.0 ? hertz : 0.0;
    mPeriod = mRate > 0.0 ? std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / mRate))
                          : Clock::duration{};
    mStarted = false;
}

FrameLimiter::Clock::duration FrameLimiter::Wait(Clock::time_point now)
{
    if (mPeriod <= Clock::duration::zero())
        return Clock::duration::zero();
    if (!mStarted)
    {
        mStarted = true;
        mDue = now;
    }
    mDue += mPeriod;
    if (mDue > now)
        return mDue - now;
    if (now - mDue > mPeriod)
        mDue = now;
    return Clock::duration::zero();
}
void FrameLimiter::SleepToNextFrame()
{
    const Clock::duration wait = Wait(Clock::now());
    if (wait > Clock::duration::zero())
        std::this_thread::sleep_for(wait);
}
} // namespace os
