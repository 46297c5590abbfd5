// Game window task and the renderer's view of it.
#include "Framework/GameWindow.h"

#include "Core/Base/Log.h"
#include "Framework/GameApplication.h"
#include "Framework/WindowIcon.h"
#include "Platform/Gpu/Device.h"
#include "Platform/Os/Error.h"
#include "Platform/Os/Video.h"

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
    WatchFrame(dt);
    QLResultEnum result;
    if (mSwitchRequested)
    {
        mSwitchRequested = false;
        mResizeRequested = false;
        result = mApplication->SwitchScreenMode();
    }
    else if (mResizeRequested)
    {
        mResizeRequested = false;
        result = mApplication->FitToClientSize(mClientWidth, mClientHeight);
    }
    else
        result = mApplication->FrameStep(dt);
    // One pass per refresh of the display, skipped frames (a minimised window) included.
    mWindow->PaceFrame(mApplication->IsCalmScreen());
    return result;
}

void GameWindow::WatchFrame(float dt)
{
    if (mFrameWatch <= 0.0f)
        return;
    // A frame that shows up later than this comes after the player may have moved the window.
    mFrameWatch -= dt;
    int left = 0, top = 0, right = 0, bottom = 0;
    if (!IsWindowed() || !mWindow->GetFrameExtents(left, top, right, bottom) || left + top + right + bottom == 0)
        return;
    mFrameWatch = 0.0f;
    mApplication->FitToWindowFrame();
}

void GameWindow::OnCreated()
{
    // One picture for every place the desktop shows it: the desktop scales it to each.
    WindowIcon icon;
    std::string why;
    if (!ReadWindowIcon(kWindowIconPath, icon, why))
        QL_LOG(L"The window has no icon: '%s': %s\n") << base::LogStyle::Error << kWindowIconPath << why;
    else if (mWindow->SetIcon(icon.width, icon.height, icon.pixels.data()))
        QL_LOG(L"The window has no icon: '%s' was refused: %s\n")
            << base::LogStyle::Error << kWindowIconPath << os::LastError();
}

void GameWindow::OnActivate() { mApplication->OnResume(); }
void GameWindow::OnDeactivate() { mApplication->OnPause(); }

std::unique_ptr<gpu::Device> GameWindow::CreateDevice()
{
    // The window's driver makes it: GL on the window's context, or the headless recording device.
    return mWindow ? mWindow->CreateDevice() : nullptr;
}

void GameWindow::OnUnsupportedDevice()
{
    mApplication->SetShaderError();
    mApplication->NoteEndCause("a display that cannot run the game's shaders");
    mApplication->Stop();
}
} // namespace framework
