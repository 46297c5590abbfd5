// The device used when there is no sound output: it renders into nothing at the pace of a clock,
// so that tracks still end, slides still finish and playlists still advance. With no clock
// (tests) it renders only what it is asked for.
#pragma once

#include "Platform/Audio/Device.h"

#include "Platform/Base/Types.h"

#include <functional>
#include <vector>

namespace audio
{
class NullDevice : public Device
{
public:
    using Clock = std::function<double()>; // seconds
    // The real monotonic clock.
    NullDevice();
    explicit NullDevice(Clock clock);
    // A device that never renders by itself.
    static std::unique_ptr<NullDevice> Manual();

    bool Open(Mixer& mixer, std::string& error) override;
    void Close() override { mMixer = nullptr; }
    void SetPaused(bool paused) override { mPaused = paused; }
    void Update() override;
    std::string Name() const override { return "null"; }

    // Renders frames now (for tests and tools) and returns them, interleaved stereo.
    const std::vector<float>& Pull(u32 frames);

private:
    Mixer* mMixer = nullptr;
    Clock mClock;
    double mLast = 0.0;
    double mCarry = 0.0;
    bool mPaused = false;
    std::vector<float> mBuffer;
};
} // namespace audio
