// The small window over the layout "td/data/mm": a caption, a message and one "ok" button,
// centred below the text. On the HUD's stack it is screen 16; when it goes it gives the battle
// controller back the screen number it was opened over.
#pragma once

#include "Source/TD/Seams/TDScreen.h"
#include "Source/TD/Shell/HUDButtonWindow.h"

#include <string>

class HUD;
class TDMap;

class HUDModalMessage : public HUDButtonWindow
{
public:
    static constexpr const wchar_t* kLayout = L"td/data/mm";
    // How far right the lone "ok" sits from its layout place (below the middle of the box).
    static constexpr float kOkShift = 120.0f;

    // hud and map may be null (the window then acts on nothing beyond itself); restoreScreen
    // kScreenNone leaves the screen number alone when the window goes.
    HUDModalMessage(HUD* hud, TDMap* map, std::wstring caption, std::wstring message, TDScreen restoreScreen);
    ~HUDModalMessage() override;

    // The base's pointer, then the buttons' hover.
    void MouseMove(int x, int y) override;

    // Own buttons: 0 "cancel", 1 "ok".
    TDScreen mRestoreScreen = kScreenNone;

protected:
    HUD* mHud;
    TDMap* mMap;
};
