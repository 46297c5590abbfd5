// Start-up, frame step and screen-mode switch of the game application.
#include "Framework/GameApplication.h"

#include "Core/App/CommandLine.h"
#include "Core/App/FileSaver.h"
#include "Core/App/FrameHost.h"
#include "Core/Base/Constants.h"
#include "Core/Base/Log.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "Core/File/FileSystem.h"
#include "Core/File/Path.h"
#include "Core/File/Profiles.h"
#include "Core/File/ReadFile.h"
#include "Core/File/UserDataFileContainer.h"
#include "Core/Input/InputWin32.h"
#include "Core/Layer/ImageLayer.h"
#include "Core/Media/Graphics/Graphics.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Image/ImageInfo.h"
#include "Core/Media/Image/MediaScale.h"
#include "Core/Media/Image/RenderTarget.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/Matrix4.h"
#include "Core/Render/Render.h"
#include "Core/Render/RenderState.h"
#include "Core/Resource/ResourceManager.h"
#include "Core/Widget/BaseBoard.h"
#include "Core/Widget/Controls/PackScreen.h"
#include "Core/Widget/FrameManager.h"
#include "Framework/ApplicationControlHost.h"
#include "Framework/FolderLock.h"
#include "Framework/GameWindow.h"
#include "Platform/Os/Dialogs.h"
#include "Platform/Os/Error.h"
#include "Platform/Os/Files.h"
#include "Platform/Os/InstanceLock.h"
#include "Platform/Os/Text.h"
#include "Platform/Os/Video.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace framework
{
namespace
{
const wchar_t kLockFileName[] = L"instance.lock";

// A save killed part way leaves its copy of the profiles under a fresh temporary name when
// something else stood at the usual one. Under the folder's lock no copy of the game writes
// there any more: those copies go, whatever else bears such a name stays.
void RemoveSaveLeftovers(const std::wstring& root)
{
    std::vector<std::string> removed;
    if (!os::RemoveTemporaryLeftovers(os::SystemPath(root + base::kProfilesFileName), removed) || removed.empty())
        return;
    std::string names;
    for (const std::string& name : removed)
        names += (names.empty() ? "'" : ", '") + name + "'";
    QL_LOG(L"Removed what saves cut short left: %s\n") << names;
}
} // namespace

GameApplication::GameApplication() : mInstanceLock(std::make_unique<os::InstanceLock>())
{
    base::SingletoneBase::AddDependency(this, resource::ResourceManager::Instance());
    // The controls reach the renderer and the screen mode through it.
    gui::ControlHost::SetFallback(ApplicationControlHost::Shared());
}

GameApplication::~GameApplication()
{
    // Frames still shown go with the manager (a frame deleted earlier has left the stack).
    RemoveAllFrames(false);
    mScreen = nullptr;
    DeleteQueued();
    DeleteOffScreenTarget();
    // The save at exit is on disk and the saver has ended before the lock goes: a copy started
    // from then on finds the player's files complete.
    if (mSaver && file::Profiles::Exists())
    {
        file::Profiles* profiles = file::Profiles::Instance();
        // The log may be gone with the user-data folder: the terminal is told too.
        if (profiles->Close() != QL_OK)
            std::fprintf(stderr, "brackenmoor: progress not saved at exit: %s\n",
                         os::ToUtf8(profiles->GetSaveFault()).c_str());
        if (profiles->GetWriter() == mSaver.get())
            profiles->SetWriter(nullptr);
    }
    mSaver.reset();
    // The log is closed before the lock goes too: a copy started from then on empties the file
    // and writes its own, and nothing of this one lands in it.
    if (base::MainLog::Exists())
        base::MainLog::Instance()->CloseHtmlOutputs();
    mInstanceLock->Release();
}

void GameApplication::RemoveAllFrames(bool recursive)
{
    widget::FrameManager* manager = GetFrameManager();
    if (!manager)
        return;
    if (manager->GetPendingAdditions() > 0)
        (void)manager->Update(0.0f);
    (void)manager->RemoveAllFrames(true, recursive);
    manager->DeleteQueued();
}

void GameApplication::StartSaver()
{
    if (mSaver)
        return;
    mSaver = std::make_unique<app::FileSaver>();
    if (!mSaver->Start(app::PRIORITY_NORMAL))
        QL_LOG(L"Profiles are saved without a worker thread\n") << base::LogStyle::Error;
    file::Profiles::Instance()->SetWriter(mSaver.get());
}

GameApplication* GameApplication::Get() { return dynamic_cast<GameApplication*>(app::Application::Get()); }

render::Render* GameApplication::CreateRender() { return new render::RenderDX9(); }

app::FrameHost* GameApplication::CreateFrameManager() { return new widget::FrameManager(); }

widget::FrameManager* GameApplication::GetFrameManager() const
{
    return dynamic_cast<widget::FrameManager*>(mFrameManager);
}

QLResultEnum GameApplication::SetScreen(widget::Frame* frame)
{
    widget::FrameManager* manager = GetFrameManager();
    if (!manager)
    {
        QL_LOG(L"No frame manager to show a screen in\n") << base::LogStyle::Error;
        return QL_FAIL;
    }
    if (mScreen)
        (void)manager->Remove(mScreen, true, true);
    mScreen = frame;
    if (!frame)
        return QL_OK;
    // The whole layout, whatever part of it the display shows.
    frame->SetRect(mLayoutX, mLayoutY, mLayoutWidth, mLayoutHeight);
    if (auto* board = dynamic_cast<widget::BaseBoard*>(frame))
    {
        if (QLResultEnum r = board->Start())
        {
            mScreen = nullptr;
            return r;
        }
    }
    return manager->Add(frame, false, true, true);
}

void GameApplication::ReportFatal(const std::wstring& text)
{
    QL_LOG(L"%s\n") << base::LogStyle::Error << text;
    os::ShowErrorBox(L"Error", text);
}

QLResultEnum GameApplication::Start()
{
    render::SetMediaScale({mImageScale, mFontScale});

    // 1. Data folder.
    const app::CommandLine line = app::CommandLine::Parse(mArguments);
    if (line.mode == app::CommandLine::MALFORMED)
    {
        const std::string text = os::ToUtf8(line.error + L"\n" + app::CommandLine::Usage());
        std::fprintf(stderr, "brackenmoor: %s\n", text.c_str());
        QL_LOG(L"Bad command line: %s\n") << base::LogStyle::Error << line.error;
        return QL_FAIL;
    }
    // Named on the command line (also for building packs), else the executable's folder.
    const std::wstring dataFolder = line.dataPath.empty() ? mModuleFolder : line.dataPath;
    mDataFolder = file::NormalizeDirectoryPath(dataFolder);
    mBuildingPacks = line.mode == app::CommandLine::PACK;
    file::FileManager::Instance();
    const QLResultEnum cd = file::SetCurrentDirectory(dataFolder);

    // 2. User-data folder, and the lock that keeps a second copy from touching it. Building packs
    // makes no folder there; it only looks for a running copy.
    file::UserDataFileContainer* userData = file::UserDataFileContainer::Instance();
    const QLResultEnum usable =
        userData->SetPath(mPerUserFolder + mPublisherName + L"/" + mGameName + L"/", !mBuildingPacks);
    const std::wstring root = userData->GetRootPath();
    const FolderLock lock =
        TakeFolderLock(*mInstanceLock, root, kLockFileName, mPublisherName + L"-" + mGameName, usable == QL_OK);
    if (lock.state == FolderLock::NONE && usable == QL_OK && !mBuildingPacks)
    {
        // Two copies on one folder would each save over the other's progress. Nothing of the
        // folder is touched (its log may be another copy's).
        ReportFatal(L"The game cannot make sure that it is the only copy using '" + root + L"': neither " +
                    lock.faults + L" can be locked.");
        Stop();
        return QL_FAIL;
    }
    mOtherInstanceRunning = lock.state == FolderLock::ANOTHER_COPY;
    if (mOtherInstanceRunning)
        file::Profiles::Instance()->SetSecondInstance(true);
    else if (!mBuildingPacks)
        StartSaver();
    if (mOtherInstanceRunning && line.mode == app::CommandLine::PACK)
    {
        // The running copy reads the packs: they are not rebuilt under it.
        std::fprintf(stderr, "brackenmoor: the game is running; close it before building the packs\n");
        SetSecondInstance();
        Stop();
        return QL_FAIL;
    }

    // 3. The log; a second copy leaves the running one's log alone, and building packs reports on
    // the terminal only. A folder that cannot hold the player's files is said once, on the
    // terminal too when the log cannot be written; the game is played all the same (the main menu
    // tells the player).
    if (!mOtherInstanceRunning && !mBuildingPacks)
    {
        std::wstring logFault;
        const bool logged = InitLogFile(root, &logFault) == QL_OK;
        const auto tell = [logged](const std::wstring& text)
        {
            if (!logged)
                std::fprintf(stderr, "brackenmoor: %s\n", os::ToUtf8(text).c_str());
        };
        if (usable != QL_OK)
        {
            const std::wstring why = L"the user-data folder '" + root + L"' " + userData->GetFault();
            file::Profiles::Instance()->ReportUnsaved(why);
            tell(L"progress will not be saved: " + why);
        }
        tell(logFault);
    }
    if (cd && !line.dataPath.empty())
    {
        // The folder the player named: say what is wrong with it, not what is missing inside.
        os::PathInfo info;
        const bool exists = os::Stat(os::SystemPath(dataFolder), info);
        ReportFatal(!exists          ? L"The data folder '" + dataFolder + L"' does not exist."
                    : !info.isFolder ? L"The data folder '" + dataFolder + L"' is not a folder."
                                     : L"The data folder '" + dataFolder + L"' cannot be opened.");
        Stop();
        return QL_FAIL;
    }
    if (cd)
        QL_LOG(L"Cannot enter the data folder '%s'\n") << base::LogStyle::Error << dataFolder;
    LogFolderLock(lock, root, usable == QL_OK);
    if (lock.state == FolderLock::HELD && usable == QL_OK && !mBuildingPacks)
        RemoveSaveLeftovers(root);

    // 4-5. Configuration.
    if (QLResultEnum r = LoadConfig())
        return r;

    // 6. The full layout around the core.
    mLayoutX = (static_cast<float>(mLayout.coreWidth) - static_cast<float>(mLayout.fullWidth)) * 0.5f;
    mLayoutY = 0;
    mLayoutWidth = static_cast<float>(mLayout.fullWidth);
    mLayoutHeight = static_cast<float>(mLayout.height);

    // 7-10. Input, window, monitors, renderer. Building packs draws nothing: it needs no display.
    if (line.mode == app::CommandLine::PACK)
        os::UseHeadlessVideo();
    mOwnedInput = std::make_unique<input::InputWin32>(this, this);
    mInput = mOwnedInput.get();
    mOwnedWindow = std::make_unique<GameWindow>(mInput, this);
    mWindow = mOwnedWindow.get();
    if (!app::EnumMonitors(mMonitors))
        QL_LOG(L"Cannot list the displays: %s\n") << base::LogStyle::Error << os::LastError();
    DisplaySettings settings;
    mOwnedRender.reset(CreateRender());
    mRender = mOwnedRender.get();

    // 11. Display mode.
    if (QLResultEnum r = ChooseDisplayMode(mWindowed, settings))
        return r;

    // 12. The window, unless another copy runs for this user.
    if (mOtherInstanceRunning)
    {
        QL_LOG(L"Another copy of the game is running for '%s'; this one ends\n") << root;
        mInstanceLock->RequestRaise();
        SetSecondInstance();
        Stop();
        return QL_OK;
    }
    if (QLResultEnum r = mWindow->Create(settings.windowX, settings.windowY, settings.windowWidth,
                                         settings.windowHeight, static_cast<int>(settings.clientWidth),
                                         static_cast<int>(settings.clientHeight), settings.windowed, mCaption))
    {
        ReportFatal(L"Cannot create the game window: " + os::FromUtf8(os::LastError()) + L".");
        return r;
    }
    mWindowed = settings.windowed;

    // 13-15. Renderer and off-screen settings.
    if (mStopping)
        return QL_OK;
    render::RenderInitParam param;
    if (QLResultEnum r = MakeRenderInitParam(settings, param))
        return r;
    if (QLResultEnum r = mRender->InitRender(mWindow, param))
    {
        if (!mStopping)
            ReportFatal(L"Cannot start the OpenGL 3.3 renderer.");
        return r;
    }
    if (QLResultEnum r = ApplyDisplaySettings(settings))
        return r;

    // 16-17. The window joins the task tree; the frames get their manager.
    AddTask(mWindow);
    mOwnedFrameManager.reset(CreateFrameManager());
    mFrameManager = mOwnedFrameManager.get();

    // 18. Pack building replaces the game.
    if (line.mode == app::CommandLine::PACK)
        return RunPackBuild(line.value);

    // 19. Dialog effects from "data/game.xml"; the file is optional.
    bool read = false;
    const std::string text = file::ReadFile(L"data/game.xml", nullptr, &read);
    if (read && mGameDocument.Parse(text.c_str(), text.size()) == tinyxml2::XML_SUCCESS)
    {
        tinyxml2::XMLElement* game = mGameDocument.FirstChildElement("Game");
        if (tinyxml2::XMLElement* effects = game ? game->FirstChildElement("DialogEffects") : nullptr)
            if (QLResultEnum r = LoadDialogEffects(effects))
                return r;
    }
    else
        mGameDocument.Clear();

    // 20. The game.
    return StartGame();
}

void GameApplication::FitToWindowFrame()
{
    if (!mWindow || !mWindow->IsWindowed())
        return;
    DisplaySettings framed;
    if (ChooseDisplayMode(true, framed))
        return;
    int frameWidth = 0, frameHeight = 0;
    mWindow->WindowSizeForClient(0, 0, frameWidth, frameHeight);
    QL_LOG(L"The window's frame is %d x %d: %s\n")
        << frameWidth << frameHeight << (framed.windowed ? "centred again" : "the window does not fit, full screen");
    if (!framed.windowed)
    {
        // The player did not ask for it: the stored choice stays.
        (void)GameApplication::SwitchScreenMode();
        return;
    }
    mWindow->SetPosition(framed.windowX, framed.windowY);
    (void)mWindow->SetWindowedSize(framed.windowWidth, framed.windowHeight);
}

void GameApplication::Run()
{
    const auto start = std::chrono::steady_clock::now();
    app::Application::Run();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Every way out notes its cause; none noted is a fault of the game's own.
    QL_LOG(L"Main loop ended: %u frames in %g s (%g ms per frame); cause: %s\n")
        << static_cast<unsigned>(mFrameCount) << seconds
        << (mFrameCount ? seconds * 1000.0 / static_cast<double>(mFrameCount) : 0.0)
        << (GetEndCause() ? GetEndCause() : "none noted");
}

QLResultEnum GameApplication::RunPackBuild(const std::wstring& value)
{
    // The pack-building screen's start builds the packs; the program then ends with the result.
    // Without the toolkit's frame manager (another host stands in) the screen only starts.
    auto screen = std::make_unique<gui::PackScreen>(value);
    const QLResultEnum result = GetFrameManager() ? SetScreen(screen.get()) : screen->Start();
    // Run from a terminal: what was built, or why not.
    for (const gui::PackScreen::Report& report : screen->GetReports())
    {
        const std::string pack = os::SystemPath(mDataFolder + report.pack);
        const std::string folder = os::SystemPath(mDataFolder + report.folder);
        if (report.result == QL_OK)
            std::printf("brackenmoor: built '%s' from '%s' (%u files)\n", pack.c_str(), folder.c_str(), report.files);
        else
            std::fprintf(stderr, "brackenmoor: cannot build '%s' from '%s': %s\n", pack.c_str(), folder.c_str(),
                         os::ToUtf8(report.reason).c_str());
    }
    if (screen->GetReports().empty())
        std::fprintf(stderr, "brackenmoor: no packs to build in '%s'\n", os::SystemPath(mDataFolder).c_str());
    std::fflush(stdout);
    // No frame will be drawn: the screen goes now (it leaves the manager's queue).
    mScreen = nullptr;
    screen.reset();
    SetExitCode(result ? 1 : 0);
    Stop();
    return result;
}

QLResultEnum GameApplication::ChooseDisplayMode(bool windowed, DisplaySettings& out)
{
    int frameWidth = 0, frameHeight = 0;
    if (mWindow)
        mWindow->WindowSizeForClient(0, 0, frameWidth, frameHeight);
    return framework::ChooseDisplayMode(mLayout, mMonitors, windowed, frameWidth, frameHeight, out, mView);
}

bool GameApplication::IsWindowLargerThanScreen() const
{
    int frameWidth = 0, frameHeight = 0;
    if (mWindow)
        mWindow->WindowSizeForClient(0, 0, frameWidth, frameHeight);
    return framework::IsWindowLargerThanScreen(mLayout, mMonitors, frameWidth, frameHeight);
}

render::Image* GameApplication::LoadImage(const std::wstring& name, file::ImageContainer* container)
{
    render::Image* image = nullptr;
    if (render::LoadImage(mRender, name, container, &image, nullptr))
        return nullptr;
    return image;
}

QLResultEnum GameApplication::CreateImageLayer(const std::wstring& name, file::ImageContainer* container,
                                               layer::ImageLayer** out, base::ImageInfo* info)
{
    return layer::CreateImageLayer(mRender, name, container, out, info);
}

QLResultEnum GameApplication::MakeRenderInitParam(const DisplaySettings& settings, render::RenderInitParam& out)
{
    out.mWidth = settings.clientWidth;
    out.mHeight = settings.clientHeight;
    out.mWindowed = settings.windowed;
    out.mBuildProjection = settings.buildProjection;
    out.mScaleX = settings.scaleX;
    out.mScaleY = settings.scaleY;
    out.mOffsetX = settings.offsetX;
    out.mOffsetY = settings.offsetY;
    if (settings.buildProjection)
        return QL_OK; // window pixels; the view goes through the off-screen target
    const ProjectionRecipe& recipe = settings.projection;
    math::Matrix4 ortho;
    if (QLResultEnum r = mRender->BuildProjection(recipe.width, recipe.height, recipe.flag, &ortho))
        return r;
    math::Matrix4 before, scale, after;
    before.SetTranslation(recipe.translateX, recipe.translateY, 0);
    scale.SetDiagonal(recipe.scaleX, recipe.scaleY, 1);
    after.SetTranslation(recipe.offsetX, recipe.offsetY, 0);
    out.mProjection = before * scale * after * ortho;
    return QL_OK;
}

QLResultEnum GameApplication::ApplyDisplaySettings(const DisplaySettings& settings)
{
    DeleteOffScreenTarget();
    if (!settings.offScreen)
        return QL_OK;
    render::RenderTarget* target = nullptr;
    if (QLResultEnum r =
            render::CreateRenderTarget(mRender, settings.offScreenWidth, settings.offScreenHeight, &target, 1))
    {
        QL_LOG(L"Cannot create the %u x %u off-screen target\n")
            << base::LogStyle::Error << settings.offScreenWidth << settings.offScreenHeight;
        return r;
    }
    mOffScreenTarget.reset(target);
    // The view's offset lives in the target's projection: layers and the battle set their own
    // transforms on the drawing context, which would drop an offset kept there.
    return mOffScreenTarget->BuildProjection(mView.viewOffsetX, mView.viewOffsetY);
}

void GameApplication::DeleteOffScreenTarget()
{
    if (!mOffScreenTarget)
        return;
    // The recording of the current frame may still name it.
    if (mRender)
        mRender->DeleteAfterPlayback(mOffScreenTarget.release());
    else
        mOffScreenTarget.reset();
}

QLResultEnum GameApplication::DrawFrames(render::Graphics& graphics)
{
    if (!mOffScreenTarget)
        return mFrameManager ? mFrameManager->Draw(graphics) : QL_OK;
    QLResultEnum result;
    {
        render::Graphics target(mOffScreenTarget.get());
        result = target.Clear(1, 0xFF000000, 1.0f, 0);
        if (!result && mFrameManager)
            result = mFrameManager->Draw(target);
    }
    if (result)
        return result;
    math::Transform2D placement;
    placement.Scale(mView.targetScaleX, mView.targetScaleY);
    placement.Translate(mView.targetX, mView.targetY);
    auto draw = graphics.DrawImage(mOffScreenTarget.get());
    draw->mAlignH = 2;
    draw->mAlignV = 2;
    draw.Transform(placement);
    return QL_OK;
}

QLResultEnum GameApplication::FrameStep(float dt)
{
    if (file::Profiles::Exists())
        file::Profiles::Instance()->PollWrites();
    if (!mRender->IsReady())
        return QL_OK;
    if (QLResultEnum r = mInput->Update())
        return r;
    if (QLResultEnum r = OnFrame(dt))
        return r;
    if (mFrameManager)
        if (QLResultEnum r = mFrameManager->Tick(dt))
            return r;
    DeleteQueued();
    if (QLResultEnum r = mRender->BeginScene())
        return r;
    QLResultEnum result;
    {
        render::Graphics graphics(mRender);
        result = graphics.Clear(1, 0xFF000000, 1.0f, 0);
        if (!result)
            result = DrawFrames(graphics);
        if (!result && mView.barsPresent)
            result = DrawOverlays(graphics);
    }
    // A begun scene is always ended and the recording always played (which rewinds it), so a
    // failed frame does not spoil the next one.
    const QLResultEnum ended = mRender->EndScene();
    NoteRenderFailure("EndScene", ended);
    if (!result)
        result = ended;
    if (!result)
    {
        result = mRender->Present();
        NoteRenderFailure("Present", result);
    }
    const QLResultEnum played = mRender->ExecuteCommands();
    NoteRenderFailure("ExecuteCommands", played);
    if (!result)
        result = played;
    if (++mFrameCount == 1 && !result)
        QL_LOG(L"First frame presented %d ms after the application was created\n") << static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - mCreated).count());
    WriteFrameCount();
    return result;
}

void GameApplication::WriteFrameCount()
{
    if (mFrameCount == 1)
        if (const char* path = std::getenv("QL_FRAME_COUNT_FILE"); path && *path)
            mFrameCountFile.reset(std::fopen(path, "w"));
    if (!mFrameCountFile)
        return;
    // The count only grows, so each write covers the one before without truncating the file.
    std::rewind(mFrameCountFile.get());
    std::fprintf(mFrameCountFile.get(), "%llu\n", static_cast<unsigned long long>(mFrameCount));
    std::fflush(mFrameCountFile.get());
}

void GameApplication::NoteRenderFailure(const char* step, QLResultEnum result)
{
    if (!result)
        return;
    // The main loop goes on whatever a frame gives, so a failure that lasts would repeat every
    // frame: each kind is told once.
    const std::string cause = mRender->GetFailure();
    if (!mRenderFailures.insert(std::string(step) + ": " + cause).second)
        return;
    QL_LOG(L"%s failed (%d): %s; the game goes on, and this failure is not logged again\n")
        << base::LogStyle::Error << step << static_cast<int>(result) << cause;
}

QLResultEnum GameApplication::DrawOverlays(render::Graphics& graphics)
{
    // Filled in black (the context's default colour is white), then the colour is put back.
    graphics.SetColorRGBA(0, 0, 0, 1);
    for (const BarRect* bar : {&mView.firstBar, &mView.secondBar})
        graphics.FillRect(bar->x, bar->y, bar->width, bar->height);
    graphics.SetColorRGBA(1, 1, 1, 1);
    return QL_OK;
}

QLResultEnum GameApplication::SwitchScreenMode()
{
    const bool wasWindowed = mWindow->IsWindowed();
    const ViewGeometry previousView = mView;
    DisplaySettings settings;
    if (QLResultEnum r = ChooseDisplayMode(!wasWindowed, settings))
        return r;
    if (settings.fellBackToFullScreen)
    {
        QL_LOG(L"The window does not fit the screen; staying in full screen\n");
        return QL_OK;
    }
    render::RenderInitParam param;
    if (QLResultEnum r = MakeRenderInitParam(settings, param))
        return r;
    DeleteOffScreenTarget();

    auto failed = [&](const wchar_t* step, QLResultEnum r)
    {
        QL_LOG(L"Screen-mode switch failed at %s (%d); going back\n")
            << base::LogStyle::Error << step << static_cast<int>(r);
        DisplaySettings back;
        render::RenderInitParam backParam;
        if (!ChooseDisplayMode(wasWindowed, back) && !MakeRenderInitParam(back, backParam))
        {
            mWindow->SetPosition(back.windowX, back.windowY);
            (void)mWindow->SwitchWindowMode(back.windowWidth, back.windowHeight, back.windowed);
            if (mRender->ResetRender(backParam) || ApplyDisplaySettings(back))
                QL_LOG(L"The renderer cannot be restored either\n") << base::LogStyle::Error;
        }
        else
            mView = previousView;
        return r;
    };

    QL_LOG(L"mRender->PrepareSwitchScreenMode()\n");
    if (QLResultEnum r = mRender->ReleaseRender())
        return failed(L"ReleaseRender", r);
    if (wasWindowed)
    {
        QL_LOG(L"SwitchWindowMode(false)\n");
        if (QLResultEnum r = mWindow->SwitchWindowMode(settings.windowWidth, settings.windowHeight, false))
            return failed(L"SwitchWindowMode(false)", r);
        QL_LOG(L"mRender->SwitchScreenMode()\n");
        if (QLResultEnum r = mRender->ResetRender(param))
            return failed(L"ResetRender", r);
    }
    else
    {
        QL_LOG(L"mWindow->SetWindowedSize()\n");
        mWindow->SetPosition(settings.windowX, settings.windowY);
        (void)mWindow->SetWindowedSize(settings.windowWidth, settings.windowHeight);
        QL_LOG(L"mRender->SwitchScreenMode()\n");
        if (QLResultEnum r = mRender->ResetRender(param))
            return failed(L"ResetRender", r);
        QL_LOG(L"SwitchWindowMode(true)\n");
        if (QLResultEnum r = mWindow->SwitchWindowMode(settings.windowWidth, settings.windowHeight, true))
            return failed(L"SwitchWindowMode(true)", r);
    }
    mWindowed = settings.windowed;
    return ApplyDisplaySettings(settings);
}

QLResultEnum GameApplication::FitToClientSize(int clientWidth, int clientHeight)
{
    if (clientWidth <= 0 || clientHeight <= 0)
        return QL_OK;
    const ViewGeometry previousView = mView;
    DisplaySettings settings;
    if (QLResultEnum r = framework::ChooseDisplayModeForClient(mLayout, static_cast<u32>(clientWidth),
                                                               static_cast<u32>(clientHeight), settings, mView))
        return r;
    render::RenderInitParam param;
    if (QLResultEnum r = MakeRenderInitParam(settings, param))
    {
        mView = previousView;
        return r;
    }
    QL_LOG(L"The window is now %d x %d\n") << clientWidth << clientHeight;
    DeleteOffScreenTarget();
    if (QLResultEnum r = mRender->ReleaseRender())
        return r;
    if (QLResultEnum r = mRender->ResetRender(param))
    {
        QL_LOG(L"The renderer cannot take the new window size (%d)\n") << base::LogStyle::Error << static_cast<int>(r);
        return r;
    }
    return ApplyDisplaySettings(settings);
}

math::Point2 GameApplication::ToGameCoords(const math::Point2& p)
{
    return {(p.x + mView.inputOffsetX) * mView.inputScaleX, (p.y + mView.inputOffsetY) * mView.inputScaleY};
}

math::Point2 GameApplication::ConvertCoordsByMode(const math::Point2& p, input::CoordMode mode)
{
    const float w = mWindow ? static_cast<float>(mWindow->GetWidth()) : 0;
    const float h = mWindow ? static_cast<float>(mWindow->GetHeight()) : 0;
    if (mode == input::CoordMode::kQuarterTurn)
        return {w - p.y, p.x};
    if (mode == input::CoordMode::kThreeQuarterTurn)
        return {p.y, h - p.x};
    return p;
}

QLResultEnum GameApplication::OnMouseDown(const math::Point2& p, u32 button)
{
    return mFrameManager ? mFrameManager->OnMouseDown(p, button) : QL_OK;
}

QLResultEnum GameApplication::OnMouseUp(const math::Point2& p, u32 button)
{
    return mFrameManager ? mFrameManager->OnMouseUp(p, button) : QL_OK;
}

QLResultEnum GameApplication::OnMouseDoubleClick(const math::Point2& p, u32 button)
{
    return mFrameManager ? mFrameManager->OnMouseDoubleClick(p, button) : QL_OK;
}

QLResultEnum GameApplication::OnMouseMove(const math::Point2& p)
{
    return mFrameManager ? mFrameManager->OnMouseMove(p) : QL_OK;
}

QLResultEnum GameApplication::OnMouseDrag(const math::Point2& p)
{
    return mFrameManager ? mFrameManager->OnMouseDrag(p) : QL_OK;
}

QLResultEnum GameApplication::OnMouseWheel(const math::Point2& p, u32 delta)
{
    return mFrameManager ? mFrameManager->OnMouseWheel(p, delta) : QL_OK;
}

QLResultEnum GameApplication::OnKeyDown(u32 key)
{
    app::KeyTarget* target = mFrameManager ? mFrameManager->GetKeyTarget() : nullptr;
    return target ? target->OnKeyDown(key) : QL_OK;
}

QLResultEnum GameApplication::OnKeyUp(u32 key)
{
    app::KeyTarget* target = mFrameManager ? mFrameManager->GetKeyTarget() : nullptr;
    return target ? target->OnKeyUp(key) : QL_OK;
}

QLResultEnum GameApplication::OnChar(u16 unit)
{
    app::KeyTarget* target = mFrameManager ? mFrameManager->GetKeyTarget() : nullptr;
    return target ? target->OnChar(unit) : QL_OK;
}

QLResultEnum GameApplication::OnTouchBegin(const input::Touches& touches)
{
    return touches.empty() ? QL_OK : OnMouseDown(touches.front().position, 1);
}

QLResultEnum GameApplication::OnTouchMove(const input::Touches& touches)
{
    return touches.empty() ? QL_OK : OnMouseDrag(touches.front().position);
}

QLResultEnum GameApplication::OnTouchEnd(const input::Touches& touches)
{
    return OnMouseUp(touches.empty() ? math::Point2() : touches.front().position, 1);
}

QLResultEnum GameApplication::OnTouchCancel(const input::Touches& touches) { return OnTouchEnd(touches); }
} // namespace framework
