// The battle's heads-up display over the layout "td/ui" (counters, control buttons, spell
// slots and spell buttons) and the keeper of the screen stack. It is the battle's TDHud.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Source/TD/Seams/TDBattleServices.h"
#include "Source/TD/Shell/HUDWindow.h"

#include <functional>
#include <memory>
#include <vector>

class HUDSpellButton;
class TDAnimation;
class TDBattleCanvas;
class TDMap;
class TDUiPainter;

class HUD : public HUDWindow, public TDHud
{
public:
    // An empty layout name builds no layout (tests); "td/ui" is the game's.
    explicit HUD(const std::wstring& layout = L"td/ui");
    ~HUD() override;

    // The battle the counters and spell buttons read; set once it exists.
    void setMap(TDMap* map) { mMap = map; }

    // HUDWindow
    void Draw(render::Graphics* graphics) override;
    void Update(float dt) override;
    void MouseMove(int x, int y) override;
    void Release(int x, int y) override;
    void Press(int x, int y) override;
    void Wheel(int delta) override;
    // With no screen open: the HUD's own buttons answer kOwnButtonBase + their place, apart from
    // the spell buttons' slot numbers, so that the battle never takes one for a spell.
    int ButtonAt(int x, int y) override;
    std::wstring ButtonNameAt(int x, int y) override;
    static constexpr int kOwnButtonBase = 1000;

    // The spell buttons through the painter.
    void drawSpellButtons(TDUiPainter& painter);
    // The spell-cast cursor at the pointer while a spell waits for its target.
    void drawSpellCast(TDBattleCanvas& canvas);
    // Own buttons by name, and the spell buttons by their slot names ("spell0"...).
    // The spell buttons (their 70-pixel boxes), then the layout's.
    void listButtons(std::vector<ButtonPlace>& out) const override;
    // The side pictures beside the 1024-wide core (not owned; null draws nothing).
    void setSideImages(render::Image* left, render::Image* right)
    {
        mLeftSide = left;
        mRightSide = right;
    }
    // The menu-like screens that show the side pictures (selections, shop, profiles, name input,
    // message and the other full-screen windows).
    static bool showsSideImages(TDScreen screen);
    void drawWindows(render::Graphics* graphics, int layer);
    void charToWindows(int character);
    void keyDownToWindows(int code);
    void pushWindow(std::unique_ptr<HUDWindow> window);
    // Takes the screen.
    void pushWindow(HUDWindow* window) { pushWindow(std::unique_ptr<HUDWindow>(window)); }
    const base::OwnedList<HUDWindow>& windows() const { return mWindows; }

    // TDHud
    void resetSpellButtons() override;
    void removeSpellButtons() override;
    void addSpellButton(i32 spell) override;
    // "text/coins" shows the counter that runs toward the coins, not the coins themselves.
    void updateCoins() override;
    void updateCrystals() override;
    void updateMana() override;
    void updateWaves() override;
    void setHasWindows(i32 value) override { mAppear = value; }
    void closeTopWindow() override;
    void closeAllWindows() override;
    // Deletes every screen now: the open ones, then those not shown yet, then the closed ones,
    // each front to back. Screens over the battle hand it the screen back as they go, so the
    // battle must still exist.
    void destroyWindows();
    void refreshTopWindow() override;
    void showMainMenu() override;
    // The selection screens (numbers 6 and 5, set before the screen is made).
    void showLevelSelect() override;
    void showEpisodeSelect() override;
    void showUnlockMessage(const std::vector<i32>& ids) override;
    // A new level-name banner for the root board (mOnBanner), for the level being started.
    void showLevelName() override;
    // The result window over a finished level (the battle has set mScreen to kScreenWon or kScreenLost).
    void showLevelResult() override;
    // The next level of the episode, or the episode selection after its last one.
    void nextLevel() override;
    void showMessage(const std::wstring& title, const std::wstring& text, TDScreen returnScreen) override;
    // A two-button dialog on the stack (screen 16, set after); the battle keeps `value` as its
    // pending dialog value, as a message keeps its return screen. The caller may set the screen
    // number again, as the shop's reset confirmation does.
    void showModalDialog(const std::wstring& caption, const std::wstring& text, TDScreen value);
    // The shop (screen 8): origin 1 after a level, 0 from the menus.
    void showShop(bool afterLevel) override;
    // The profiles screen (13); the main menu's "profile" opens it.
    void showProfiles() override;
    // The profile-name input; the caller sets the screen number first (14 create, 15 rename).
    void showProfileNameInput() override;
    void showVideoIntro() override;
    // The logos of "logo/logo.ini" (screen 12); the root board opens them at its start.
    void showSplashScreens();
    // The options window, modal over every screen.
    void showOptions() override;
    void showConfirm(const std::wstring& key, const std::wstring& command) override;
    void showIngameMenu() override;
    void setButtonVisible(const std::wstring& name, bool visible) override;
    void update(float dt) override { Update(dt); }
    std::wstring buttonNameAt(i32 x, i32 y) override { return ButtonNameAt(x, y); }
    i32 buttonAt(i32 x, i32 y) override { return ButtonAt(x, y); }
    void onPress(i32 x, i32 y) override { Press(x, y); }
    void onRelease(i32 x, i32 y) override { Release(x, y); }
    void onMouseMove(i32 x, i32 y) override { MouseMove(x, y); }
    void onWheel(i16 delta) override { Wheel(delta); }
    i32 uiBlock() const override { return mUIBlock; }
    void setUiBlock(i32 block) override { mUIBlock = block; }
    void setShopBlock(i32 block) override { mShopBlock = block; }
    bool buttonRect(const std::wstring& name, float& x, float& y, float& w, float& h) override;
    HUDSpellButton* spellButton(i32 index) override;
    i32 spellButtonCount() const override { return static_cast<i32>(mSpellButtons.size()); }
    // The battle's texts, pictures and font go to the newest screen (queued or on the stack), or
    // to the HUD itself while no screen is open.
    void setText(const std::wstring& name, const std::wstring& text) override { newestWindow()->setText(name, text); }
    void setFrameVisible(const std::wstring& name, bool visible) override
    {
        newestWindow()->setFrameVisible(name, visible);
    }
    using HUDWindow::setFont;
    void setFont(const std::wstring& name) override;
    void quitGame() override;

    // Called by quitGame (the application stops); none by default.
    std::function<void()> mOnQuit;
    // Takes a new level-name banner (the root board's); without one the banner is dropped.
    std::function<void(std::unique_ptr<HUDWindow>)> mOnBanner;

    base::OwnedList<TDFrameEntry> mSpellSlots;
    // "td/spell_cast", made at its first use (the battle's sprite sheets are loaded by then).
    std::unique_ptr<TDAnimation> mSpellCast;
    base::OwnedList<HUDWindow> mPendingWindows;
    base::OwnedList<HUDSpellButton> mSpellButtons;
    i32 mShopBlock = 0;
    i32 mUIBlock = 0;

private:
    // A screen that is not part of the game yet: logged once per request, nothing opens.
    void notBuilt(const wchar_t* screen);
    HUDWindow* newestWindow();
    // Text areas for the counters the layout does not place.
    void addDefaultTextAreas();

    void drawSideImages(render::Graphics* graphics);
    // The play button pulses while the battle stands still, so the way on is plain to see.
    void pulsePlayButton();

    void buryClosedWindows();

    base::OwnedList<HUDWindow> mClosedWindows;
    // A confirmation opened without its caption has been logged (once a run).
    bool mCaptionPlaceReported = false;
    float mCursorX = -1.0f, mCursorY = -1.0f;
    float mPulseTime = 0.0f;

    TDMap* mMap = nullptr;
    base::OwnedList<HUDWindow> mWindows;
    render::Image* mLeftSide = nullptr;
    render::Image* mRightSide = nullptr;
};
