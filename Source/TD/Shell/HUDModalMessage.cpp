// The modal message window.
#include "Source/TD/Shell/HUDModalMessage.h"

#include "Source/TD/Battle/TDMap.h"

HUDModalMessage::HUDModalMessage(HUD* hud, TDMap* map, std::wstring caption, std::wstring message,
                                 TDScreen restoreScreen)
    : HUDButtonWindow(kLayout), mRestoreScreen(restoreScreen), mHud(hud), mMap(map)
{
    mDrawLayer = 1;
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
    if (mRestoreScreen != kScreenNone && mMap)
        mMap->mScreen = mRestoreScreen;
}

void HUDModalMessage::MouseMove(int x, int y)
{
    HUDWindow::MouseMove(x, y);
    mOwnButtons.hover(x, y);
}
