// SDL2 video: the game window with its OpenGL 3.3 core context, events and displays.
#pragma once

#include "Platform/Gpu/Context.h"
#include "Platform/Os/FrameLimiter.h"
#include "Platform/Os/SdlEvents.h"
#include "Platform/Os/Video.h"

#include <memory>
#include <string>

struct SDL_Window;

namespace os
{
class SdlWindow : public Window
{
public:
    SdlWindow(bool usable, std::string whyUnusable) : mUsable(usable), mWhyUnusable(std::move(whyUnusable)) {}
    ~SdlWindow() override;
    QLResultEnum Create(const WindowDesc& desc) override;
    void Destroy() override;
    bool IsCreated() const override { return mWindow != nullptr; }
    bool PollEvent(Event& event) override;
    QLResultEnum SetWindowed(int x, int y, int clientWidth, int clientHeight) override;
    QLResultEnum SetFullscreen(int width, int height) override;
    void SetCaption(const std::wstring& caption) override;
    QLResultEnum SetIcon(int width, int height, const u32* pixels) override;
    void Show() override;
    void Hide() override;
    void Raise() override;
    void GetClientSize(int& width, int& height) const override;
    std::unique_ptr<gpu::Device> CreateDevice() override;
    void SwapBuffers() override;
    // SDL's borders of the window (set by the window manager once the window is mapped).
    bool GetFrameExtents(int& left, int& top, int& right, int& bottom) const override;
    void PaceFrame(bool calm) override;
    double PacedRate(bool* vsync) const override;

private:
    // The limiter follows the refresh rate of the display the window is on (60 Hz when unknown).
    void UpdatePacing();

    bool mUsable;
    std::string mWhyUnusable;
    SDL_Window* mWindow = nullptr;
    void* mContext = nullptr;
    std::unique_ptr<gpu::Context> mGpuContext; // the GPU layer's view of mContext
    SdlEventTranslator mEvents;
    bool mPaced = false; // off for SDL's invisible drivers (tests)
    bool mVsync = false;
    bool mHalfRate = false; // a calm screen without vertical sync
    FrameLimiter mLimiter;
};

class SdlVideoDriver : public VideoDriver
{
public:
    SdlVideoDriver();
    ~SdlVideoDriver() override;
    const char* Name() const override { return "sdl"; }
    bool EnumDisplays(std::vector<Display>& out) override;
    std::unique_ptr<Window> CreateWindow() override;
    void FrameSize(int& width, int& height) const override;
    bool IsReady() const { return mReady; }

private:
    bool mReady = false;
};
} // namespace os
