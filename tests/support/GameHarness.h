// The whole game booted headless on a copy of the demo content, driven as a player drives it:
// clicks at points or on buttons by their layout names, typed text, frames of game time, and
// what the game keeps (battle state, progress, files). Tests and benchmarks share it.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Types.h"
#include "Core/Widget/FrameManager.h"
#include "Source/TD/Data/TDDifficulty.h"
#include "Source/TD/Seams/TDScreen.h"

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class Game;
class GameWindow;
class HUDEpisodeSelectIOS;
class HUD;
class HUDWindow;
class TDBattleCanvas;
class TDMap;
class TDProgress;
namespace os
{
class NullWindow;
}

namespace testsupport
{
class GameHarness
{
public:
    struct Options
    {
        // Written as profiles.xml before the start when not empty.
        std::string profiles;
        // That file left without permissions (binding root too only under FileAccessChecks).
        bool profilesUnreadable = false;
        // The user-data folder cannot hold files: BLOCKED, a file stands where its parent folder
        // would be; READ_ONLY, it exists (with `profiles` when given) without write permission
        // (binding root too only under FileAccessChecks).
        enum UserData
        {
            WRITABLE,
            BLOCKED,
            READ_ONLY,
        } userData = WRITABLE;
        // The splash logos, their folder copied with the content; the first screen otherwise
        // is still the splash (without logos it gives way at once).
        bool logos = true;
        // The scripted tutorial runs for the players of the game; otherwise every profile the
        // game makes current has it skipped, stored as a confirmed skip stores it.
        bool tutorial = false;
        // The real window and OpenGL (needs a display, e.g. Xvfb) instead of the headless
        // window and the recording device.
        bool realVideo = false;
        // The headless display's size (its work area 40 rows shorter); 0: 1920 x 1080.
        int displayWidth = 0, displayHeight = 0;
        // Runs once the game has read its configuration (the file layer set up) and before its
        // start opens anything: the place to hook the file layer.
        std::function<void()> afterConfig;
        // Every screen closed once started, none queued, on the main menu's screen number: a
        // bare board to open screens on.
        bool bare = false;
        // Files of the data folder (paths under it, "td/...") replaced by these bytes in a data
        // folder of the game's own: damaged or changed content; the rest is the demo's.
        std::vector<std::pair<std::string, std::string>> dataFiles;
        // Frames as fast as the test steps them; otherwise paced as the shipped headless program
        // paces them (60 Hz).
        bool freeRunning = true;
        // The recording device keeps every call until forgetDeviceCalls; otherwise, as in the
        // shipped headless program, only the last frame's.
        bool keepAllDeviceCalls = true;
    };

    // A bare board without logos, the tutorial live (its skip dialog acts on a live one).
    static Options bareBoard();
    // A player who won every level of the first episode with three stars, then had `more` done
    // to the progress: the profiles file of such a player, made by playing the first level.
    static Options threeStarPlayer(const std::function<void(TDProgress&)>& more);

    GameHarness();
    explicit GameHarness(const Options& options);
    ~GameHarness();
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    // False when the game did not start; why is in the log.
    bool started() const { return mGame != nullptr; }
    Game& game() const { return *mGame; }
    GameWindow& board() const { return *mBoard; }
    TDMap& map() const { return *mMap; }
    HUD& hud() const;
    widget::FrameManager& frames() const;
    // The current screen number of the battle controller.
    TDScreen screen() const;

    // Frames of dt seconds: update, drawing and presenting, as the main loop runs them.
    bool frame(float dt = 1.0f / 30.0f);
    bool run(int frames, float dt = 1.0f / 30.0f);
    // Frames until the condition holds or the game time is up; true when it held.
    template <class F> bool runUntil(F condition, float seconds, float dt = 1.0f / 30.0f)
    {
        for (float t = 0.0f; t < seconds; t += dt)
        {
            if (condition())
                return true;
            if (!frame(dt))
                return false;
        }
        return condition();
    }

    // Pointer input in game coordinates through the frame manager, as the window delivers it.
    void moveTo(float x, float y);
    void press(float x, float y, u32 button = 1);
    // The pointer moved with a button held (after a press), as the window reports it then.
    void drag(float x, float y);
    void release(float x, float y, u32 button = 1);
    // A press and release at the point with no frame after them.
    void tap(float x, float y);
    // A press and release at the point, then one frame of no time.
    void click(float x, float y, u32 button = 1);
    // The named button of the top screen (of the HUD itself with none open), clicked at its
    // centre; false when no such button is shown.
    bool click(const std::wstring& button);
    bool buttonCentre(const std::wstring& button, float& x, float& y) const;
    // A window's own button clicked at its centre, whether the window is on the stack or not
    // (the board's modal dialog is not); false when it has no such button.
    bool click(const HUDWindow& window, const std::wstring& button);
    // The text a window shows under the name, "<none>" without one; a localised string.
    static std::wstring text(const HUDWindow* window, const std::wstring& name);
    static std::wstring localized(const std::wstring& key);
    void type(const std::wstring& text);
    void key(u32 code);
    // The headless window: events pushed there take the platform's whole input path on the
    // next frame.
    os::NullWindow& window() const;
    // Whether the headless window stands as a window (else full screen), as the game last set it.
    bool windowed() const;
    // A key pressed and released, pushed to the window (virtual-key code, 13 Enter, 8 Backspace).
    void pushKey(u32 key);
    // Alt+Enter pushed to the window: the screen-mode switch on the next frame.
    void pushAltEnter();
    // The window losing and regaining the focus.
    void loseFocus();
    void regainFocus();

    // The frame of type T on the frame manager's stack (a dialog, a message box), or null.
    template <class T> T* dialog() const
    {
        for (const auto& entry : frames().GetStack())
            if (auto* t = dynamic_cast<T*>(entry.frame))
                return t;
        return nullptr;
    }
    // The draw calls the recording device has taken so far (0 on real video).
    size_t drawCalls() const;
    // The recording device's calls that start with the prefix ("SetProgram", "DrawIndexed"), all
    // of them for an empty prefix; none on real video. Cleared by forgetDeviceCalls.
    std::vector<std::string> deviceCalls(const std::string& prefix = "") const;
    void forgetDeviceCalls();

    // The battle frame as the game draws it, into the canvas (a recording one in tests).
    void drawBattle(TDBattleCanvas& canvas);

    // The top screen of the stack, or null; as T when it is one.
    HUDWindow* top() const;
    template <class T> T* top() const { return dynamic_cast<T*>(top()); }
    template <class T> T* find() const
    {
        for (HUDWindow* window : windows())
            if (auto* t = dynamic_cast<T*>(window))
                return t;
        return nullptr;
    }

    // The way in as a player goes: the logos and the intro skipped by clicks, to the main menu.
    bool reachMainMenu();
    // From the main menu through "play" (taking the offered name when the player has none) to
    // the episode selection.
    HUDEpisodeSelectIOS* reachEpisodeSelect();
    // From the main menu through "play" (creating the named player when the current one has no
    // name), the episode's card and the level's plate, past the unlock message, to the running
    // battle (screen 0). The battle plays in the profile's mode (a new player's is 0, the first
    // tab of the level selection); mode 3 enters hardcore through the hardcore button.
    bool startLevel(i32 episode, i32 level, TDDifficulty mode = kDifficultyEasy);

    // The user-data folder, the profiles file and the log as written on disk.
    std::filesystem::path userDir() const;
    std::string profilesFile() const;
    std::string log() const;
    // How often the needle stands in the text (a log line written once, say).
    static int occurrences(const std::string& text, const std::string& needle);
    // The copy of the demo data the game runs on.
    static std::filesystem::path dataDir();

    // The screen stack, bottom first.
    const base::OwnedList<HUDWindow>& windows() const;

    // The unlock messages of a level start closed by their "ok", back to the running battle.
    bool closeUnlockMessages();
    // Skips the tutorial of the current profile unless the options want it.
    void keepTutorialSkipped();

private:
    std::filesystem::path mHome;
    std::filesystem::path mOldCwd;
    Game* mGame = nullptr;
    GameWindow* mBoard = nullptr;
    TDMap* mMap = nullptr;
    bool mTutorial = false;
};
} // namespace testsupport
