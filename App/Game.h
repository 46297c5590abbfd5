// The game's application object: the engine's start-up with the game's configuration, then the
// mob shader, side and loading images and the root board that owns the battle.
#pragma once

#include "App/ShellGame.h"
#include "Core/Base/CountedPtr.h"

#include <memory>

namespace render
{
class Image;
}
class GameWindow;
class TDMap;
class TMobShader;

class Game : public ShellGame
{
public:
    Game();
    ~Game() override;

    // The configuration, then the files the game cannot start without: when one cannot be read
    // the player is told which and why (a damaged pack), and the program ends with a failure.
    QLResultEnum LoadConfig() override;
    // Shader, side and loading images, the root board as the current screen, then the battle. A
    // board that does not start fails the start-up: a window without a screen helps nobody.
    QLResultEnum StartGame() override;
    // Black bars on the selection screens, the shop and messages (their side pictures are the
    // HUD's, inside the layout); nothing on the others.
    QLResultEnum DrawOverlays(render::Graphics& graphics) override;
    // The window lost the focus: the sound pauses, and a running battle pauses with the in-game
    // menu open. Regaining it resumes the sound only (ShellGame::OnResume).
    void OnPause() override;
    // Keys go straight to the root board once it stands.
    QLResultEnum OnKeyDown(u32 key) override;
    QLResultEnum OnKeyUp(u32 key) override;
    QLResultEnum OnChar(u16 unit) override;

    // The battle controller of the root board; null before the game start.
    TDMap* getMap() const;
    // Every screen but a running battle: logos, the intro and the menus.
    bool IsCalmScreen() const override;
    GameWindow* getBoard() const { return mBoard; }
    // One whole frame with the loading picture, at once.
    void drawLoadingScreen();

    // Owned (below); the HUD and the loading frame read the plain pointers.
    render::Image* mLeftSide = nullptr;
    render::Image* mRightSide = nullptr;
    base::CountedPtr<TMobShader> mMobShader;
    render::Image* mLoadingImage = nullptr;
    GameWindow* mBoard = nullptr; // the frame manager holds and deletes it

private:
    std::unique_ptr<render::Image> mOwnedLeftSide;
    std::unique_ptr<render::Image> mOwnedRightSide;
    std::unique_ptr<render::Image> mOwnedLoadingImage;
};
