// The two-button modal dialog.
#include "Source/TD/Shell/HUDModalDialog.h"

HUDModalDialog::HUDModalDialog(HUD* hud, TDMap* map, std::wstring caption, std::wstring message)
    : HUDModalMessage(hud, map, std::move(caption), std::move(message), kScreenNone)
{
    if (HUDButtonOver* ok = mOwnButtons.at(1))
        ok->mOffsetX = 0.0f;
    if (HUDButtonOver* cancel = mOwnButtons.at(0))
        cancel->mVisible = true;
}

void HUDModalDialog::Release(int x, int y)
{
    for (size_t i = 0; i < mOwnButtons.size(); ++i)
    {
        if (!mOwnButtons.at(i)->contains(x, y))
            continue;
        if (i == 0)
            return onDecline();
        if (i == 1)
            return onConfirm();
    }
}
