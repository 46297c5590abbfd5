// The game's root board: the one screen frame the application shows. It loads the effect
// library and the game's fonts, owns the battle controller and its HUD for the whole run, and
// turns the frame manager's updates, drawing, pointer and key events into battle calls.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Widget/BaseBoard.h"
#include "Source/TD/Seams/TDScreen.h"

#include <functional>
#include <memory>
#include <string>

namespace render
{
class BMFont;
class Font;
} // namespace render

class HUD;
class HUDWindow;
class TDBattleDrawer;
class TMobShader;
class TDMap;
class TDScreenCommands;
class TDBattleServicesSet;
class TDGameSettings;

class GameWindow : public widget::BaseBoard
{
public:
    GameWindow();
    ~GameWindow() override;

    // Catch-all rectangle, effect library, fonts, the battle and its stored crystals.
    QLResultEnum Start() override;

    // widget::WidgetListener
    QLResultEnum Update(float dt) override;
    QLResultEnum OnPreDraw(render::Graphics* graphics, layer::Layer* layer) override;
    QLResultEnum OnPostDraw(render::Graphics* graphics, layer::Layer* layer) override;
    QLResultEnum OnKeyDown(u32 code) override;
    QLResultEnum OnChar(u16 character) override;

    // widget::WidgetHitTestListener (points in the board's coordinates)
    QLResultEnum OnPress(const math::Point3& point, u32 button) override;
    QLResultEnum OnRelease(const math::Point3& point, u32 button) override;
    QLResultEnum OnPointerMove(const math::Point3& point) override;
    QLResultEnum OnPointerDrag(const math::Point3& point) override;
    QLResultEnum OnPointerWheel(const math::Point3& point, u32 value) override;

    TDMap* getMap() const { return mMap.get(); }
    HUD* getHud() const;
    // What draws the battle each frame (null before the start).
    TDBattleDrawer* getDrawer() const;
    // The board's font of a short name ("main_42_3"), or null.
    render::BMFont* fontByName(const std::wstring& name) const;

    // The fonts, in loading order.
    base::CountedPtr<render::BMFont> mFontMain32_1;
    base::CountedPtr<render::BMFont> mFontMain32_2;
    base::CountedPtr<render::BMFont> mFontMain42_1;
    base::CountedPtr<render::BMFont> mFontMain42_2;
    base::CountedPtr<render::BMFont> mFontMain80;
    base::CountedPtr<render::BMFont> mFontMain42_3;
    // Overlays: the confirmation dialog (takes the pointer, drawn over everything) and the
    // level-name banner (drawn over the HUD, under its windows).
    std::unique_ptr<HUDWindow> mModalWindow;
    std::unique_ptr<HUDWindow> mBannerWindow;
    i32 mPointerX = 0, mPointerY = 0;
    // The developer keys (R, W, L, 1-4, M, C, H) work in the battle when set.
    bool mDebugKeys = false;
    // Draws one whole frame with the loading picture (the application's); may be empty.
    std::function<void()> mDrawLoadingScreen;
    // The unit shader (the application's; may be null: units are then tinted without it).
    TMobShader* mMobShader = nullptr;

private:
    // Logs each new screen number, and a battle's start (0 reached other than from the in-game
    // menu).
    void noteScreen();

    std::unique_ptr<TDGameSettings> mSettings; // installed for the dialogs while the board stands
    std::unique_ptr<TDBattleServicesSet> mServices;
    TDScreen mLastScreen = kScreenNone;
    std::unique_ptr<TDMap> mMap;
    // The menus', shop's and profiles' commands over the battle; gone before it.
    std::unique_ptr<TDScreenCommands> mScreenCommands;
};
