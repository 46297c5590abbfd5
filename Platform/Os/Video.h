// The platform's windowing: one top-level window, its events, and the list of displays.
#pragma once

#include "Platform/Base/Types.h"
#include "Platform/Os/Event.h"

#include <memory>
#include <string>
#include <vector>

namespace gpu
{
class Device;
}

namespace os
{
struct Rect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

struct Display
{
    Rect bounds;
    Rect workArea; // bounds minus panels and docks
    bool primary = false;
};

struct WindowDesc
{
    int x = 0; // outer position (windowed mode)
    int y = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    bool windowed = true;
    std::wstring caption;
};

class Window
{
public:
    virtual ~Window() = default;
    // Creates and shows the window; 1 when the platform refuses.
    virtual QLResultEnum Create(const WindowDesc& desc) = 0;
    virtual void Destroy() = 0;
    virtual bool IsCreated() const = 0;
    // Next pending event of this window; false when none is left.
    virtual bool PollEvent(Event& event) = 0;
    virtual QLResultEnum SetWindowed(int x, int y, int clientWidth, int clientHeight) = 0;
    virtual QLResultEnum SetFullscreen(int width, int height) = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;
    // The picture the desktop shows for the window (task bar, window switcher): width x height
    // pixels 0xAARRGGBB, top row first. 1 when the platform refuses it (os::LastError says why).
    virtual QLResultEnum SetIcon(int width, int height, const u32* pixels) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void Raise() = 0;
    virtual void GetClientSize(int& width, int& height) const = 0;
    // The device that draws into the created window: GL on its context, or the recording
    // device of the headless window. Null when the window has none.
    virtual std::unique_ptr<gpu::Device> CreateDevice() = 0;
    virtual void SwapBuffers() = 0;
    // The window manager's frame around the client area, known once the window shows; false
    // while it is not (before creation, or a platform that cannot tell).
    virtual bool GetFrameExtents(int& left, int& top, int& right, int& bottom) const
    {
        left = top = right = bottom = 0;
        return false;
    }
    // Called once per pass of the main loop: waits until the next frame is due. Vertical sync
    // paces presenting where the display gives it; a sleeping limiter at the display's refresh
    // rate stands in where it does not (and backs it up). The headless window is paced by the
    // limiter alone, unless its driver was asked for free-running frames.
    // A calm screen (nothing on it moves fast) is paced at half the rate where there is no
    // vertical sync: every frame is then the CPU's to draw.
    virtual void PaceFrame(bool calm = false) {}
    // The rate frames are paced to (0: unpaced) and whether vertical sync took.
    virtual double PacedRate(bool* vsync) const
    {
        if (vsync)
            *vsync = false;
        return 0.0;
    }
};

class VideoDriver
{
public:
    virtual ~VideoDriver() = default;
    virtual const char* Name() const = 0;
    // Displays with the primary one flagged; false when the platform cannot list them.
    virtual bool EnumDisplays(std::vector<Display>& out) = 0;
    virtual std::unique_ptr<Window> CreateWindow() = 0;
    // Frame around the client area of a decorated window that does not exist yet: left+right,
    // top+bottom (0, 0 when unknown; a window's own GetFrameExtents tells once it shows).
    virtual void FrameSize(int& width, int& height) const = 0;
};

// Why there is no window when the driver cannot give the OpenGL 3.3 core context the game draws
// with: `offered` is the version text of what it gives instead (empty when it cannot tell).
std::string NeedsOpenGl33(const std::string& offered);

// The driver for this process: "null" when the program runs headless (os::IsHeadless), else SDL.
VideoDriver& Video();
// Replaces the process driver (tests); pass null to go back to the default choice.
void SetVideoDriver(std::unique_ptr<VideoDriver> driver);
// The headless driver from now on, for work that needs no display (building packs); a headless
// driver already in place stays.
void UseHeadlessVideo();
} // namespace os
