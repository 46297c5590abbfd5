// The engine's application for games: the start-up, the frame step, the display mode and the
// switch between windowed and full screen, and the hand-over of input to the frames.
#pragma once

#include "Core/App/Application.h"
#include "Core/App/Monitor.h"
#include "Core/Base/DeferredDelete.h"
#include "Core/Input/InputListener.h"
#include "Framework/DisplayMode.h"

#include <tinyxml2.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

namespace base
{
struct ImageInfo;
}
namespace input
{
class InputWin32;
}
namespace layer
{
class ImageLayer;
}
namespace os
{
class InstanceLock;
}
namespace file
{
class ImageContainer;
}
namespace render
{
class Graphics;
class Image;
class Render;
class RenderTarget;
struct RenderInitParam;
} // namespace render

namespace widget
{
class Frame;
class FrameManager;
} // namespace widget

namespace app
{
class FileSaver;
class FrameHost;
} // namespace app

namespace framework
{
class GameWindow;

class GameApplication : public app::Application,
                        public input::InputListener,
                        public input::CoordConverter,
                        public base::DeferredDeleteManager
{
public:
    GameApplication();
    ~GameApplication() override;

    // The start-up (runs once, from Main); a worker's start stays reachable beside it.
    using app::ThreadWin32::Start;
    QLResultEnum Start() override;
    // The main loop, then one log line with the frames drawn and their average time.
    void Run() override;
    // The frame step, called by the window task every pass.
    virtual QLResultEnum FrameStep(float dt);
    // Fills the bars black.
    virtual QLResultEnum DrawOverlays(render::Graphics& graphics);
    virtual void OnResume() {}
    virtual void OnPause() {}
    virtual QLResultEnum SwitchScreenMode();
    // The player resized the window: the layout is fitted into the new client size.
    QLResultEnum FitToClientSize(int clientWidth, int clientHeight);
    virtual QLResultEnum StartGame() = 0;
    virtual QLResultEnum OnFrame(float dt) = 0;
    virtual QLResultEnum LoadConfig() { return QL_OK; }
    // Nothing on the current screen moves fast (menus): its frames may be paced at a lower rate.
    virtual bool IsCalmScreen() const { return false; }

    QLResultEnum ChooseDisplayMode(bool windowed, DisplaySettings& out);
    QLResultEnum ApplyDisplaySettings(const DisplaySettings& settings);
    // The render parameters of a choice, with its projection built by the renderer.
    QLResultEnum MakeRenderInitParam(const DisplaySettings& settings, render::RenderInitParam& out);
    bool IsWindowLargerThanScreen() const;
    // The named image (inside the container when one is given), shared by name; null when it
    // cannot be loaded. The caller owns the image.
    render::Image* LoadImage(const std::wstring& name, file::ImageContainer* container = nullptr);
    // The named image (inside the container when one is given) with its information, as an image
    // layer that owns it, placed at the image's position; the information is copied out when
    // asked. A failing load is returned and makes no layer.
    QLResultEnum CreateImageLayer(const std::wstring& name, file::ImageContainer* container, layer::ImageLayer** out,
                                  base::ImageInfo* info = nullptr);
    // Makes the frame the current screen: the previous one is queued for removal and deletion,
    // the new one gets the layout rectangle and its start, then is queued as a normal, activated
    // frame. A failing start is returned and leaves no current screen (the caller keeps the frame).
    QLResultEnum SetScreen(widget::Frame* frame);
    // The UI toolkit's frame manager, or null when another host stands in for it.
    widget::FrameManager* GetFrameManager() const;

    // input::CoordConverter
    math::Point2 ToGameCoords(const math::Point2& point) override;
    math::Point2 ConvertCoordsByMode(const math::Point2& point, input::CoordMode mode) override;

    // input::InputListener: the frames take the mouse, the focused widget the keys.
    QLResultEnum OnMouseDown(const math::Point2& position, u32 button) override;
    QLResultEnum OnMouseUp(const math::Point2& position, u32 button) override;
    QLResultEnum OnMouseDoubleClick(const math::Point2& position, u32 button) override;
    QLResultEnum OnMouseMove(const math::Point2& position) override;
    QLResultEnum OnMouseDrag(const math::Point2& position) override;
    QLResultEnum OnMouseWheel(const math::Point2& position, u32 delta) override;
    QLResultEnum OnMouseLeave(const math::Point2&) override { return QL_OK; }
    QLResultEnum OnKeyDown(u32 key) override;
    QLResultEnum OnKeyUp(u32 key) override;
    QLResultEnum OnChar(u16 unit) override;
    QLResultEnum OnTouchBegin(const input::Touches& touches) override;
    QLResultEnum OnTouchMove(const input::Touches& touches) override;
    QLResultEnum OnTouchEnd(const input::Touches& touches) override;
    QLResultEnum OnTouchCancel(const input::Touches& touches) override;

    static GameApplication* Get();

    // Owned (below); the plain pointers are what the game and the toolkit read.
    GameWindow* mWindow = nullptr;
    render::Render* mRender = nullptr;
    app::FrameHost* mFrameManager = nullptr;
    widget::Frame* mScreen = nullptr; // the current screen frame
    input::InputWin32* mInput = nullptr;

    std::wstring mPublisherName;
    std::wstring mGameName;
    std::wstring mCaption;
    LayoutSizes mLayout;
    bool mWindowed = true;
    // The display scales of images and fonts, handed to the media layer at start-up.
    float mImageScale = 1.0f;
    float mFontScale = 1.0f;
    app::MonitorList mMonitors;
    ViewGeometry mView;
    // The full layout in game units, set at start-up: the rectangle every screen gets.
    float mLayoutX = 0;
    float mLayoutY = 0;
    float mLayoutWidth = 0;
    float mLayoutHeight = 0;
    std::unique_ptr<render::RenderTarget> mOffScreenTarget;
    tinyxml2::XMLDocument mGameDocument;
    u64 mFrameCount = 0; // frames drawn
    struct FileCloser
    {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> mFrameCountFile;
    std::chrono::steady_clock::time_point mCreated = std::chrono::steady_clock::now();

protected:
    // Factories the tests replace: the renderer and the frame manager.
    virtual render::Render* CreateRender();
    virtual app::FrameHost* CreateFrameManager();
    // "--pack": rebuilds every mounted pack from its folder, then ends the program.
    virtual QLResultEnum RunPackBuild(const std::wstring& value);
    // The "DialogEffects" element of "data/game.xml". The dialogs and their effects belong to the
    // UI toolkit, which builds on this library: the game's application hands the element to the
    // toolkit's DialogEffectsManager (a game without dialogs keeps this one, which reads nothing).
    virtual QLResultEnum LoadDialogEffects(tinyxml2::XMLElement*) { return QL_OK; }
    // A start-up failure the player must see: logged, and shown in a box.
    void ReportFatal(const std::wstring& text);
    void DeleteOffScreenTarget();
    // At the end: every frame goes, those still waiting to join the stack (a screen set after the
    // last frame) too, which join it first in a step of no time.
    void RemoveAllFrames(bool recursive);

public:
    // The window manager tells the frame only once the window shows: the window is centred again
    // with it, or goes full screen when the framed window does not fit.
    void FitToWindowFrame();

protected:
    // The frames, straight into the window or through the off-screen target scaled into it.
    QLResultEnum DrawFrames(render::Graphics& graphics);
    // Logs a failure of the frame's end (EndScene, Present, ExecuteCommands) with its cause, the
    // first time that step fails for that cause.
    void NoteRenderFailure(const char* step, QLResultEnum result);
    // With QL_FRAME_COUNT_FILE set, that file holds the number of frames presented, rewritten
    // after each: a script driving the window waits on it for a frame drawn after its input.
    void WriteFrameCount();

    // Profiles saves go to a worker, so that no frame waits for the disk; the main loop ends only
    // once it has written them all.
    void StartSaver();

    std::unique_ptr<os::InstanceLock> mInstanceLock;
    std::unique_ptr<app::FileSaver> mSaver;
    bool mOtherInstanceRunning = false;
    // The data folder as named (ending with "/"), and whether this run builds its packs.
    std::wstring mDataFolder;
    bool mBuildingPacks = false;
    std::set<std::string> mRenderFailures; // the frame-end failures logged so far

private:
    // The owners of mWindow, mRender, mFrameManager and mInput. Declared last, they go first
    // after the destructor's body, in reverse order: the input, the frame manager, the render,
    // then the window.
    std::unique_ptr<GameWindow> mOwnedWindow;
    std::unique_ptr<render::Render> mOwnedRender;
    std::unique_ptr<app::FrameHost> mOwnedFrameManager;
    std::unique_ptr<input::InputWin32> mOwnedInput;
};
} // namespace framework
