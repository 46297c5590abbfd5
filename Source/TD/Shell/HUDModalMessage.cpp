// The modal message window.
#include "Source/TD/Shell/HUDModalMessage.h"

#include "Core/Base/Log.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/TDMap.h"

HUDModalMessage::HUDModalMessage(HUD* hud, TDMap* map, std::wstring caption, std::wstring message, i32 restoreScreen)
    : mRestoreScreen(restoreScreen), mHud(hud), mMap(map)
{
    mDrawLayer = 1;
    if (!buildFromLayout(kLayout))
        QL_LOG(L"Message layout '%s' not opened: the window shows nothing\n") << base::LogStyle::Error << kLayout;
    // The window's buttons are its own over-buttons, not the base's pictures.
    for (TDButtonFrame* button : mButtons)
        delete button;
    mButtons.clear();
    mOwnButtons.build(mLayout);
    setFont(HUDWindowContext::Get().windowFont);
    setFrameVisible(L"input", false);
    setText(L"caption", caption);
    setText(L"message", message);
    if (HUDButtonOver* cancel = mOwnButtons.at(0))
        cancel->mVisible = false;
    if (HUDButtonOver* ok = mOwnButtons.at(1))
        ok->mOffsetX = kOkShift;
}

HUDModalMessage::~HUDModalMessage()
{
    if (mRestoreScreen != -1 && mMap)
        mMap->mScreen = mRestoreScreen;
    mOwnButtons.clear();
    delete mLayout;
    mLayout = nullptr;
}

void HUDModalMessage::Draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    HUDWindow::Draw(graphics);
    mOwnButtons.draw(graphics);
}

void HUDModalMessage::Update(float dt)
{
    HUDWindow::Update(dt);
    HUDRootPointer(mPointerX, mPointerY);
    mOwnButtons.update(dt);
}

void HUDModalMessage::MouseMove(int x, int y)
{
    HUDWindow::MouseMove(x, y);
    mOwnButtons.hover(x, y);
}

void HUDModalMessage::Release(int x, int y) { mOwnButtons.release(x, y); }

void HUDModalMessage::Press(int x, int y) { mOwnButtons.press(x, y); }

std::wstring HUDModalMessage::ButtonNameAt(int x, int y) { return mOwnButtons.nameAt(x, y); }
