// The pause menu over a stopped battle: a panel from the layout "td/data/ingame" with one
// labelled button per folder of its "button" group ("resume", "restart", "levels", "options",
// "mmenu"); the battle acts on the name of the button released on.
#pragma once

#include "Source/TD/Shell/HUDWindow.h"

#include <vector>

class HUDButtonOver;

class HUDIngameMenu : public HUDWindow
{
public:
    explicit HUDIngameMenu(const std::wstring& layout = L"td/data/ingame");
    ~HUDIngameMenu() override;

    void Draw(render::Graphics* graphics) override;
    void Update(float dt) override;
    void MouseMove(int x, int y) override;
    void Release(int x, int y) override;
    void Press(int x, int y) override;
    // The first menu button holding the point, after the "simple" sound; "" (silent) for none.
    std::wstring ButtonNameAt(int x, int y) override;
    void listButtons(std::vector<ButtonPlace>& out) const override;
    // A message box (the confirmation of leaving or restarting the level) is open above.
    static bool underMessageBox();
    // A dialog of any kind (a message box, the options) is open above.
    static bool underDialog();

    base::OwnedList<HUDButtonOver> mMenuButtons;
};
