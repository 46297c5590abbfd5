// The game headless on a copy of the demo content: the null video driver stands for the display
// and the recording device for the GPU; everything else is the real game, stepped one main-loop
// pass at a time.
#include "support/GameHarness.h"

#include "App/Game.h"
#include "Core/Base/Singletone.h"
#include "Core/File/Profiles.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Widget/FrameManager.h"
#include "Platform/Gpu/RecordingDevice.h"
#include "Platform/Os/Event.h"
#include "Platform/Os/NullVideo.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Data/TDProgress.h"
#include "Source/TD/Draw/TDBattleDrawer.h"
#include "Source/TD/Shell/EpisodeCarousel.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDButtonList.h"
#include "Source/TD/Shell/HUDEpisodeSelectIOS.h"
#include "Source/TD/Shell/HUDLevelSelect.h"
#include "Source/TD/Shell/HUDMainMenu.h"
#include "Source/TD/Shell/HUDModalInput.h"
#include "Source/TD/Shell/HUDUnlockMessage.h"
#include "Source/TD/Shell/TDTutorial.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace testsupport
{
namespace
{
// One copy of the demo data per process, removed at exit: what the build puts in the data folder
// (all of content/ but its generators), with td/ loose instead of packed.
struct DemoData
{
    DemoData() : path(FreshFolder("data"))
    {
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(QL_SOURCE_DIR) / "content"))
            if (entry.path().filename() != "tools")
                fs::copy(entry.path(), path / entry.path().filename(), fs::copy_options::recursive);
    }
    ~DemoData()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};
// The file at `relative` under `data` (a folder of links to the demo's) replaced: the folders on
// its way become real ones, linked to the demo's entries in turn, so the demo stays untouched.
void replaceDataFile(const fs::path& data, const std::string& relative, const std::string& bytes)
{
    const fs::path path(relative);
    fs::path here = data, demo = GameHarness::dataDir();
    for (auto part = path.begin(); part != path.end(); ++part)
    {
        if (std::next(part) == path.end())
            break;
        here /= *part;
        demo /= *part;
        if (!fs::is_symlink(here))
            continue;
        fs::remove(here);
        fs::create_directory(here);
        for (const fs::directory_entry& entry : fs::directory_iterator(demo))
            fs::create_symlink(entry.path(), here / entry.path().filename());
    }
    here /= path.filename();
    fs::remove(here);
    std::ofstream(here, std::ios::binary) << bytes;
}
// The game with a hook after its configuration.
class HookedGame : public Game
{
public:
    explicit HookedGame(std::function<void()> afterConfig) : mAfterConfig(std::move(afterConfig)) {}

protected:
    QLResultEnum LoadConfig() override
    {
        const QLResultEnum result = Game::LoadConfig();
        if (mAfterConfig)
            mAfterConfig();
        return result;
    }

private:
    std::function<void()> mAfterConfig;
};
} // namespace

fs::path GameHarness::dataDir()
{
    static DemoData data;
    return data.path;
}

GameHarness::Options GameHarness::bareBoard()
{
    Options options;
    options.logos = false;
    options.tutorial = true;
    options.bare = true;
    return options;
}

GameHarness::Options GameHarness::threeStarPlayer(const std::function<void(TDProgress&)>& more)
{
    Options options;
    GameHarness game;
    if (!game.startLevel(0, 0))
        return options;
    TDProgress& progress = *game.map().mProgress;
    TDLevelResult won;
    won.stars = 3;
    for (i32 level = 0; level < game.map().getLevelCount(0); ++level)
        progress.saveLevelResult(0, level, game.map().mMode, won);
    if (more)
        more(progress);
    options.profiles = game.profilesFile();
    return options;
}

GameHarness::GameHarness() : GameHarness(Options{}) {}

GameHarness::GameHarness(const Options& options)
    : mHome(FreshFolder("home")), mOldCwd(fs::current_path()), mTutorial(options.tutorial)
{
    setenv("XDG_DATA_HOME", mHome.c_str(), 1);
    // A user-data folder that cannot be used puts the lock there instead of the system's folders.
    fs::create_directories(mHome / "run");
    setenv("XDG_RUNTIME_DIR", (mHome / "run").c_str(), 1);
    setenv("QL_NO_MESSAGE_BOX", "1", 1);
    setenv("QL_NO_SHELL_OPEN", "1", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    fs::path data = dataDir();
    if (!options.logos || !options.dataFiles.empty())
    {
        // A data folder of its own (without the logo list when asked), linked to the demo's.
        data = mHome / "data";
        fs::create_directories(data);
        for (const fs::directory_entry& entry : fs::directory_iterator(dataDir()))
            if (options.logos || entry.path().filename() != "logo")
                fs::create_symlink(entry.path(), data / entry.path().filename());
        for (const auto& [file, bytes] : options.dataFiles)
            replaceDataFile(data, file, bytes);
    }
    if (!options.profiles.empty())
    {
        const fs::path user = userDir();
        fs::create_directories(user);
        std::ofstream(user / "profiles.xml", std::ios::binary) << options.profiles;
        if (options.profilesUnreadable)
            fs::permissions(user / "profiles.xml", fs::perms::none);
    }
    if (options.userData == Options::BLOCKED)
        std::ofstream(userDir().parent_path(), std::ios::binary) << "not a folder";
    if (options.userData == Options::READ_ONLY)
    {
        fs::create_directories(userDir());
        fs::permissions(userDir(), fs::perms::owner_read | fs::perms::owner_exec);
    }
    auto driver = std::make_unique<os::NullVideoDriver>();
    driver->mFreeRunning = options.freeRunning;
    driver->mKeepAllCalls = options.keepAllDeviceCalls;
    if (options.displayWidth > 0 && options.displayHeight > 0)
    {
        driver->mDisplays.at(0).bounds = {0, 0, options.displayWidth, options.displayHeight};
        driver->mDisplays.at(0).workArea = {0, 0, options.displayWidth, options.displayHeight - 40};
    }
    os::SetVideoDriver(options.realVideo ? nullptr : std::move(driver));
    auto* game = new HookedGame(options.afterConfig);
    const std::string folder = data.string() + "/";
    game->Arguments() = {L"--data_path", std::wstring(folder.begin(), folder.end())};
    // The first pass of the main loop runs the start-up, as the real one does.
    if (game->Init() != QL_OK || game->Tick(0.0f) != QL_OK || !game->getBoard() || !game->getMap())
        return;
    mGame = game;
    mBoard = game->getBoard();
    mMap = game->getMap();
    keepTutorialSkipped();
    if (options.bare)
    {
        // The game opens on the splash: start from nothing.
        frame();
        hud().closeAllWindows();
        hud().mPendingWindows.clear();
        mMap->mScreen = kScreenMainMenu;
    }
}

void GameHarness::keepTutorialSkipped()
{
    // A profile made or chosen since the last frame gets its skip before any level starts.
    if (!mTutorial && mMap && mMap->mTutorialActive)
        TDTutorial::Instance()->cancel();
}

GameHarness::~GameHarness()
{
    base::SingletoneBase::DestroyAll();
    os::SetVideoDriver(nullptr);
    std::error_code ignored;
    fs::current_path(mOldCwd, ignored);
    fs::permissions(userDir(), fs::perms::owner_all, ignored); // a read-only one goes too
    fs::remove_all(mHome, ignored);
}

HUD& GameHarness::hud() const { return *mBoard->getHud(); }

widget::FrameManager& GameHarness::frames() const { return *mGame->GetFrameManager(); }

TDScreen GameHarness::screen() const { return mMap->mScreen; }

bool GameHarness::frame(float dt)
{
    if (!mGame)
        return false;
    keepTutorialSkipped();
    const bool ok = mGame->Tick(dt) == QL_OK;
    keepTutorialSkipped();
    return ok;
}

bool GameHarness::run(int frames, float dt)
{
    for (int i = 0; i < frames; ++i)
        if (!frame(dt))
            return false;
    return true;
}

void GameHarness::moveTo(float x, float y) { (void)frames().OnMouseMove({x, y}); }

void GameHarness::press(float x, float y, u32 button)
{
    moveTo(x, y);
    (void)frames().OnMouseDown({x, y}, button);
}

void GameHarness::drag(float x, float y) { (void)frames().OnMouseDrag({x, y}); }

void GameHarness::release(float x, float y, u32 button)
{
    (void)frames().OnMouseUp({x, y}, button);
    keepTutorialSkipped();
}

void GameHarness::tap(float x, float y)
{
    press(x, y);
    release(x, y);
}

void GameHarness::click(float x, float y, u32 button)
{
    press(x, y, button);
    release(x, y, button);
    frame(0.0f);
}

const base::OwnedList<HUDWindow>& GameHarness::windows() const { return mBoard->getHud()->windows(); }

HUDWindow* GameHarness::top() const { return windows().empty() ? nullptr : windows().back(); }

bool GameHarness::buttonCentre(const std::wstring& button, float& x, float& y) const
{
    const HUDWindow* window = top();
    return window ? window->buttonCentre(button, x, y) : hud().buttonCentre(button, x, y);
}

bool GameHarness::click(const std::wstring& button)
{
    float x = 0.0f, y = 0.0f;
    if (!buttonCentre(button, x, y))
        return false;
    click(x, y);
    return true;
}

bool GameHarness::click(const HUDWindow& window, const std::wstring& button)
{
    float x = 0.0f, y = 0.0f;
    if (!window.buttonCentre(button, x, y))
        return false;
    click(x, y);
    return true;
}

std::wstring GameHarness::text(const HUDWindow* window, const std::wstring& name)
{
    const std::wstring* text = window ? window->getText(name) : nullptr;
    return text ? *text : std::wstring(L"<none>");
}

std::wstring GameHarness::localized(const std::wstring& key) { return LocalStrings::Instance()->get(key); }

namespace
{
gpu::RecordingDevice* recordingDevice(Game& game)
{
    auto* dx = dynamic_cast<render::RenderDX9*>(game.mRender);
    return dx ? dynamic_cast<gpu::RecordingDevice*>(dx->GetDevice()) : nullptr;
}
} // namespace

size_t GameHarness::drawCalls() const { return deviceCalls("Draw").size(); }

std::vector<std::string> GameHarness::deviceCalls(const std::string& prefix) const
{
    gpu::RecordingDevice* device = recordingDevice(*mGame);
    return device ? device->CallsStartingWith(prefix) : std::vector<std::string>();
}

void GameHarness::forgetDeviceCalls()
{
    if (gpu::RecordingDevice* device = recordingDevice(*mGame))
        device->ClearCalls();
}

void GameHarness::type(const std::wstring& text)
{
    for (wchar_t c : text)
        (void)mGame->OnChar(static_cast<u16>(c));
}

void GameHarness::key(u32 code)
{
    (void)mGame->OnKeyDown(code);
    (void)mGame->OnKeyUp(code);
}

os::NullWindow& GameHarness::window() const { return *static_cast<os::NullVideoDriver&>(os::Video()).mWindows.back(); }

bool GameHarness::windowed() const { return window().Desc().windowed; }

void GameHarness::pushKey(u32 key)
{
    os::Event event;
    event.type = os::EventType::KeyDown;
    event.key = key;
    window().Push(event);
    event.type = os::EventType::KeyUp;
    window().Push(event);
}

void GameHarness::pushAltEnter()
{
    os::Event alt;
    alt.type = os::EventType::KeyDown;
    alt.key = 18;
    alt.sideKey = 164;
    window().Push(alt);
    pushKey(13);
    alt.type = os::EventType::KeyUp;
    window().Push(alt);
}

void GameHarness::loseFocus() { mGame->OnPause(); }

void GameHarness::regainFocus() { mGame->OnResume(); }

bool GameHarness::reachMainMenu()
{
    // The splash logos and the intro each give way to a click.
    return runUntil(
        [this]
        {
            if (top<HUDMainMenu>())
                return true;
            if (!windows().empty())
                click(500.0f, 400.0f);
            return false;
        },
        20.0f);
}

bool GameHarness::closeUnlockMessages()
{
    return runUntil(
        [this]
        {
            if (screen() == kScreenBattle && !top())
                return true;
            if (top<HUDUnlockMessage>())
                click(L"ok");
            return false;
        },
        10.0f);
}

HUDEpisodeSelectIOS* GameHarness::reachEpisodeSelect()
{
    if (!top<HUDMainMenu>() && !reachMainMenu())
        return nullptr;
    if (screen() != kScreenMainMenu || !click(L"play"))
        return nullptr;
    HUDEpisodeSelectIOS* episodes = nullptr;
    auto toEpisodes = [&]
    {
        // A player without a name takes the offered one.
        if (auto* input = top<HUDModalInput>())
        {
            float x = 0.0f, y = 0.0f;
            if (HUDButtonList::centreOf(input->mOwnButtons.at(1), x, y))
                click(x, y);
        }
        return (episodes = top<HUDEpisodeSelectIOS>()) != nullptr;
    };
    return runUntil(toEpisodes, 3.0f) ? episodes : nullptr;
}

bool GameHarness::startLevel(i32 episode, i32 level, TDDifficulty mode)
{
    HUDEpisodeSelectIOS* episodes = reachEpisodeSelect();
    if (!episodes)
        return false;
    auto idle = [&] { return episodes->mCarousel->motion == EpisodeCarousel::kIdle; };
    for (int turns = 0; turns < 10 && episodes->mCarousel->page != episode; ++turns)
    {
        if (!click(episodes->mCarousel->page < episode ? L"arrow_right" : L"arrow_left") || !runUntil(idle, 3.0f))
            return false;
    }
    if (episodes->mCarousel->page != episode || !click(L"play"))
        return false;
    HUDLevelSelect* levels = nullptr;
    if (!runUntil([&] { return (levels = top<HUDLevelSelect>()) != nullptr; }, 2.0f))
        return false;
    if (mode == kDifficultyHardcore)
    {
        auto hardcoreLevels = [&]
        { return (levels = top<HUDLevelSelect>()) != nullptr && mMap->mMode == kDifficultyHardcore; };
        if (!click(L"unlocked_d") || !runUntil(hardcoreLevels, 2.0f))
            return false;
    }
    for (const LevelPlate& plate : levels->mPlates)
        if (plate.level == level)
        {
            click(static_cast<float>(plate.x + plate.width / 2), static_cast<float>(plate.y + plate.height / 2));
            return closeUnlockMessages() && mMap->mLevel == level && mMap->mEpisode == episode;
        }
    return false;
}

void GameHarness::drawBattle(TDBattleCanvas& canvas)
{
    if (TDBattleDrawer* drawer = mBoard ? mBoard->getDrawer() : nullptr)
        drawer->draw(canvas);
}

fs::path GameHarness::userDir() const { return mHome / "Marrowgate" / "Brackenmoor"; }

std::string GameHarness::profilesFile() const
{
    // The game saves on its worker: what it has handed over is read once written.
    if (file::Profiles::Exists())
        file::Profiles::Instance()->Flush();
    return ReadBytes(userDir() / "profiles.xml");
}

std::string GameHarness::log() const { return ReadBytes(userDir() / "log.html"); }

int GameHarness::occurrences(const std::string& text, const std::string& needle)
{
    int n = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++n;
    return n;
}
} // namespace testsupport
