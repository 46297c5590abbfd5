// Window task and event translation.
#include "Core/App/Window.h"

#include "Core/App/Application.h"
#include "Core/App/CriticalSection.h"
#include "Core/Base/Log.h"
#include "Core/Input/InputWin32.h"
#include "Platform/Os/Error.h"
#include "Platform/Os/InstanceLock.h"
#include "Platform/Os/Video.h"

#include <cmath>

namespace app
{
namespace
{
constexpr u32 kKeyReturn = 13;
constexpr u32 kKeyAlt = 18;
} // namespace

CriticalSection& GlobalLock()
{
    static CriticalSection lock;
    return lock;
}

WindowWin32::WindowWin32(input::InputWin32* input, bool ownedByParent, bool finishWhenIdle, bool keepsParentAlive)
    : base::Task(ownedByParent, finishWhenIdle, keepsParentAlive, true), mInput(input)
{
}

WindowWin32::~WindowWin32()
{
    if (mWindow)
        mWindow->Destroy();
}

QLResultEnum WindowWin32::Create(int x, int y, int outerWidth, int outerHeight, int clientWidth, int clientHeight,
                                 bool windowed, const std::wstring& caption)
{
    mCaption = caption;
    mX = x;
    mY = y;
    mOuterWidth = outerWidth;
    mOuterHeight = outerHeight;
    mClientWidth = clientWidth;
    mClientHeight = clientHeight;
    mWindowed = windowed;
    {
        ScopedLock guard(&GlobalLock());
        mWindow = os::Video().CreateWindow();
        os::WindowDesc desc;
        desc.x = x;
        desc.y = y;
        desc.clientWidth = clientWidth;
        desc.clientHeight = clientHeight;
        desc.windowed = windowed;
        desc.caption = caption;
        if (!mWindow || mWindow->Create(desc))
        {
            QL_LOG(L"Cannot create the window (%d x %d, %s): %s\n")
                << base::LogStyle::Error << clientWidth << clientHeight << (windowed ? "windowed" : "full screen")
                << os::LastError();
            mWindow.reset();
            return QL_FAIL;
        }
    }
    mCreated = true;
    bool vsync = false;
    if (const double rate = mWindow->PacedRate(&vsync))
        QL_LOG(L"Frames paced to %g Hz by %s\n") << rate << (vsync ? "vertical sync" : "a sleeping limiter");
    else
        QL_LOG(L"Frames not paced (no display)\n");
    OnCreated();
    return QL_OK;
}

QLResultEnum WindowWin32::SetWindowedSize(int outerWidth, int outerHeight)
{
    mOuterWidth = outerWidth;
    mOuterHeight = outerHeight;
    if (mWindowed)
        ClientSizeForWindow(outerWidth, outerHeight, mClientWidth, mClientHeight);
    if (mWindow && mWindowed)
        return mWindow->SetWindowed(mX, mY, mClientWidth, mClientHeight);
    return QL_OK;
}

void WindowWin32::ClientSizeForWindow(int outerWidth, int outerHeight, int& clientWidth, int& clientHeight) const
{
    int frameWidth = 0, frameHeight = 0;
    WindowSizeForClient(0, 0, frameWidth, frameHeight);
    clientWidth = outerWidth - frameWidth;
    clientHeight = outerHeight - frameHeight;
}

QLResultEnum WindowWin32::SwitchWindowMode(int outerWidth, int outerHeight, bool windowed)
{
    if (windowed == mWindowed && outerWidth == mOuterWidth && outerHeight == mOuterHeight)
        return QL_OK;
    mWindowed = windowed;
    mOuterWidth = outerWidth;
    mOuterHeight = outerHeight;
    // Full screen has no frame: the whole window is client area.
    mClientWidth = outerWidth;
    mClientHeight = outerHeight;
    if (windowed)
        ClientSizeForWindow(outerWidth, outerHeight, mClientWidth, mClientHeight);
    if (!mWindow)
        return QL_FAIL;
    const QLResultEnum r = windowed ? mWindow->SetWindowed(mX, mY, mClientWidth, mClientHeight)
                                    : mWindow->SetFullscreen(outerWidth, outerHeight);
    if (r)
    {
        QL_LOG(L"Cannot switch the window to %s: %s\n")
            << base::LogStyle::Error << (windowed ? "windowed" : "full screen") << os::LastError();
        return r;
    }
    mWindow->Show();
    mWindow->Raise();
    return QL_OK;
}

void WindowWin32::WindowSizeForClient(int clientWidth, int clientHeight, int& outerWidth, int& outerHeight) const
{
    // The shown window's own frame once the window manager has told it, else the platform's guess.
    int frameWidth = 0, frameHeight = 0;
    int left = 0, top = 0, right = 0, bottom = 0;
    if (mWindow && mWindow->GetFrameExtents(left, top, right, bottom))
    {
        frameWidth = left + right;
        frameHeight = top + bottom;
    }
    else
        os::Video().FrameSize(frameWidth, frameHeight);
    outerWidth = clientWidth + frameWidth;
    outerHeight = clientHeight + frameHeight;
}

void WindowWin32::SetCaption(const std::wstring& caption)
{
    mCaption = caption;
    if (mWindow)
        mWindow->SetCaption(caption);
}

QLResultEnum WindowWin32::Update(float)
{
    if (!mCreated)
        return QL_OK;
    if (mFinished && mChildren.empty())
        return QL_OK;
    if (mCloseRequested && !mDestroyed)
    {
        // Gone from the screen now; the platform window itself (and its GL context) goes with this
        // object, after the renderer that draws into it has been deleted.
        mDestroyed = true;
        mWindow->Hide();
        mFinished = true;
        return QL_OK;
    }
    // Another copy of the game was started: it ended and asked for this window instead.
    if (os::TakeRaiseRequest())
    {
        mWindow->Show();
        mWindow->Raise();
    }
    // Every pending event is handled now: input must not lag behind the frames.
    os::Event event;
    while (!mDestroyed && mWindow->PollEvent(event))
        HandleEvent(event);
    return QL_OK;
}

void WindowWin32::UpdateActive()
{
    const bool active = mAppActive != 0 && mMinimized == 0;
    if (active == mActive)
        return;
    mActive = active;
    if (active)
        OnActivate();
    else
        OnDeactivate();
}

void WindowWin32::OnResized()
{
    // Our own mode switches resize the window too: only a windowed client size other than the
    // one the game gave it is the player's.
    if (!mWindowed || !mWindow)
        return;
    int width = 0, height = 0;
    mWindow->GetClientSize(width, height);
    if (width <= 0 || height <= 0 || (width == mClientWidth && height == mClientHeight))
        return;
    mClientWidth = width;
    mClientHeight = height;
    WindowSizeForClient(width, height, mOuterWidth, mOuterHeight);
    mResizeRequested = true;
}

void WindowWin32::HandleEvent(const os::Event& event)
{
    const math::Point2 point(event.x, event.y);
    switch (event.type)
    {
    case os::EventType::Close:
        if (CanClose())
        {
            if (Application* application = Application::Get())
                application->NoteEndCause(event.cause ? event.cause : "the window's close request");
            Stop();
        }
        break;
    case os::EventType::FocusGained:
        mAppActive = 1;
        UpdateActive();
        break;
    case os::EventType::FocusLost:
        mAppActive = 0;
        mAltHeld = false;
        if (mInput)
            mInput->ReleaseAllKeys();
        UpdateActive();
        break;
    case os::EventType::Minimized:
        mMinimized = 1;
        UpdateActive();
        break;
    case os::EventType::Restored:
        mMinimized = 0;
        UpdateActive();
        break;
    case os::EventType::Moved:
        if (mWindowed)
        {
            mX = static_cast<int>(event.x);
            mY = static_cast<int>(event.y);
        }
        break;
    case os::EventType::Resized: OnResized(); break;
    case os::EventType::MouseEnter: mCursorInside = true; break;
    case os::EventType::MouseLeave:
        if (mCursorInside && mInput)
        {
            mInput->MouseMove(point);
            mInput->MouseLeave(point);
        }
        mCursorInside = false;
        break;
    case os::EventType::KeyDown:
        if (mInput)
            mInput->SetKeyPressed(event.key, event.sideKey, true);
        if (event.key == kKeyAlt)
            mAltHeld = true;
        if (mAltHeld && event.key == kKeyReturn)
        {
            mSwitchRequested = true;
            mAltHeld = false;
            break;
        }
        if (mInput)
            mInput->KeyDown(event.key);
        break;
    case os::EventType::KeyUp:
        if (mInput)
            mInput->SetKeyPressed(event.key, event.sideKey, false);
        if (event.key == kKeyAlt)
            mAltHeld = false;
        if (mInput)
            mInput->KeyUp(event.key);
        break;
    case os::EventType::Text:
        if (mInput)
            mInput->Text(event.text);
        break;
    case os::EventType::MouseMove:
        mCursorInside = true;
        if (mInput)
            mInput->MouseMove(point);
        break;
    case os::EventType::MouseDown:
        // Only the left (1) and right (3) buttons exist for the game; an even click count is
        // the second press of a double click.
        if (mInput && (event.button == 1 || event.button == 3))
        {
            const u32 button = static_cast<u32>(event.button);
            if (event.clicks > 0 && event.clicks % 2 == 0)
                mInput->MouseDoubleClick(point, button);
            else
                mInput->MouseDown(point, button);
        }
        break;
    case os::EventType::MouseUp:
        if (mInput && (event.button == 1 || event.button == 3))
            mInput->MouseUp(point, static_cast<u32>(event.button));
        break;
    case os::EventType::MouseWheel:
        if (mInput)
        {
            const auto notches = static_cast<i32>(std::lround(event.wheel * 120.0f));
            mInput->MouseWheel(point, static_cast<u16>(notches));
        }
        break;
    case os::EventType::None: break;
    }
}
} // namespace app
