// An audio output that pulls frames from the mixer: SDL, or the null device.
#pragma once

#include <memory>
#include <string>

namespace audio
{
class Mixer;

class Device
{
public:
    virtual ~Device() = default;
    // Starts pulling from the mixer. False (with `error` set) when there is no output.
    virtual bool Open(Mixer& mixer, std::string& error) = 0;
    virtual void Close() = 0;
    virtual void SetPaused(bool paused) = 0;
    // Called on the main thread once a frame.
    virtual void Update() {}
    virtual std::string Name() const = 0;
};

using DeviceFactory = std::unique_ptr<Device> (*)();

// The output for this process: the factory when one is set, else the null device when the
// program runs headless (os::IsHeadless), else SDL.
std::unique_ptr<Device> CreateDevice();
// Tests pick their own output (a manual null device); null goes back to the platform's choice.
void SetDeviceFactory(DeviceFactory factory);
} // namespace audio
