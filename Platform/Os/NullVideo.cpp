// Headless video backend.
#include "Platform/Os/NullVideo.h"

#include "Platform/Gpu/RecordingDevice.h"
#include "Platform/Os/Error.h"
#include "Platform/Os/QuitSignals.h"

#include <algorithm>
#include <iterator>

namespace os
{
QLResultEnum NullWindow::Create(const WindowDesc& desc)
{
    if (mFailCreate)
    {
        SetLastError("the window system refused the window");
        return QL_FAIL;
    }
    if (!mOfferedGl.empty())
    {
        SetLastError(NeedsOpenGl33(mOfferedGl));
        return QL_FAIL;
    }
    mDesc = desc;
    mCreated = true;
    mVisible = true;
    mHalfRate = false;
    UpdatePacing();
    return QL_OK;
}

namespace
{
// No display to ask: the rate the real window assumes for a display that does not tell.
constexpr double kHeadlessHertz = 60.0;
} // namespace

void NullWindow::UpdatePacing()
{
    if (!mCreated || mFreeRunning)
        mLimiter.SetRate(0.0);
    else
        mLimiter.SetRate(mHalfRate ? kHeadlessHertz * 0.5 : kHeadlessHertz);
}

void NullWindow::PaceFrame(bool calm)
{
    if (calm != mHalfRate)
    {
        mHalfRate = calm;
        UpdatePacing();
    }
    mLimiter.SleepToNextFrame();
}

double NullWindow::PacedRate(bool* vsync) const
{
    if (vsync)
        *vsync = false;
    return mHalfRate ? mLimiter.GetRate() * 2.0 : mLimiter.GetRate();
}

bool NullWindow::GetFrameExtents(int& left, int& top, int& right, int& bottom) const
{
    const bool known = mCreated && mFrameKnown;
    left = known ? mFrame[0] : 0;
    top = known ? mFrame[1] : 0;
    right = known ? mFrame[2] : 0;
    bottom = known ? mFrame[3] : 0;
    return known;
}

void NullWindow::Destroy()
{
    if (!mCreated)
        return;
    mCreated = false;
    mVisible = false;
    ++mDestroyed;
    UpdatePacing();
}

bool NullWindow::PollEvent(Event& event)
{
    // A quit signal closes the window as a display's close request would.
    if (mCreated && TakeQuitRequest(event))
        return true;
    if (!mCreated || mQueue.empty())
        return false;
    event = mQueue.front();
    mQueue.pop_front();
    // A resize reported by the window system has already given the window its new size.
    if (event.type == EventType::Resized)
    {
        mDesc.clientWidth = static_cast<int>(event.x);
        mDesc.clientHeight = static_cast<int>(event.y);
    }
    return true;
}

QLResultEnum NullWindow::SetWindowed(int x, int y, int clientWidth, int clientHeight)
{
    mDesc.windowed = true;
    mDesc.x = x;
    mDesc.y = y;
    mDesc.clientWidth = clientWidth;
    mDesc.clientHeight = clientHeight;
    return QL_OK;
}

QLResultEnum NullWindow::SetFullscreen(int width, int height)
{
    mDesc.windowed = false;
    mDesc.x = 0;
    mDesc.y = 0;
    mDesc.clientWidth = width;
    mDesc.clientHeight = height;
    return QL_OK;
}

QLResultEnum NullWindow::SetIcon(int width, int height, const u32* pixels)
{
    if (!mCreated || width <= 0 || height <= 0 || !pixels)
    {
        SetLastError("no window or no picture for its icon");
        return QL_FAIL;
    }
    mIconWidth = width;
    mIconHeight = height;
    mIcon.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
    return QL_OK;
}

void NullWindow::GetClientSize(int& width, int& height) const
{
    width = mDesc.clientWidth;
    height = mDesc.clientHeight;
}

NullVideoDriver::NullVideoDriver()
{
    Display d;
    d.bounds = {0, 0, 1920, 1080};
    d.workArea = {0, 0, 1920, 1040};
    d.primary = true;
    mDisplays.push_back(d);
}

bool NullVideoDriver::EnumDisplays(std::vector<Display>& out)
{
    out = mDisplays;
    return true;
}

std::unique_ptr<Window> NullVideoDriver::CreateWindow()
{
    auto window = std::make_unique<NullWindow>();
    window->mFailCreate = mFailCreate;
    window->mOfferedGl = mOfferedGl;
    window->mFreeRunning = mFreeRunning;
    window->mKeepAllCalls = mKeepAllCalls;
    window->mFrameKnown = mWindowFrameKnown;
    std::copy(std::begin(mWindowFrame), std::end(mWindowFrame), window->mFrame);
    mWindows.push_back(window.get());
    return window;
}

void NullVideoDriver::FrameSize(int& width, int& height) const
{
    width = mFrameWidth;
    height = mFrameHeight;
}

std::unique_ptr<gpu::Device> NullWindow::CreateDevice()
{
    return std::make_unique<gpu::RecordingDevice>(mKeepAllCalls ? gpu::RecordingDevice::Keep::All
                                                                : gpu::RecordingDevice::Keep::LastFrame);
}
} // namespace os
