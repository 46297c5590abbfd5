// Headless video: a window that exists only in memory and is fed synthetic events.
#pragma once

#include "Platform/Os/FrameLimiter.h"
#include "Platform/Os/Video.h"

#include <deque>
#include <string>
#include <vector>

namespace os
{
class NullWindow : public Window
{
public:
    QLResultEnum Create(const WindowDesc& desc) override;
    void Destroy() override;
    bool IsCreated() const override { return mCreated; }
    bool PollEvent(Event& event) override;
    QLResultEnum SetWindowed(int x, int y, int clientWidth, int clientHeight) override;
    QLResultEnum SetFullscreen(int width, int height) override;
    void SetCaption(const std::wstring& caption) override { mDesc.caption = caption; }
    QLResultEnum SetIcon(int width, int height, const u32* pixels) override;
    void Show() override { mVisible = true; }
    void Hide() override { mVisible = false; }
    void Raise() override { ++mRaised; }
    void GetClientSize(int& width, int& height) const override;
    std::unique_ptr<gpu::Device> CreateDevice() override;
    void SwapBuffers() override { ++mSwaps; }
    bool GetFrameExtents(int& left, int& top, int& right, int& bottom) const override;
    // Paced as the real window is without vertical sync (60 Hz, half that on a calm screen),
    // unless free-running.
    void PaceFrame(bool calm) override;
    double PacedRate(bool* vsync) const override;

    void Push(const Event& event) { mQueue.push_back(event); }
    const WindowDesc& Desc() const { return mDesc; }
    bool IsVisible() const { return mVisible; }
    int Swaps() const { return mSwaps; }
    int Raised() const { return mRaised; }
    int Destroyed() const { return mDestroyed; }
    // The icon last set: its size and pixels (none: 0 x 0).
    int IconWidth() const { return mIconWidth; }
    int IconHeight() const { return mIconHeight; }
    const std::vector<u32>& IconPixels() const { return mIcon; }

    bool mFailCreate = false; // tests: make Create refuse
    // Tests: a driver that offers only this OpenGL version, so that Create fails as SDL's does.
    std::string mOfferedGl;
    int mFrame[4] = {0, 0, 0, 0}; // left, top, right, bottom once created: a window manager's frame
    bool mFrameKnown = false;
    // Frames as fast as they come (tests and benchmarks that step frames themselves).
    bool mFreeRunning = false;
    // The recording device keeps every call (tests that count calls over many frames), not only
    // the last frame's.
    bool mKeepAllCalls = false;

private:
    void UpdatePacing();

    bool mCreated = false;
    bool mVisible = false;
    int mSwaps = 0;
    int mRaised = 0;
    int mDestroyed = 0;
    WindowDesc mDesc;
    std::deque<Event> mQueue;
    int mIconWidth = 0;
    int mIconHeight = 0;
    std::vector<u32> mIcon;
    FrameLimiter mLimiter;
    bool mHalfRate = false;
};

class NullVideoDriver : public VideoDriver
{
public:
    NullVideoDriver(); // one 1920 x 1080 display with a 1920 x 1040 work area
    const char* Name() const override { return "null"; }
    bool EnumDisplays(std::vector<Display>& out) override;
    std::unique_ptr<Window> CreateWindow() override;
    void FrameSize(int& width, int& height) const override;

    std::vector<Display> mDisplays;
    int mFrameWidth = 0;
    int mFrameHeight = 0;
    // The frame its windows report once created (left, top, right, bottom), as a window manager
    // tells it only after mapping; none when not set.
    bool mWindowFrameKnown = false;
    int mWindowFrame[4] = {0, 0, 0, 0};
    // The windows handed out, newest last (owned by their callers; valid while those live).
    std::vector<NullWindow*> mWindows;
    bool mFailCreate = false;
    std::string mOfferedGl;     // handed to the windows (NullWindow::mOfferedGl)
    bool mFreeRunning = false;  // handed to the windows (NullWindow::mFreeRunning)
    bool mKeepAllCalls = false; // handed to the windows (NullWindow::mKeepAllCalls)
};
} // namespace os
