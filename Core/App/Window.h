// The game's top-level window as a task: its update pumps the window's events, closing it ends
// the task, and events become input calls, activation changes and the Alt+Enter switch request.
#pragma once

#include "Core/App/Task.h"

#include <memory>
#include <string>

namespace input
{
class InputWin32;
}
namespace os
{
class Window;
struct Event;
} // namespace os

namespace app
{
class WindowWin32 : public base::Task
{
public:
    // The window task is always thread-safe.
    WindowWin32(input::InputWin32* input, bool ownedByParent, bool finishWhenIdle, bool keepsParentAlive);
    ~WindowWin32() override;

    // Creates and shows the platform window; 1 when the platform refuses.
    QLResultEnum Create(int x, int y, int outerWidth, int outerHeight, int clientWidth, int clientHeight, bool windowed,
                        const std::wstring& caption);
    os::Window* GetHWND() const { return mWindow.get(); }

    QLResultEnum SetWindowedSize(int outerWidth, int outerHeight);
    // Where the window goes the next time it is windowed.
    void SetPosition(int x, int y)
    {
        mX = x;
        mY = y;
    }
    QLResultEnum SwitchWindowMode(int outerWidth, int outerHeight, bool windowed);
    // Outer size of a decorated window around the client size, and the reverse: the shown
    // window's own frame once it is known, else the platform's (0 before any window shows).
    void WindowSizeForClient(int clientWidth, int clientHeight, int& outerWidth, int& outerHeight) const;
    void ClientSizeForWindow(int outerWidth, int outerHeight, int& clientWidth, int& clientHeight) const;
    void SetCaption(const std::wstring& caption);

    QLResultEnum Update(float dt) override;
    void OnStop() override { mCloseRequested = true; }
    virtual bool CanClose() { return true; }
    virtual void OnActivate() {}
    virtual void OnDeactivate() {}
    virtual void OnCreated() {}

    // One platform event, as the window procedure would see it.
    void HandleEvent(const os::Event& event);

    bool IsCreated() const { return mCreated; }
    bool IsWindowed() const { return mWindowed; }
    bool IsMinimized() const { return mMinimized != 0; }
    bool IsActive() const { return mActive; }
    bool IsSwitchRequested() const { return mSwitchRequested; }
    // The player gave the window another client size since the game last fitted its view.
    bool IsResizeRequested() const { return mResizeRequested; }
    bool IsCloseRequested() const { return mCloseRequested; }
    bool IsDestroyed() const { return mDestroyed; }
    bool IsCursorInside() const { return mCursorInside; }
    int GetPositionX() const { return mX; }
    int GetPositionY() const { return mY; }
    const std::wstring& GetCaption() const { return mCaption; }

protected:
    void UpdateActive();
    void OnResized();

    std::unique_ptr<os::Window> mWindow;
    std::wstring mCaption;
    bool mCreated = false;
    int mAppActive = 1;
    bool mAltHeld = false;
    int mMinimized = 0;
    bool mActive = true;
    bool mWindowed = true;
    int mX = 0;
    int mY = 0;
    int mOuterWidth = 800;
    int mOuterHeight = 600;
    int mClientWidth = 800;
    int mClientHeight = 600;
    bool mCloseRequested = false;
    bool mDestroyed = false;
    bool mSwitchRequested = false;
    bool mResizeRequested = false;
    bool mCursorInside = false;
    input::InputWin32* mInput;
};

class Window : public WindowWin32
{
public:
    using WindowWin32::WindowWin32;
    // Outer size.
    int GetWidth() const { return mOuterWidth; }
    int GetHeight() const { return mOuterHeight; }
    int GetClientWidth() const { return mClientWidth; }
    int GetClientHeight() const { return mClientHeight; }
};
} // namespace app
