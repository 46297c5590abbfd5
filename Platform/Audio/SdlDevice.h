// Output through SDL2's audio device: 44.1 kHz, 16-bit stereo. The callback only copies out
// what the mixer renders.
#pragma once

#include "Platform/Audio/Device.h"

#include "Platform/Base/Types.h"

namespace audio
{
class SdlDevice : public Device
{
public:
    ~SdlDevice() override;
    bool Open(Mixer& mixer, std::string& error) override;
    void Close() override;
    void SetPaused(bool paused) override;
    std::string Name() const override { return mDriver.empty() ? "sdl" : "sdl:" + mDriver; }

private:
    static void Callback(void* user, u8* stream, int length);

    Mixer* mMixer = nullptr;
    u32 mDevice = 0;
    bool mSubsystem = false;
    std::string mDriver;
};
} // namespace audio
