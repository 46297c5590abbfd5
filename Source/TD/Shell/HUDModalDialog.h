// The message window with both buttons at their layout places: "cancel" declines, "ok"
// confirms. Dialogs are held by the root board as its one modal window, which takes all pointer
// input and deletes the dialog on the update after its open flag is cleared.
#pragma once

#include "Source/TD/Shell/HUDModalMessage.h"

class HUDModalDialog : public HUDModalMessage
{
public:
    HUDModalDialog(HUD* hud, TDMap* map, std::wstring caption, std::wstring message);

    // Answers on release only, by which button holds the point; the buttons' own release is not
    // called.
    void Release(int x, int y) override;

    virtual void onConfirm() { mOpen = false; }
    virtual void onDecline() { mOpen = false; }
};
