// Silent output paced by a clock.
#include "Platform/Audio/NullDevice.h"

#include "Platform/Audio/Mixer.h"

#include <chrono>

namespace audio
{
NullDevice::NullDevice()
    : NullDevice(
          []
          {
              using namespace std::chrono;
              return duration<double>(steady_clock::now().time_since_epoch()).count();
          })
{
}

NullDevice::NullDevice(Clock clock) : mClock(std::move(clock)) {}

std::unique_ptr<NullDevice> NullDevice::Manual() { return std::make_unique<NullDevice>(Clock()); }

bool NullDevice::Open(Mixer& mixer, std::string&)
{
    mMixer = &mixer;
    mLast = mClock ? mClock() : 0.0;
    mCarry = 0.0;
    return true;
}

void NullDevice::Update()
{
    if (!mMixer || !mClock)
        return;
    double now = mClock();
    double elapsed = now - mLast;
    mLast = now;
    if (mPaused || elapsed <= 0.0)
        return;
    // A long stall (a breakpoint, a suspended machine) is not caught up beyond a quarter second.
    if (elapsed > 0.25)
        elapsed = 0.25;
    double frames = elapsed * kOutputRate + mCarry;
    u32 whole = static_cast<u32>(frames);
    mCarry = frames - whole;
    if (whole)
        Pull(whole);
}

const std::vector<float>& NullDevice::Pull(u32 frames)
{
    mBuffer.resize(static_cast<size_t>(frames) * 2);
    if (mMixer)
        mMixer->Render(mBuffer.data(), frames);
    return mBuffer;
}
} // namespace audio
