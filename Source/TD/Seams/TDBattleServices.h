// The battle's seam to the subsystems around it: pictures, sounds, particles, the HUD, the
// tutorial and the window. Every interface has a null twin, so the battle runs headless.
#pragma once

#include "Core/Base/Types.h"
#include "Source/TD/Seams/TDScreen.h"

#include <memory>
#include <string>
#include <vector>

class HUDSpellButton;
class TDPrototypes;

class TDImage
{
public:
    virtual ~TDImage() = default;
    virtual i32 width() const = 0;
    virtual i32 height() const = 0;
};

// One layer of a level's background (a layer folder or a layered document).
struct TDLayerEntry
{
    std::wstring name; // "sky", "trees/oak", "fx/01"
    float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f;
    i32 order = 0; // layer order in the container
};

class TDImageLoader
{
public:
    virtual ~TDImageLoader() = default;
    // A loose or packed picture by name; null when it is missing.
    virtual std::unique_ptr<TDImage> loadImage(const std::wstring& name) = 0;
    // A picture of a sprite sheet ("td/ui", "ui/radius_boost"); not owned; null when missing.
    virtual const TDImage* findImage(const std::wstring& sheet, const std::wstring& name) = 0;
    // The layers of a background folder ("td/data/levels/bg01"), in container order; none when
    // it is missing.
    virtual std::vector<TDLayerEntry> backgroundLayers(const std::wstring& /*folder*/) { return {}; }
};

class TDSoundTags
{
public:
    virtual ~TDSoundTags() = default;
    virtual void load(const std::wstring& sheet) = 0;
    virtual void play(const std::wstring& tag) = 0;
    virtual void playMusic(const std::wstring& file) = 0;
    // The player's volumes (0 to 1) for what plays now and what plays next.
    virtual void setVolumes(float /*music*/, float /*sound*/) {}
};

// What an emitter is doing (TDEmitter::state()); the numbers are the engine emitter's.
enum class TDEmitterState : i32
{
    kEmitterStopped = 0,
    kEmitterPlaying = 1,
    kEmitterFinishing = 2, // no new particles; stopped when the last one is gone
};
using enum TDEmitterState;

class TDEmitter
{
public:
    virtual ~TDEmitter() = default;
    virtual void setState(TDEmitterState state) = 0;
    virtual TDEmitterState state() const = 0;
    virtual void setPosition(float x, float y) = 0;
    virtual void update(double seconds) = 0;
    // 0 plays once, 1 loops.
    virtual void setLoopMode(i32) {}
    // Direction of the effect in degrees.
    virtual void setAngle(float) {}
};

class TDParticles
{
public:
    virtual ~TDParticles() = default;
    // A new emitter of the named effect, or null when there is no such effect.
    virtual std::unique_ptr<TDEmitter> createEmitter(const std::wstring& name) = 0;
};

// What the battle asks of the in-game HUD and its screen windows.
class TDHud
{
public:
    virtual ~TDHud() = default;
    virtual void resetSpellButtons() = 0;
    virtual void addSpellButton(i32 spell) = 0;
    // Deletes every spell button (a level load adds the ones of its unlocked spells again).
    virtual void removeSpellButtons() {}
    virtual void updateCoins() = 0;
    virtual void setHasWindows(i32 value) = 0;
    virtual void closeTopWindow() = 0;
    virtual void showMainMenu() = 0;
    virtual void showLevelSelect() = 0;
    virtual void showUnlockMessage(const std::vector<i32>& ids) = 0;
    virtual void showLevelName() = 0;
    virtual void showMessage(const std::wstring& title, const std::wstring& text, TDScreen returnScreen) = 0;
    virtual void setButtonVisible(const std::wstring& name, bool visible) = 0;
    // Battle-side refreshes and the per-frame step; the null HUD ignores them.
    virtual void update(float) {}
    virtual void updateCrystals() {}
    virtual void updateMana() {}
    virtual void updateWaves() {}
    virtual void showEpisodeSelect() {}
    // Opens the level-result window over a finished battle (mScreen kScreenWon or kScreenLost).
    virtual void showLevelResult() {}
    // Pointer: the name and number of the button under a screen point ("" and -1 for none;
    // -2 for a spell button that cannot be pressed now), press, release, move, wheel.
    virtual std::wstring buttonNameAt(i32, i32) { return L""; }
    virtual i32 buttonAt(i32, i32) { return -1; }
    virtual void onPress(i32, i32) {}
    virtual void onRelease(i32, i32) {}
    virtual void onMouseMove(i32, i32) {}
    virtual void onWheel(i16) {}
    // The tutorial's "blockUI" level; 0 when nothing is blocked.
    virtual i32 uiBlock() const { return 0; }
    // The tutorial's blocks: "blockUI" and "blockShop" (read by the shop window).
    virtual void setUiBlock(i32) {}
    virtual void setShopBlock(i32) {}
    // The rectangle of a named HUD button; false when there is none.
    virtual bool buttonRect(const std::wstring&, float&, float&, float&, float&) { return false; }
    // Spell button by number (its place in the HUD's list), or null.
    virtual HUDSpellButton* spellButton(i32) { return nullptr; }
    virtual i32 spellButtonCount() const { return 0; }
    // Openers; each pushes its window and sets the battle's screen number, except the name
    // input (the caller sets 14 or 15).
    virtual void showShop(bool /*afterLevel*/) {}
    virtual void showProfiles() {}
    virtual void showProfileNameInput() {}
    virtual void showVideoIntro() {}
    virtual void showIngameMenu() {}
    // A modal yes/no box with a localised message key; its yes reaches onMessageBoxResult(command).
    virtual void showConfirm(const std::wstring& /*key*/, const std::wstring& /*command*/) {}
    virtual void showOptions() {}
    // The next level of the episode, or the episode selection after its last one.
    virtual void nextLevel() {}
    virtual void refreshTopWindow() {}
    // Closes every window of the stack, oldest first.
    virtual void closeAllWindows() {}
    // Ends the game (the application task stops).
    virtual void quitGame() {}
    // The top window's named text and picture entries and its text font.
    virtual void setText(const std::wstring&, const std::wstring&) {}
    virtual void setFrameVisible(const std::wstring&, bool) {}
    virtual void setFont(const std::wstring&) {}
};

// What the battle, the HUD and the screens tell the tutorial (the scripted tutorial or its null
// twin).
class TDTutorialHooks
{
public:
    virtual ~TDTutorialHooks() = default;
    virtual void onEvent(const std::wstring& name) = 0;
    virtual void loadProgress() = 0;
    virtual void update(float) {}
    // Pointer hooks (the skip button), called before the battle handles the pointer.
    virtual void onMouseMove(i32, i32) {}
    virtual void onClick(i32, i32) {}
    virtual void show() {}
    virtual void hide() {}
    virtual void resetIncompleteSteps() {}
    // The page layers leave the root board (the battle is going away).
    virtual void clearShownLayers() {}
    // A step on show waits for this event to complete.
    virtual bool awaits(const std::wstring&) const { return false; }
};

// Frame lists of a kind's sprite graphic ("walk", "death", "blast", the unnamed direction
// list, ...) and its points: what the battle's timing and aiming read. Counts only: no pixels.
class TDSpriteMetrics
{
public:
    virtual ~TDSpriteMetrics() = default;
    // Frames of a list of the graphic of the prototype with that id (0 when there is none).
    virtual i32 frameCount(i32 prototypeId, const char* list) const = 0;
    // The point of list entry index ("s_point", "base_point"); false when there is none.
    virtual bool point(i32 prototypeId, const char* list, i32 index, float& x, float& y) const = 0;
    // The graphic's size (largest x + width and y + height); 0 x 0 without a graphic.
    virtual void size(i32 prototypeId, float& w, float& h) const = 0;
    // Frames of the unnamed list of a named sprite ("td/mob_dot", "td/disabletower").
    virtual i32 spriteFrameCount(const std::wstring& sprite) const = 0;
    // The sheets were read (again): kinds may have new graphics.
    virtual void prototypesLoaded(const TDPrototypes&) {}
};

// The battle's view rectangle: the part of the game's coordinates (battle units, the 1024 x 768
// core at the origin) that the window shows; wider than the core when the margins show.
struct TDViewRect
{
    float x = 0.0f, y = 0.0f, width = 1024.0f, height = 768.0f;
    bool operator==(const TDViewRect&) const = default;
};

// The window's full-screen state and the application's switch between the modes.
class TDScreenMode
{
public:
    // The view rectangle of the current display mode.
    virtual TDViewRect battleViewRect() const { return {}; }
    virtual ~TDScreenMode() = default;
    virtual bool isFullscreen() const = 0;
    virtual void switchScreenMode() = 0;
    // Draws the loading picture and presents the frame at once (a level is about to load).
    virtual void drawLoadingScreen() {}
};

// The commands of the screens the battle does not run itself: the menus, the shop, the profiles
// and the modal message (the game shell's).
class TDScreenFlow
{
public:
    virtual ~TDScreenFlow() = default;
    // A release on the open screen; true when the HUD hears of it afterwards.
    virtual bool onRelease(i32 x, i32 y) = 0;
};

class TDNullImageLoader : public TDImageLoader
{
public:
    std::unique_ptr<TDImage> loadImage(const std::wstring&) override { return nullptr; }
    const TDImage* findImage(const std::wstring&, const std::wstring&) override { return nullptr; }
};

class TDNullSoundTags : public TDSoundTags
{
public:
    void load(const std::wstring&) override {}
    void play(const std::wstring&) override {}
    void playMusic(const std::wstring&) override {}
};

class TDNullParticles : public TDParticles
{
public:
    std::unique_ptr<TDEmitter> createEmitter(const std::wstring&) override { return nullptr; }
};

class TDNullHud : public TDHud
{
public:
    void resetSpellButtons() override {}
    void addSpellButton(i32) override {}
    void updateCoins() override {}
    void setHasWindows(i32) override {}
    void closeTopWindow() override {}
    void showMainMenu() override {}
    void showLevelSelect() override {}
    void showUnlockMessage(const std::vector<i32>&) override {}
    void showLevelName() override {}
    void showMessage(const std::wstring&, const std::wstring&, TDScreen) override {}
    void setButtonVisible(const std::wstring&, bool) override {}
};

class TDNullTutorial : public TDTutorialHooks
{
public:
    void onEvent(const std::wstring&) override {}
    void loadProgress() override {}
};

class TDNullSpriteMetrics : public TDSpriteMetrics
{
public:
    i32 frameCount(i32, const char*) const override { return 0; }
    bool point(i32, const char*, i32, float&, float&) const override { return false; }
    void size(i32, float& w, float& h) const override { w = h = 0.0f; }
    i32 spriteFrameCount(const std::wstring&) const override { return 0; }
};

class TDNullScreenFlow : public TDScreenFlow
{
public:
    bool onRelease(i32, i32) override { return true; }
};

class TDNullScreenMode : public TDScreenMode
{
public:
    bool isFullscreen() const override { return false; }
    void switchScreenMode() override {}
};

// The services a battle runs with; any left null is replaced by its null twin. Not owned.
struct TDBattleServices
{
    TDImageLoader* images = nullptr;
    TDSoundTags* sounds = nullptr;
    TDParticles* particles = nullptr;
    TDHud* hud = nullptr;
    TDTutorialHooks* tutorial = nullptr;
    TDScreenMode* screen = nullptr;
    TDSpriteMetrics* sprites = nullptr;
};
