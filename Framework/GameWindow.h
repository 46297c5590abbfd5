// The game's window: its update runs the application's frame step, or the screen-mode switch
// when Alt+Enter asked for one; it is also what the renderer draws into.
#pragma once

#include "Core/App/Window.h"
#include "Core/Render/RenderWindow.h"

#include <memory>

namespace framework
{
class GameApplication;

class GameWindow : public app::Window, public render::RenderWindow
{
public:
    GameWindow(input::InputWin32* input, GameApplication* application);
    ~GameWindow() override;

    QLResultEnum Update(float dt) override;
    void OnActivate() override;
    void OnDeactivate() override;
    // Gives the new window its icon; a missing or damaged picture is logged and leaves none.
    void OnCreated() override;

    bool IsWindowed() const override { return app::Window::IsWindowed(); }
    bool IsMinimized() const override { return app::Window::IsMinimized(); }
    bool IsActive() const override { return app::Window::IsActive(); }
    std::unique_ptr<gpu::Device> CreateDevice() override;
    void OnUnsupportedDevice() override;

private:
    // Until the window manager has told its frame (for the first seconds), once per pass.
    void WatchFrame(float dt);

    GameApplication* mApplication;
    float mFrameWatch = 3.0f;
};
} // namespace framework
