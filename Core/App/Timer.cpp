// The high-resolution counter is the steady clock in nanoseconds.
#include "Core/App/Timer.h"

#include <chrono>

namespace app
{
u64 TimerLocalWin32::Counter()
{
    return static_cast<u64>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

void TimerLocalWin32::Init()
{
    mFrequency = 1000000000ull;
    mLast = Counter();
}

void TimerLocalWin32::Update()
{
    const u64 now = Counter();
    mDelta = static_cast<float>(static_cast<double>(now - mLast) / static_cast<double>(mFrequency));
    mLast = now;
}
} // namespace app
