// What the renderer needs of the window it draws into: its mode, its state and its device.
#pragma once

#include <memory>

namespace gpu
{
class Device;
}

namespace render
{
class RenderWindow
{
public:
    virtual ~RenderWindow() = default;
    virtual bool IsWindowed() const = 0;
    virtual bool IsMinimized() const = 0;
    // The application is active and the window is not minimised.
    virtual bool IsActive() const = 0;
    // The device that draws into this window (the GL device of its context, or a headless one).
    virtual std::unique_ptr<gpu::Device> CreateDevice() = 0;
    // The adapter cannot run the game's shaders: the application records it and stops.
    virtual void OnUnsupportedDevice() {}
};
} // namespace render
