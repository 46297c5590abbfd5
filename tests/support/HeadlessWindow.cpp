// Headless window: a recording device or GL on an EGL context.
#include "support/HeadlessWindow.h"

#include "Platform/Gpu/Device.h"
#include "Platform/Gpu/EglContext.h"
#include "Platform/Gpu/RecordingDevice.h"

namespace render
{
HeadlessWindow::HeadlessWindow(Backend backend) : mBackend(backend)
{
    if (backend == Backend::Gl)
        mContext = gpu::EglContext::Create(&mWhy);
}

HeadlessWindow::~HeadlessWindow() = default;

bool HeadlessWindow::IsAvailable() const { return mBackend == Backend::Recording || mContext != nullptr; }

std::unique_ptr<gpu::Device> HeadlessWindow::CreateDevice()
{
    if (mBackend == Backend::Recording)
    {
        // Tests read the calls of several frames.
        auto device = std::make_unique<gpu::RecordingDevice>(gpu::RecordingDevice::Keep::All);
        mRecording = device.get();
        return device;
    }
    if (!mContext)
        return nullptr;
    return gpu::CreateGlDevice(mContext.get());
}
} // namespace render
