// Game window task and the renderer's view of it.
#include "Framework/GameWindow.h"

#include "Framework/GameApplication.h"
#include "Platform/Gpu/Device.h"
#include "Platform/Gpu/RecordingDevice.h"
#include "Platform/Gpu/SdlGlContext.h"

namespace framework
{
// Not owned by its parent, not finishing when idle, keeps the application alive.
GameWindow::GameWindow(input::InputWin32* input, GameApplication* application)
    : app::Window(input, false, false, true), mApplication(application)
{
}

GameWindow::~GameWindow() = default;

QLResultEnum GameWindow::Update(float dt)
{
    if (QLResultEnum r = app::Window::Update(dt))
        return r;
    if (mDestroyed)
        return QL_OK;
    QLResultEnum result;
    if (mSwitchRequested)
    {
        mSwitchRequested = false;
        result = mApplication->SwitchScreenMode();
    }
    else
        result = mApplication->FrameStep(dt);
    // One pass per refresh of the display, skipped frames (a minimised window) included.
    mWindow->PaceFrame();
    return result;
}

void GameWindow::OnActivate() { mApplication->OnResume(); }
void GameWindow::OnDeactivate() { mApplication->OnPause(); }

std::unique_ptr<gpu::Device> GameWindow::CreateDevice()
{
    auto* sdlWindow = mWindow ? static_cast<SDL_Window*>(mWindow->NativeHandle()) : nullptr;
    if (!sdlWindow)
        return std::make_unique<gpu::RecordingDevice>(); // the headless video driver
    mContext = std::make_unique<gpu::SdlGlContext>(sdlWindow);
    return gpu::CreateGlDevice(mContext.get());
}

void GameWindow::OnUnsupportedDevice()
{
    mApplication->SetShaderError();
    mApplication->Stop();
}
} // namespace framework
