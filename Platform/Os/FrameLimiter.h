// Frame pacing by sleeping: one frame per period, on a schedule that does not drift.
#pragma once

#include <chrono>

namespace os
{
class FrameLimiter
{
public:
    using Clock = std::chrono::steady_clock;

    // Frames per second; 0 or less leaves the frames unpaced.
    void SetRate(double hertz);
    double GetRate() const { return mRate; }
    // How long to sleep at the end of a frame that ends at `now`. A frame that ran late moves
    // the schedule on to `now` once it is more than a whole period behind, so that a long frame
    // (a level loading) is not followed by a burst of unpaced ones.
    Clock::duration Wait(Clock::time_point now);
    // Sleeps what Wait asks for a frame that ends now.
    void SleepToNextFrame();

private:
    double mRate = 0.0;
    Clock::duration mPeriod{};
    Clock::time_point mDue{};
    bool mStarted = false;
};
} // namespace os
