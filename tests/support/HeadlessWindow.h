// A render window without a screen (tests, benchmarks, tools): draws through a headless GL
// context or the recording device, with mode and state flags that tests set.
#pragma once

#include "Core/Render/RenderWindow.h"

#include <memory>
#include <string>

namespace gpu
{
class Context;
class RecordingDevice;
} // namespace gpu

namespace render
{
class HeadlessWindow : public RenderWindow
{
public:
    enum class Backend
    {
        Recording,
        Gl,
    };
    explicit HeadlessWindow(Backend backend);
    ~HeadlessWindow() override;

    // False when the GL backend was asked for and no headless context could be made.
    bool IsAvailable() const;
    const std::string& WhyUnavailable() const { return mWhy; }

    bool IsWindowed() const override { return mWindowed; }
    bool IsMinimized() const override { return mMinimized; }
    bool IsActive() const override { return mActive && !mMinimized; }
    std::unique_ptr<gpu::Device> CreateDevice() override;
    void OnUnsupportedDevice() override { mUnsupported = true; }

    // The recording device handed out last (Recording backend), owned by the render.
    gpu::RecordingDevice* GetRecordingDevice() const { return mRecording; }

    bool mWindowed = true;
    bool mMinimized = false;
    bool mActive = true;
    bool mUnsupported = false;

private:
    Backend mBackend;
    std::unique_ptr<gpu::Context> mContext;
    gpu::RecordingDevice* mRecording = nullptr;
    std::string mWhy;
};
} // namespace render
