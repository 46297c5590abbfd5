// A screen drawn from a layout whose buttons are its own over-buttons (HUDButtonList) instead
// of the base's pictures: the small windows and the profiles screen. It keeps its layout open
// for the buttons' pictures and lets it go when it is deleted.
#pragma once

#include "Source/TD/Shell/HUDButtonList.h"
#include "Source/TD/Shell/HUDWindow.h"

#include <string>

class HUDButtonWindow : public HUDWindow
{
public:
    // Logs a layout that cannot be opened; the window then stays empty.
    explicit HUDButtonWindow(const wchar_t* layout);
    ~HUDButtonWindow() override;

    // The base draw, then the own buttons.
    void Draw(render::Graphics* graphics) override;
    // The base update, the root board's pointer, the own buttons' hover growth.
    void Update(float dt) override;
    void MouseMove(int x, int y) override { mOwnButtons.hover(x, y); }
    void Release(int x, int y) override { mOwnButtons.release(x, y); }
    void Press(int x, int y) override { mOwnButtons.press(x, y); }
    std::wstring ButtonNameAt(int x, int y) override { return mOwnButtons.nameAt(x, y); }
    void listButtons(std::vector<ButtonPlace>& out) const override
    {
        mOwnButtons.list(out);
        HUDWindow::listButtons(out);
    }

    HUDButtonList mOwnButtons;
};
