// The title screen: layout "td/main_menu" with its own over-buttons, looping particle effects,
// the greeting with the player's name and the picture of the game's language. It starts the
// menu music. The battle controller acts on the names its buttons answer.
#pragma once

#include "Source/TD/Shell/HUDButtonList.h"
#include "Source/TD/Shell/HUDWindow.h"

#include <string>
#include <vector>

class TDMap;
namespace render
{
class ParticleEmitter;
}

class HUDMainMenu : public HUDWindow
{
public:
    static constexpr const wchar_t* kLayout = L"td/main_menu";
    static constexpr const wchar_t* kMusic = L"td/data/music/main_menu.ogg";
    // The pointer band along the bottom that opens the profiles screen, whatever lies there.
    static constexpr int kProfileBandTop = 721;
    static constexpr int kProfileBandBottom = 1023;

    // map gives the player's name and may be null.
    explicit HUDMainMenu(TDMap* map);
    ~HUDMainMenu() override;

    void Draw(render::Graphics* graphics) override;
    void Update(float dt) override;
    // The greeting with the current profile's name.
    void Refresh() override;
    void MouseMove(int x, int y) override;
    void Release(int x, int y) override;
    void Press(int x, int y) override;
    std::wstring ButtonNameAt(int x, int y) override;
    void listButtons(std::vector<ButtonPlace>& out) const override
    {
        mMenuButtons.list(out);
        HUDWindow::listButtons(out);
    }

    HUDButtonOver* findMenuButton(const std::wstring& name) const { return mMenuButtons.find(name); }

    // One over-button per folder of the layout's "button" group.
    HUDButtonList mMenuButtons;
    base::OwnedList<render::ParticleEmitter> mEmitters;

private:
    void createEmitters();
    void reportDamagedProfiles();

    TDMap* mMap;
};

// The game's language ("en" unless changed); the main menu shows the picture named after it.
extern std::wstring gLanguageCode;
