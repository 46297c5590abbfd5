// The game application over the real frame manager: start-up, frames, input in game coordinates,
// screen modes and pack builds, with a probe screen in place of the game's own.
#include "App/ShellGame.h"
#include "Core/App/FileSaver.h"
#include "Core/Base/Singletone.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/File/FileSystem.h"
#include "Core/File/FileWriter.h"
#include "Core/File/Profiles.h"
#include "Core/Input/InputWin32.h"
#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/RectHitLayer.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Media/Image/RenderTarget.h"
#include "Core/Media/Sound/SoundSystem.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Widget/Controls/DialogEffectsManager.h"
#include "Framework/GameWindow.h"
#include "Platform/Audio/NullDevice.h"
#include "Platform/Gpu/RecordingDevice.h"
#include "Platform/Os/InstanceLock.h"
#include "Platform/Os/NullVideo.h"
#include "Platform/Os/QuitSignals.h"
#include "Widget/WidgetProbes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <regex>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// The first screen: a journaling board that counts its updates and draws, writes down the
// pointer as it arrives, pushes events to the window at its first update and closes the window at
// a given one (0: never).
class ProbeScreen : public widgettest::ProbeBoard
{
public:
    ProbeScreen(std::string name, widgettest::Journal& journal, os::NullVideoDriver* driver)
        : ProbeBoard(std::move(name), journal), mDriver(driver)
    {
    }
    QLResultEnum Update(float dt) override
    {
        ++mTicks;
        if (mOnTick)
            mOnTick(mTicks);
        if (!mDriver->mWindows.empty() && mTicks == 1)
            for (const os::Event& e : mEvents)
                mDriver->mWindows.back()->Push(e);
        if (!mDriver->mWindows.empty() && mTicks == mCloseAfter)
        {
            os::Event close;
            close.type = os::EventType::Close;
            mDriver->mWindows.back()->Push(close);
        }
        return ProbeBoard::Update(dt);
    }
    QLResultEnum OnPreDraw(render::Graphics*, layer::Layer*) override
    {
        ++mDraws;
        return mFailDraw ? QL_FAIL : QL_OK;
    }
    QLResultEnum OnPress(const math::Point3& p, u32 button) override
    {
        Add("down", p, button);
        return ProbeBoard::OnPress(p, button);
    }
    QLResultEnum OnRelease(const math::Point3& p, u32 button) override
    {
        Add("up", p, button);
        return ProbeBoard::OnRelease(p, button);
    }
    QLResultEnum OnPointerDrag(const math::Point3& p) override
    {
        Add("drag", p, 0);
        return QL_OK;
    }

    os::NullVideoDriver* mDriver;
    std::function<void(int tick)> mOnTick;
    int mTicks = 0;
    int mDraws = 0;
    int mCloseAfter = 3;
    bool mFailDraw = false;
    std::vector<os::Event> mEvents;
    std::vector<std::string> mMouse;

private:
    void Add(const char* kind, const math::Point3& p, u32 value)
    {
        mMouse.push_back(std::string(kind) + " " + std::to_string(static_cast<int>(p.x)) + "," +
                         std::to_string(static_cast<int>(p.y)) + " " + std::to_string(value));
    }
};

// A left button event at the centre of the 1366 x 768 window.
os::Event Mouse(os::EventType type)
{
    os::Event e;
    e.type = type;
    e.button = 1;
    e.clicks = 1;
    e.x = 683;
    e.y = 384;
    return e;
}

class FailingRender : public render::RenderDX9
{
public:
    QLResultEnum InitRender(render::RenderWindow*, const render::RenderInitParam&) override { return QL_FAIL; }
};

// The game's shell on the real frame manager, showing the probe screen.
class TestGame : public ShellGame
{
public:
    TestGame(os::NullVideoDriver* driver, widgettest::Journal& journal)
        : mProbe(new ProbeScreen("first", journal, driver)), mOwned(mProbe)
    {
    }
    QLResultEnum StartGame() override
    {
        ++mStarts;
        if (QLResultEnum r = ShellGame::StartGame())
            return r;
        const QLResultEnum r = SetScreen(mProbe);
        if (r == QL_OK)
            (void)mOwned.release(); // the frame manager's now
        return r;
    }
    gpu::RecordingDevice* Device() const
    {
        auto* dx = dynamic_cast<render::RenderDX9*>(mRender);
        return dx ? dynamic_cast<gpu::RecordingDevice*>(dx->GetDevice()) : nullptr;
    }

    render::Render* CreateRender() override { return mFailRender ? new FailingRender() : ShellGame::CreateRender(); }
    using GameApplication::RunPackBuild;

    ProbeScreen* mProbe;
    std::unique_ptr<ProbeScreen> mOwned;
    bool mFailRender = false;
    int mStarts = 0;
};
} // namespace

class GameApplicationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mOldCwd = fs::current_path();
        setenv("XDG_DATA_HOME", mHome.Path().c_str(), 1);
        // Where the lock goes when the user-data folder cannot be used.
        fs::create_directories(mHome.Path() / "run");
        setenv("XDG_RUNTIME_DIR", (mHome.Path() / "run").c_str(), 1);
        setenv("QL_NO_MESSAGE_BOX", "1", 1);
        setenv("QL_NO_SHELL_OPEN", "1", 1);
        auto driver = std::make_unique<os::NullVideoDriver>();
        driver->mFreeRunning = true;
        driver->mKeepAllCalls = true; // calls are counted over many frames
        mDriver = driver.get();
        os::SetVideoDriver(std::move(driver));
        mData.Write("play.url", "[InternetShortcut]\nURL=https://example.org/\n");
        mUser = mHome.Path() / "Marrowgate" / "Brackenmoor";
    }
    void TearDown() override
    {
        base::SingletoneBase::DestroyAll();
        os::SetVideoDriver(nullptr);
        fs::current_path(mOldCwd);
    }

    TestGame* Make(std::vector<std::wstring> args = {})
    {
        if (args.empty())
            args = {L"--data_path", mData.WPath()};
        auto* game = new TestGame(mDriver, mJournal);
        game->Arguments() = args;
        EXPECT_EQ(game->Init(), QL_OK);
        return game;
    }

    // A player who chose the window (a new one starts full screen).
    void StoreWindowed()
    {
        fs::create_directories(mUser);
        std::ofstream(mUser / "profiles.xml") << "<Profiles currentProfile=\"Ann\"><Profile name=\"Ann\"><fs v=\"0\"/>"
                                                 "</Profile></Profiles>";
    }

    // A file of the per-user folder as written (the saves handed to the game's worker included).
    std::string User(const std::string& name) const
    {
        if (file::Profiles::Exists())
            file::Profiles::Instance()->Flush();
        return mHome.Read("Marrowgate/Brackenmoor/" + name);
    }

    testsupport::TempDir mHome;
    testsupport::TempDir mData;
    fs::path mUser;
    fs::path mOldCwd;
    os::NullVideoDriver* mDriver = nullptr;
    // What the screens hear, and their deaths; they outlive the game.
    widgettest::Journal mJournal;
    int mDeaths = 0;
};

TEST_F(GameApplicationTest, StartsUpRunsFramesEndsWhenTheWindowClosesAndClicksReachTheFramesInGameCoordinates)
{
    StoreWindowed();
    mData.Write("td/strings_en.csv", "game_caption;Brackenmoor: the Test\n");
    fs::create_directories(mData.Path() / "td/data");
    fs::copy_file(fs::path(QL_SOURCE_DIR) / "content/td/data/loading.jpg", mData.Path() / "td/data/loading.jpg");
    TestGame* game = Make();
    game->Main();
    EXPECT_EQ(game->GetExitCode(), 0);
    EXPECT_EQ(game->mStarts, 1);
    EXPECT_EQ(fs::current_path(), mData.Path());
    EXPECT_GE(game->mProbe->mTicks, 3);
    EXPECT_EQ(game->mProbe->mDraws, game->mProbe->mTicks + 1) << "drawn once before its first update";
    EXPECT_TRUE(game->HasNoChildren());
    ASSERT_EQ(mDriver->mWindows.size(), 1u);
    EXPECT_FALSE(mDriver->mWindows[0]->IsVisible());
    // Windowed 1366 x 768, centred in the default 1920 x 1040 work area, with the localised caption.
    EXPECT_EQ(game->mWindow->GetCaption(), L"Brackenmoor: the Test");
    EXPECT_EQ(mDriver->mWindows[0]->Desc().caption, L"Brackenmoor: the Test");
    EXPECT_EQ(std::make_pair(game->mWindow->GetPositionX(), game->mWindow->GetPositionY()), std::make_pair(277, 136));
    EXPECT_EQ(std::make_pair(game->mLayoutX, game->mLayoutWidth), std::make_pair(-171.0f, 1366.0f));
    EXPECT_EQ(game->ToGameCoords({0, 0}), math::Point2(-171, 0));
    const math::Point2 p(100, 30);
    EXPECT_EQ(game->ConvertCoordsByMode(p, input::CoordMode::kQuarterTurn), math::Point2(1366 - 30, 100));
    EXPECT_EQ(game->ConvertCoordsByMode(p, input::CoordMode::kThreeQuarterTurn), math::Point2(30, 768 - 100));
    EXPECT_EQ(game->ConvertCoordsByMode(p, input::CoordMode::kAsIs), p);
    EXPECT_EQ(game->ConvertCoordsByMode(p, static_cast<input::CoordMode>(2)), p);
    // Images load through the renderer; a missing one is reported.
    std::unique_ptr<render::Image> image(game->LoadImage(L"td/data/loading.jpg"));
    ASSERT_NE(image, nullptr);
    EXPECT_GT(image->GetWidth(), 0);
    EXPECT_EQ(game->LoadImage(L"td/data/missing.jpg"), nullptr);
    image.reset(); // while its texture's table stands
    // Every frame cleared and presented, besides the one clear and present of the device's start.
    gpu::RecordingDevice* device = game->Device();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(game->mFrameCount, static_cast<u64>(game->mProbe->mDraws));
    EXPECT_EQ(device->CallsStartingWith("Present").size(), game->mFrameCount + 1);
    EXPECT_EQ(device->CallsStartingWith("Clear").size(), game->mFrameCount + 1);
    EXPECT_FALSE(game->mView.barsPresent);
    EXPECT_TRUE(device->CallsStartingWith("Draw").empty()) << "no bars in a window of the layout's shape";
    // The mount, the log and the profiles.
    EXPECT_EQ(file::FileManager::Instance()->mMounts[L"td/"], L"data.dat");
    EXPECT_NE(User("log.html").find("First frame presented"), std::string::npos);
    base::SingletoneBase::DestroyAll();
    EXPECT_NE(User("profiles.xml").find("currentProfile"), std::string::npos);

    // Clicks reach the frames in game coordinates.
    game = Make();
    game->mProbe->mEvents = {Mouse(os::EventType::MouseDown)};
    game->Main();
    ASSERT_FALSE(game->mProbe->mMouse.empty());
    EXPECT_EQ(game->mProbe->mMouse[0], "down 512,384 1"); // the centre of the 1024-wide core
    // Touch acts as the left button; a second finger is ignored.
    base::SingletoneBase::DestroyAll();
    mDriver->mWindows.clear();
    game = Make();
    ASSERT_EQ(game->Start(), QL_OK);
    ASSERT_EQ(game->FrameStep(0.016f), QL_OK); // the screen joins the frames
    EXPECT_EQ(QL_OK, game->OnTouchBegin({{1, {20, 30}}, {2, {90, 90}}}));
    EXPECT_EQ(QL_OK, game->OnTouchMove({{1, {25, 35}}}));
    EXPECT_EQ(QL_OK, game->OnTouchEnd({{1, {26, 36}}}));
    EXPECT_EQ(QL_OK, game->OnTouchBegin({}));
    EXPECT_EQ(QL_OK, game->OnTouchCancel({}));
    EXPECT_EQ(game->mProbe->mMouse,
              (std::vector<std::string>{"down 20,30 1", "drag 25,35 0", "up 26,36 1", "up 0,0 1"}));
}

// Scripts driving the real window wait on this file for a frame drawn after their input.
TEST_F(GameApplicationTest, TheFrameCountFileHoldsTheFramesPresentedSoFar)
{
    const fs::path counter = mHome.Path() / "frames";
    auto held = [&]
    {
        std::ifstream in(counter, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    setenv("QL_FRAME_COUNT_FILE", counter.c_str(), 1);
    TestGame* game = Make();
    ASSERT_EQ(game->Start(), QL_OK);
    // Across the count's tenth frame too: the longer number covers the shorter one whole.
    for (int i = 0; i < 12; ++i)
    {
        ASSERT_EQ(game->FrameStep(0.016f), QL_OK);
        EXPECT_EQ(held(), std::to_string(game->mFrameCount) + "\n") << "after frame " << game->mFrameCount;
    }
    EXPECT_GE(game->mFrameCount, 12u);
    unsetenv("QL_FRAME_COUNT_FILE");
    base::SingletoneBase::DestroyAll();

    // Without the variable no file is written.
    fs::remove(counter);
    game = Make();
    ASSERT_EQ(game->Start(), QL_OK);
    ASSERT_EQ(game->FrameStep(0.016f), QL_OK);
    EXPECT_FALSE(fs::exists(counter));
}

TEST_F(GameApplicationTest, StartUpFailuresAndASecondCopyEndBeforeTheGameStarts)
{
    fs::create_directories(mUser);
    const struct
    {
        const char* what;
        std::function<void(TestGame*&)> arrange;
        int exitCode;
        const char* logged; // null: no log file at all
        bool noWindow;
        const char* shown = nullptr; // what the player is told (stderr without a message box)
    } cases[] = {
        {"a malformed command line", [this](TestGame*& g) { g = Make({L"--data_path"}); }, 1, nullptr, true},
        {"no play.url", [this](TestGame*& g) { fs::remove(mData.Path() / "play.url"), g = Make(); }, 1,
         "File play.url not found!", true},
        {"a data folder that does not exist",
         [this](TestGame*& g) {
             g = Make({L"--data_path", (mData.Path() / "missing/").wstring()});
         },
         1, "does not exist", true, "missing/' does not exist."},
        {"a data folder that is a file",
         [this](TestGame*& g) {
             mData.Write("notes.txt", "x"), g = Make({L"--data_path", mData.WPath("notes.txt")});
         },
         1, "is not a folder", true, "is not a folder."},
        {"a window that cannot be made", [this](TestGame*& g) { mDriver->mFailCreate = true, g = Make(); }, 1,
         "Cannot create the game window", false},
        {"a driver without OpenGL 3.3", [this](TestGame*& g) { mDriver->mOfferedGl = "2.1 Mesa 20.3.5", g = Make(); },
         1, "needs OpenGL 3.3", false,
         "Cannot create the game window: this game needs OpenGL 3.3, and the graphics driver offers OpenGL 2.1 "
         "Mesa 20.3.5."},
        {"a renderer that does not start", [this](TestGame*& g) { g = Make(), g->mFailRender = true; }, 1,
         "Cannot start the OpenGL 3.3 renderer.", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        mData.Write("play.url", "[InternetShortcut]\nURL=https://example.org/\n");
        mDriver->mFailCreate = false;
        mDriver->mOfferedGl.clear();
        mDriver->mWindows.clear();
        fs::remove(mUser / "log.html");
        TestGame* game = nullptr;
        c.arrange(game);
        testing::internal::CaptureStderr();
        game->Main();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(game->GetExitCode(), c.exitCode);
        EXPECT_EQ(game->mStarts, 0);
        EXPECT_TRUE(game->HasNoChildren());
        EXPECT_TRUE(!c.noWindow || mDriver->mWindows.empty());
        // Without a log yet, the reason goes to the player.
        EXPECT_NE((c.logged ? User("log.html") : err).find(c.logged ? c.logged : "usage"), std::string::npos) << err;
        EXPECT_TRUE(!c.shown || err.find(c.shown) != std::string::npos) << err;
        EXPECT_TRUE(!c.shown || err.find("play.url") == std::string::npos) << "the real reason, not a symptom";
        base::SingletoneBase::DestroyAll();
        EXPECT_EQ(fs::exists(mUser / "log.html"), c.logged != nullptr);
    }

    // A second copy ends quietly: no window, log or profiles.
    os::InstanceLock running;
    ASSERT_EQ(running.Acquire((mUser / "instance.lock").wstring()), os::InstanceLock::ACQUIRED);
    fs::remove(mUser / "log.html");
    fs::remove(mUser / "profiles.xml");
    mDriver->mWindows.clear();
    TestGame* game = Make();
    game->Main();
    EXPECT_EQ(game->GetExitCode(), 0);
    EXPECT_TRUE(game->IsSecondInstance());
    EXPECT_TRUE(mDriver->mWindows.empty());
    EXPECT_EQ(game->mStarts, 0);
    const auto expectNothingWritten = [this]
    {
        base::SingletoneBase::DestroyAll();
        EXPECT_FALSE(fs::exists(mUser / "profiles.xml") || fs::exists(mUser / "log.html"));
    };
    expectNothingWritten();

    // Building the packs under a running copy is refused at once, and says so.
    game = Make({L"--pack", L"td"});
    testing::internal::CaptureStderr();
    game->Main();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(game->GetExitCode(), 1);
    EXPECT_NE(err.find("the game is running"), std::string::npos) << err;
    EXPECT_TRUE(mDriver->mWindows.empty());
    expectNothingWritten();
}

TEST_F(GameApplicationTest, AFailedResetOrFrameIsSurvivedALostDeviceRunsNoFrameAndPackBuildsEndTheProgram)
{
    StoreWindowed();
    TestGame* game = Make();
    ASSERT_EQ(game->Start(), QL_OK);
    // A failed renderer reset is logged and the old mode restored.
    ASSERT_TRUE(game->mWindow->IsWindowed());
    game->Device()->FailNext("Reset");
    EXPECT_NE(game->SwitchScreenMode(), QL_OK);
    EXPECT_TRUE(game->mWindow->IsWindowed());
    EXPECT_TRUE(mDriver->mWindows[0]->Desc().windowed);
    EXPECT_EQ(game->mWindow->GetWidth(), 1366);
    EXPECT_EQ(game->mView.viewWidth, 1366);
    EXPECT_NE(User("log.html").find("Screen-mode switch failed at ResetRender"), std::string::npos);
    EXPECT_NE(User("profiles.xml").find("<fs v=\"0\"/>"), std::string::npos); // nothing new stored
    EXPECT_EQ(game->FrameStep(0.016f), QL_OK);                                // and the frames go on

    // Then a switch that works, to full screen and back, logs its steps in order and stores each.
    ASSERT_EQ(game->SwitchScreenMode(), QL_OK);
    EXPECT_NE(User("profiles.xml").find("<fs v=\"1\"/>"), std::string::npos);
    ASSERT_EQ(game->SwitchScreenMode(), QL_OK);
    EXPECT_TRUE(game->mWindow->IsWindowed());
    EXPECT_EQ(game->mWindow->GetPositionX(), 277); // centred again
    const std::string log = User("log.html");
    const char* steps[] = {"Screen-mode switch failed",
                           "mRender-&gt;PrepareSwitchScreenMode()",
                           "SwitchWindowMode(false)",
                           "mRender-&gt;SwitchScreenMode()",
                           "mRender-&gt;PrepareSwitchScreenMode()",
                           "mWindow-&gt;SetWindowedSize()",
                           "mRender-&gt;SwitchScreenMode()",
                           "SwitchWindowMode(true)"};
    size_t at = 0;
    for (const char* step : steps)
    {
        const size_t found = log.find(step, at);
        ASSERT_NE(found, std::string::npos) << step;
        at = found + 1;
    }
    EXPECT_NE(User("profiles.xml").find("<fs v=\"0\"/>"), std::string::npos);

    // A failed frame still ends its scene.
    gpu::RecordingDevice* device = game->Device();
    auto calls = [&](const char* prefix) { return device->CallsStartingWith(prefix).size(); };
    ASSERT_EQ(game->FrameStep(0.016f), QL_OK);
    const size_t presents = calls("Present");
    game->mProbe->mFailDraw = true;
    EXPECT_NE(game->FrameStep(0.016f), QL_OK);
    EXPECT_EQ(calls("Present"), presents);
    EXPECT_EQ(calls("BeginScene"), calls("EndScene"));
    game->mProbe->mFailDraw = false;
    EXPECT_EQ(game->FrameStep(0.016f), QL_OK);
    EXPECT_EQ(calls("Present"), presents + 1);

    // A lost device: input is not polled, the frames neither run nor are presented.
    const int ticks = game->mProbe->mTicks;
    device->ForceStatus(gpu::DeviceStatus::Lost);
    dynamic_cast<render::RenderDX9*>(game->mRender)->SetLostSleep(0);
    game->mInput->SetKeyPressed(65, 0, true);
    EXPECT_EQ(game->FrameStep(0.016f), QL_OK);
    EXPECT_EQ(game->mInput->GetKeyState(65), input::KEY_UP);
    EXPECT_EQ(game->mProbe->mTicks, ticks);
    EXPECT_EQ(calls("Present"), presents + 1);

    // "--pack" rebuilds every mounted pack from the executable's folder, then ends the program.
    mData.Write("td/levels/a.xml", "<Level/>");
    fs::current_path(mData.Path());
    file::FileManager::Instance()->mMounts[L"td/"] = L"data.dat";
    EXPECT_EQ(game->RunPackBuild(L"td"), QL_OK);
    EXPECT_EQ(game->GetExitCode(), 0);
    EXPECT_TRUE(game->IsStopping());
    EXPECT_GT(fs::file_size(mData.Path() / "data.dat"), 0u);

    file::FileManager::Instance()->mMounts[L"missing/"] = L"other.dat";
    EXPECT_NE(game->RunPackBuild(L"td"), QL_OK);
    EXPECT_EQ(game->GetExitCode(), 1);
}

TEST_F(GameApplicationTest, AScreenStillWaitingForItsFirstFrameGoesWithTheGame)
{
    int deaths = 0;
    TestGame* game = Make();
    game->mProbe->mDeaths = &deaths;
    ASSERT_EQ(game->Start(), QL_OK);
    EXPECT_EQ(game->mProbe->mTicks, 0) << "no frame yet";
    base::SingletoneBase::DestroyAll();
    EXPECT_EQ(deaths, 1);
}

TEST_F(GameApplicationTest, StoredFullScreenChoiceIsReadFromTheCurrentProfileAndANewPlayerStartsFullScreen)
{
    TestGame* first = Make();
    ASSERT_EQ(first->Start(), QL_OK);
    EXPECT_FALSE(first->mWindow->IsWindowed()) << "no profile yet";
    base::SingletoneBase::DestroyAll();
    mDriver->mWindows.clear();

    fs::create_directories(mUser);
    std::ofstream(mUser / "profiles.xml")
        << "<Profiles currentProfile=\"Ann\"><Profile name=\"Bob\"/><Profile name=\"Ann\"><fs v=\"1\"/>"
           "</Profile></Profiles>";
    TestGame* game = Make();
    game->Main();
    ASSERT_EQ(mDriver->mWindows.size(), 1u);
    EXPECT_FALSE(game->mWindow->IsWindowed());
    EXPECT_EQ(game->mWindow->GetWidth(), 1920); // the whole monitor
    EXPECT_EQ(game->mView.viewWidth, 1365);
    // 1080 rows are more than the layout's 768: the frames go through a 1365 x 768 target, drawn
    // scaled into the window every frame.
    ASSERT_NE(game->mOffScreenTarget, nullptr);
    EXPECT_EQ(game->mOffScreenTarget->GetWidth(), 1365);
    EXPECT_EQ(game->mOffScreenTarget->GetHeight(), 768);
    // The view's top-left game point lands on the target's top-left corner (clip -1, 1) through the
    // projection alone, so a context that replaces its transform keeps the offset.
    const math::Matrix4& p = game->mOffScreenTarget->GetProjection();
    const float x = game->mView.viewOffsetX, y = game->mView.viewOffsetY;
    EXPECT_NE(x, 0.0f);
    EXPECT_FLOAT_EQ(x * p(0, 0) + y * p(1, 0) + p(3, 0), -1.0f);
    EXPECT_FLOAT_EQ(x * p(0, 1) + y * p(1, 1) + p(3, 1), 1.0f);
    size_t intoTarget = 0;
    for (const std::string& call : game->Device()->CallsStartingWith("SetRenderTarget"))
        intoTarget += call != "SetRenderTarget 0";
    EXPECT_GE(intoTarget, static_cast<size_t>(game->mProbe->mTicks));
    EXPECT_GE(game->Device()->CallsStartingWith("Draw").size(), static_cast<size_t>(game->mProbe->mTicks));
}

TEST_F(GameApplicationTest, AWindowThePlayerResizesGetsTheLayoutFittedAndOurOwnModeSwitchIsNoResize)
{
    StoreWindowed();
    TestGame* game = Make();
    ASSERT_EQ(game->Start(), QL_OK);
    os::NullWindow* window = mDriver->mWindows.back();
    auto resize = [&](int w, int h)
    {
        os::Event e;
        e.type = os::EventType::Resized;
        e.x = static_cast<float>(w);
        e.y = static_cast<float>(h);
        window->Push(e);
        EXPECT_EQ(game->mWindow->Update(0.016f), QL_OK);
        EXPECT_EQ(game->mWindow->Update(0.016f), QL_OK);
    };
    // Wider than the layout: side bars, drawn through a target, the centre still the centre.
    resize(2000, 900);
    EXPECT_TRUE(game->mView.sideBars);
    EXPECT_EQ(game->mView.viewWidth, 1366);
    EXPECT_NE(game->mOffScreenTarget, nullptr);
    const math::Point2 centre = game->ToGameCoords({1000, 450});
    EXPECT_NEAR(centre.x, 512.0f, 0.01f);
    EXPECT_NEAR(centre.y, 384.0f, 0.01f);
    // Between the core's shape and the layout's: the whole window is the view, drawn directly.
    resize(1000, 700);
    EXPECT_FALSE(game->mView.barsPresent);
    EXPECT_EQ(game->mOffScreenTarget, nullptr);
    EXPECT_EQ(game->mView.viewWidth, 1097);
    EXPECT_TRUE(game->mWindow->IsWindowed());
    EXPECT_NE(game->Device()->CallsStartingWith("ResizeBackBuffer 1000 700").size(), 0u);
    // Going full screen resizes the window too, which changes nothing more.
    ASSERT_EQ(game->SwitchScreenMode(), QL_OK);
    resize(1920, 1080);
    EXPECT_FALSE(game->mWindow->IsWindowed());
    EXPECT_EQ(game->mView.viewWidth, 1365);
    EXPECT_EQ(User("log.html").find("The window is now 1920"), std::string::npos);
}

TEST_F(GameApplicationTest, AScreenOfAnotherShapeGetsBarsAndASwitchToAWindowThatDoesNotFitChangesNothing)
{
    mDriver->mDisplays[0].bounds = {0, 0, 1280, 1024};
    mDriver->mDisplays[0].workArea = {0, 0, 1280, 1000};
    TestGame* game = Make(); // the 1366 x 768 window does not fit: full screen
    ASSERT_EQ(game->Start(), QL_OK);
    ASSERT_EQ(game->FrameStep(0.016f), QL_OK);
    EXPECT_TRUE(game->mView.barsPresent);
    EXPECT_FALSE(game->mWindow->IsWindowed());
    EXPECT_FALSE(game->Device()->CallsStartingWith("Draw").empty());
    // The view is the 1024 core, the screen still covers the whole 1366 layout.
    EXPECT_EQ(game->mView.viewWidth, 1024);
    const math::Rect& rect = game->mProbe->GetHitLayer()->GetRect();
    EXPECT_EQ(std::make_tuple(rect.x, rect.w, rect.h), std::make_tuple(-171, 1366, 768));
    const size_t resets = game->Device()->CallsStartingWith("Reset").size();
    EXPECT_EQ(game->SwitchScreenMode(), QL_OK);
    EXPECT_FALSE(game->mWindow->IsWindowed());
    EXPECT_EQ(game->Device()->CallsStartingWith("Reset").size(), resets);
    EXPECT_EQ(User("profiles.xml").find("<fs"), std::string::npos);
}

TEST_F(GameApplicationTest, TheWindowManagersFrameCountsWhenFittingAndCentring)
{
    StoreWindowed();
    // The frame is told only once the window shows, as window managers do.
    mDriver->mWindowFrameKnown = true;
    const int frame[4] = {2, 30, 2, 2};
    std::copy(std::begin(frame), std::end(frame), mDriver->mWindowFrame);
    TestGame* game = Make();
    game->Main();
    EXPECT_TRUE(game->mWindow->IsWindowed());
    // At ((1920 - 1370) / 2, (1040 - 800) / 2), the client area inside the frame.
    EXPECT_EQ(std::make_tuple(game->mWindow->GetPositionX(), game->mWindow->GetPositionY(), game->mWindow->GetWidth()),
              std::make_tuple(275, 120, 1370));
    const os::WindowDesc& desc = mDriver->mWindows.back()->Desc();
    EXPECT_EQ(std::make_tuple(desc.x, desc.clientWidth, desc.clientHeight), std::make_tuple(275, 1366, 768));
    base::SingletoneBase::DestroyAll();

    // A work area that holds the client area but not the frame around it: full screen, and the
    // player's stored choice stays.
    mDriver->mDisplays[0].bounds = {0, 0, 1366, 800};
    mDriver->mDisplays[0].workArea = {0, 0, 1366, 790};
    game = Make();
    game->Main();
    EXPECT_FALSE(game->mWindow->IsWindowed());
    EXPECT_FALSE(mDriver->mWindows.back()->Desc().windowed);
    EXPECT_EQ(mDriver->mWindows.back()->Desc().clientHeight, 800);
    EXPECT_EQ(User("profiles.xml").find("<fs v=\"1\""), std::string::npos);
}

TEST_F(GameApplicationTest, DialogEffectsComeFromDataGameXmlAndAMalformedSetDoesNotStopTheGame)
{
    const std::string zoom = "<Anim name=\"zoom\" show_anim_data=\"s.anim\" hide_anim_data=\"h.anim\"/>";
    const struct
    {
        std::string xml;
        const char* options; // the effects assigned to the options dialog
        const char* logged;
    } cases[] = {
        {"<Game><DialogEffects><Data>" + zoom +
             "</Data><Dialogs><Options effects=\"zoom\"/></Dialogs></DialogEffects></Game>",
         "zoom", ""},
        // A set without a name is logged and stops the reading there.
        {"<Game><DialogEffects><Data>" + zoom +
             "<Anim show_anim_data=\"s.anim\" hide_anim_data=\"h.anim\"/></Data>"
             "<Dialogs><Options effects=\"zoom\"/></Dialogs></DialogEffects></Game>",
         "", "without a name"},
        {"<Game><DialogEffects>", "", ""}, // cut short
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.xml);
        mData.Write("data/game.xml", c.xml);
        TestGame* game = Make();
        game->Main();
        EXPECT_EQ(game->mStarts, 1) << "the game goes on";
        EXPECT_EQ(widget::DialogEffectsManager::Instance()->GetAssignment("Options"), c.options);
        EXPECT_NE(User("log.html").find(c.logged), std::string::npos);
        base::SingletoneBase::DestroyAll();
    }
}

// The application hands screens to the frame manager.
TEST_F(GameApplicationTest, AScreenReplacedFromItsOwnPressIsDeletedAfterTheUpdateAndOneThatFailsToStartIsNotShown)
{
    using widgettest::Filter;
    using widgettest::Journal;
    TestGame* game = Make();
    ProbeScreen* first = game->mProbe;
    auto* second = new ProbeScreen("second", mJournal, mDriver); // closes the window once it runs
    first->mDeaths = second->mDeaths = &mDeaths;
    first->mEvents = {Mouse(os::EventType::MouseDown), Mouse(os::EventType::MouseUp)};
    first->mCloseAfter = 0;
    first->mOnEvent = [game, second](const std::string& e) { return e == "press" ? game->SetScreen(second) : QL_OK; };
    game->Main();
    EXPECT_EQ(1, mDeaths) << "the first screen is gone, the second is still shown";
    EXPECT_EQ(second, game->GetFrameManager()->GetActiveFrame());
    EXPECT_EQ(1u, Filter(mJournal, "first:manager-").size());
    // The window hands over both buttons in one pass: the release still finds the first screen,
    // which leaves (and is deleted) in the update that follows.
    const Journal expected = {"first:press",      "first:release",   "first:update",   "second:manager+",
                              "first:deactivate", "second:activate", "first:manager-", "second:update"};
    const auto from = std::find(mJournal.begin(), mJournal.end(), "first:press");
    ASSERT_GE(static_cast<size_t>(mJournal.end() - from), expected.size());
    EXPECT_EQ(expected, Journal(from, from + static_cast<long>(expected.size())));
    EXPECT_EQ(1u, Filter(mJournal, "second:activate").size());

    // A screen whose start fails is not shown, and the old one still goes.
    class Refusing : public widgettest::ProbeBoard
    {
    public:
        using ProbeBoard::ProbeBoard;
        QLResultEnum Start() override { return static_cast<QLResultEnum>(4); }
    };
    Refusing refusing("refusing", mJournal, math::Rect());
    EXPECT_EQ(4, game->SetScreen(&refusing));
    EXPECT_EQ(nullptr, game->mScreen);
    EXPECT_EQ(1u, game->GetFrameManager()->GetPendingRemovals());
    EXPECT_EQ(0u, game->GetFrameManager()->GetPendingAdditions());
    EXPECT_EQ(QL_OK, game->GetFrameManager()->Update(0.0f));
    EXPECT_EQ(2, mDeaths);
    EXPECT_EQ(nullptr, refusing.GetManager());
}

// A layer's rectangle as the layout's "layers.xml" states it.
math::Rect LayoutRect(const fs::path& layout, const std::string& name)
{
    std::ifstream in(layout / "layers.xml");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::smatch m;
    const std::regex layer("<Layer name=\"" + name +
                           "\" x=\"(-?\\d+)\" y=\"(-?\\d+)\" width=\"(\\d+)\" height=\"(\\d+)\"");
    if (!std::regex_search(text, m, layer))
        return math::Rect();
    return math::Rect(std::stof(m[1]), std::stof(m[2]), std::stof(m[3]), std::stof(m[4]));
}

TEST_F(GameApplicationTest, ImageLayersOfALayoutStandAtTheirLayerSizedByTheirImageAndAMissingOneMakesNone)
{
    const fs::path layout = mData.Path() / "td/data/message";
    fs::create_directories(layout.parent_path());
    fs::copy(fs::path(QL_SOURCE_DIR) / "content/td/data/message", layout, fs::copy_options::recursive);
    TestGame* game = Make();
    ASSERT_EQ(game->Start(), QL_OK);
    std::unique_ptr<file::ImageContainer> container(
        file::FileManager::Instance()->OpenImageContainer(L"td/data/message"));
    ASSERT_NE(container, nullptr);

    // Layers of other places and sizes: each stands where the layout puts it, as large as its image.
    for (const char* name : {"back", "button/ok", "icons/id10000"})
    {
        SCOPED_TRACE(name);
        const math::Rect expected = LayoutRect(layout, name);
        ASSERT_GT(expected.w, 0.0f);
        layer::ImageLayer* made = nullptr;
        base::ImageInfo info;
        ASSERT_EQ(QL_OK, game->CreateImageLayer(base::StringToWString(name), container.get(), &made, &info));
        ASSERT_NE(made, nullptr);
        std::unique_ptr<layer::ImageLayer> owned(made);
        ASSERT_NE(made->GetImage(), nullptr);
        EXPECT_TRUE(made->mImage.owns());
        EXPECT_EQ(info.mName, base::StringToWString(name));
        EXPECT_EQ(math::Rect(info.mX, info.mY, info.mWidth, info.mHeight), expected);
        EXPECT_EQ(made->GetImage()->GetWidth(), static_cast<i32>(expected.w));
        EXPECT_EQ(made->GetImage()->GetHeight(), static_cast<i32>(expected.h));
        EXPECT_EQ(made->mPosition, math::Point3(expected.x, expected.y, 0.0f));
        // The size is taken up at the next bounds update: the layer covers its layout rectangle.
        EXPECT_TRUE(made->UpdateTreeBounds());
        const math::Box box = made->ComputeParentBox();
        EXPECT_EQ(math::Rect(box.minX, box.minY, box.maxX - box.minX, box.maxY - box.minY), expected);
    }
    // The description is optional.
    layer::ImageLayer* plain = nullptr;
    ASSERT_EQ(QL_OK, game->CreateImageLayer(L"icons/id0", container.get(), &plain, nullptr));
    std::unique_ptr<layer::ImageLayer> ownedPlain(plain);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->mPosition.x, LayoutRect(layout, "icons/id0").x);

    // A name the layout does not hold: the load's error, no layer, the description untouched.
    layer::ImageLayer* none = nullptr;
    base::ImageInfo untouched;
    untouched.mX = -7.0f;
    EXPECT_NE(QL_OK, game->CreateImageLayer(L"icons/no_such_icon", container.get(), &none, &untouched));
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(untouched.mX, -7.0f);
}

// The game saves on a worker, so no frame waits for the disk; the main loop ends only once the
// worker has written every save, here one made while the disk hangs.
TEST_F(GameApplicationTest, TheNormalEndWaitsForTheSavesAFrameDoesNotWaitFor)
{
    StoreWindowed();
    // A file written before the saves hangs on the disk until the window closes.
    const std::wstring slow = (mUser / "slow.xml").wstring();
    std::mutex diskMutex;
    std::condition_variable diskChanged;
    bool closing = false;
    const auto hungDisk = [&](const std::wstring& path, const std::string& bytes, std::wstring* why)
    {
        if (path == slow)
        {
            std::unique_lock<std::mutex> lock(diskMutex);
            diskChanged.wait(lock, [&] { return closing; });
        }
        return file::WriteFileAtomically(path, bytes, why);
    };
    TestGame* game = Make();
    int savedOnTick = 0;
    game->mProbe->mCloseAfter = 4;
    game->mProbe->mOnTick = [&](int tick)
    {
        file::Profiles* profiles = file::Profiles::Instance();
        if (tick == 1)
        {
            auto* saver = dynamic_cast<app::FileSaver*>(profiles->GetWriter());
            ASSERT_NE(saver, nullptr) << "the game saves on its worker";
            saver->SetDiskWrite(hungDisk);
            ASSERT_EQ(QL_OK, saver->Write(slow, "slow", nullptr));
        }
        if (tick <= 2)
        {
            profiles->mCurrentProfile->SetAttribute("won", tick);
            ASSERT_EQ(QL_OK, profiles->Save()) << "handed over, not written";
            savedOnTick = tick;
        }
        if (tick == 4)
        {
            std::lock_guard<std::mutex> lock(diskMutex);
            closing = true;
            diskChanged.notify_all();
        }
    };
    game->Main();
    const std::string onDisk = mHome.Read("Marrowgate/Brackenmoor/profiles.xml"); // no flush here
    EXPECT_EQ(savedOnTick, 2);
    EXPECT_GE(game->mProbe->mTicks, 4) << "the frames went on while the disk hung";
    EXPECT_NE(onDisk.find("won=\"2\""), std::string::npos) << onDisk;
}

// The single-instance lock goes only once the save at exit is written: another copy trying the
// lock while that save is under way (held on its way to the disk) finds it held; the change it
// carries was never saved before.
TEST_F(GameApplicationTest, TheLockIsHeldUntilTheSaveAtExitIsWritten)
{
    StoreWindowed();
    const std::wstring profilesPath = (mUser / "profiles.xml").wstring();
    const std::wstring lockPath = (mUser / "instance.lock").wstring();
    for (int run = 1; run <= 2; ++run)
    {
        SCOPED_TRACE(run);
        TestGame* game = Make();
        game->mProbe->mOnTick = [run](int tick)
        {
            if (tick == 1)
            {
                tinyxml2::XMLElement* profile = file::Profiles::Instance()->mCurrentProfile;
                profile->SetAttribute("won", run);
                profile->SetAttribute("notes", std::string(256 * 1024, 'x').c_str());
            }
        };
        game->Main();
        auto* saver = dynamic_cast<app::FileSaver*>(file::Profiles::Instance()->GetWriter());
        ASSERT_NE(saver, nullptr) << "the game saves on its worker";
        int other = -1;
        std::string written;
        saver->SetDiskWrite(
            [&](const std::wstring& path, const std::string& bytes, std::wstring* why)
            {
                if (path == profilesPath)
                {
                    os::InstanceLock lock; // tried before the save reaches the disk
                    other = lock.Acquire(lockPath);
                    written = bytes;
                }
                return file::WriteFileAtomically(path, bytes, why);
            });
        base::SingletoneBase::DestroyAll();
        EXPECT_EQ(other, os::InstanceLock::HELD_ELSEWHERE) << "the lock went before the save at exit";
        EXPECT_NE(written.find("won=\"" + std::to_string(run) + "\""), std::string::npos) << "no save at exit";
        EXPECT_NE(mHome.Read("Marrowgate/Brackenmoor/profiles.xml").find("won=\"" + std::to_string(run) + "\""),
                  std::string::npos);
        os::InstanceLock after;
        EXPECT_EQ(after.Acquire(lockPath), os::InstanceLock::ACQUIRED) << "released once the game has gone";
    }
}

// Building packs is a tool's run: the player's log and profiles stay as they are (or absent), and
// what it did is said on the terminal.
TEST_F(GameApplicationTest, APackBuildLeavesThePlayersFilesAloneAndReportsOnTheTerminal)
{
    mData.Write("td/levels/a.xml", "<Level/>");
    fs::remove_all(mHome.Path() / "Marrowgate");
    TestGame* game = Make({L"--data_path", mData.WPath(), L"--pack", L"td"});
    testing::internal::CaptureStdout();
    game->Main();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(game->GetExitCode(), 0);
    EXPECT_NE(out.find("built '"), std::string::npos) << out;
    base::SingletoneBase::DestroyAll();
    EXPECT_FALSE(fs::exists(mHome.Path() / "Marrowgate")) << "no user-data folder made";

    fs::create_directories(mUser);
    const std::string log = "<html>the last game's log</html>", damaged = "<Profiles currentProfile=";
    mHome.Write("Marrowgate/Brackenmoor/log.html", log);
    mHome.Write("Marrowgate/Brackenmoor/profiles.xml", damaged);
    for (int run = 0; run < 2; ++run)
    {
        mDriver->mWindows.clear();
        game = Make({L"--data_path", mData.WPath(), L"--pack", L"td"});
        testing::internal::CaptureStdout();
        game->Main();
        out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(game->GetExitCode(), 0);
        EXPECT_NE(out.find("built '"), std::string::npos) << out;
        base::SingletoneBase::DestroyAll();
        EXPECT_EQ(mHome.Read("Marrowgate/Brackenmoor/log.html"), log);
        EXPECT_EQ(mHome.Read("Marrowgate/Brackenmoor/profiles.xml"), damaged);
        for (const auto& entry : fs::directory_iterator(mUser))
        {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "log.html" || name == "profiles.xml" || name == "instance.lock") << name;
        }
    }
}

// A user-data folder that cannot be used still has its single-instance lock, in the runtime
// folder: a second copy ends as it would with a working folder.
TEST_F(GameApplicationTest, WithoutAUsableUserFolderTheLockIsInTheRuntimeFolderAndASecondCopyEnds)
{
    testsupport::TempDir runtime;
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string oldValue = old ? old : "";
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    mHome.Write("Marrowgate", "a file where the publisher's folder would be");

    TestGame* game = Make();
    ASSERT_EQ(game->Start(), QL_OK);
    EXPECT_FALSE(game->IsSecondInstance());
    std::vector<fs::path> locks;
    for (const auto& entry : fs::directory_iterator(runtime.Path()))
        locks.push_back(entry.path());
    ASSERT_EQ(locks.size(), 1u);
    const std::string name = locks[0].filename().string();
    EXPECT_EQ(name.rfind("Marrowgate-Brackenmoor-", 0), 0u) << name;
    EXPECT_EQ(testsupport::ReadBytes(locks[0]), std::to_string(getpid()) + "\n");
    base::SingletoneBase::DestroyAll();

    for (int run = 0; run < 2; ++run)
    {
        os::InstanceLock running; // another copy, on the same folder
        ASSERT_EQ(running.Acquire(locks[0].wstring()), os::InstanceLock::ACQUIRED);
        mDriver->mWindows.clear();
        game = Make();
        game->Main();
        EXPECT_TRUE(game->IsSecondInstance());
        EXPECT_TRUE(mDriver->mWindows.empty());
        EXPECT_EQ(game->mStarts, 0);
        base::SingletoneBase::DestroyAll();
    }
    if (old)
        setenv("XDG_RUNTIME_DIR", oldValue.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

// The log's last word on a run says what ended it: a quit signal by name, the window's or the
// desktop's close request, or, when nothing noted a cause, that none was (a fault of the game's).
// The first cause noted stands.
TEST_F(GameApplicationTest, TheLogSaysWhyTheMainLoopEnded)
{
    os::CatchQuitSignals(); // as the game's video driver does; a raised signal then only asks
    const auto closeAsking = [](const char* cause)
    {
        os::Event close;
        close.type = os::EventType::Close;
        close.cause = cause;
        return close;
    };
    const struct
    {
        const char* what;
        std::function<void(TestGame*)> atTick; // at the probe's second update
        const char* logged;
    } cases[] = {
        {"SIGTERM", [](TestGame*) { raise(SIGTERM); }, "a quit signal, SIGTERM"},
        {"SIGINT, then the window closed",
         [&](TestGame*)
         {
             raise(SIGINT);
             mDriver->mWindows.back()->Push(closeAsking("the window's close request"));
         },
         "a quit signal, SIGINT"},
        {"the desktop", [&](TestGame*) { mDriver->mWindows.back()->Push(closeAsking("the desktop's quit request")); },
         "the desktop's quit request"},
        {"a close request that says nothing", [&](TestGame*) { mDriver->mWindows.back()->Push(closeAsking(nullptr)); },
         "the window's close request"},
        {"a stop with no cause", [](TestGame* game) { game->Stop(); }, "none noted"},
    };
    for (int round = 1; round <= 2; ++round)
        for (const auto& c : cases)
        {
            SCOPED_TRACE(std::string(c.what) + ", round " + std::to_string(round));
            mDriver->mWindows.clear();
            TestGame* game = Make();
            game->mProbe->mCloseAfter = 0;
            game->mProbe->mOnTick = [&c, game](int tick)
            {
                if (tick == 2)
                    c.atTick(game);
            };
            game->Main();
            EXPECT_EQ(game->GetExitCode(), 0);
            EXPECT_STREQ(game->GetEndCause(), std::string(c.logged) == "none noted" ? nullptr : c.logged);
            const std::string log = User("log.html");
            const size_t ended = log.find("Main loop ended: ");
            ASSERT_NE(ended, std::string::npos) << log;
            EXPECT_NE(log.find("; cause: " + std::string(c.logged) + "\n", ended), std::string::npos)
                << log.substr(ended, 200);
            base::SingletoneBase::DestroyAll();
        }
}

// What saves killed part way left under fresh temporary names goes at the start, told in the log;
// a link or folder of such a name, and the data folder's pack leftovers, stay. A second copy,
// which does not hold the folder, removes nothing: the running copy may be writing those files.
TEST_F(GameApplicationTest, AStartRemovesWhatSavesCutShortLeftAndASecondCopyNothing)
{
    StoreWindowed();
    fs::create_symlink("profiles.xml", mUser / "profiles.xml.tmp.78.1");
    fs::create_directory(mUser / "profiles.xml.tmp.79.1");
    mData.Write("data.dat.tmp.80.1", "a pack build's");
    for (int run = 1; run <= 2; ++run)
    {
        SCOPED_TRACE(run);
        const std::string cut = "profiles.xml.tmp.7" + std::to_string(run) + ".1";
        std::ofstream(mUser / cut) << "<Profiles currentProfile=\"Ann\"><Profile na";
        mDriver->mWindows.clear();
        TestGame* game = Make();
        game->Main();
        EXPECT_FALSE(fs::exists(mUser / cut));
        EXPECT_NE(User("log.html").find("Removed what saves cut short left: '" + cut + "'"), std::string::npos);
        EXPECT_TRUE(fs::is_symlink(mUser / "profiles.xml.tmp.78.1"));
        EXPECT_TRUE(fs::is_directory(mUser / "profiles.xml.tmp.79.1"));
        EXPECT_EQ(mData.Read("data.dat.tmp.80.1"), "a pack build's");
        base::SingletoneBase::DestroyAll();
        EXPECT_NE(User("profiles.xml").find("Ann"), std::string::npos);
    }

    os::InstanceLock running;
    ASSERT_EQ(running.Acquire((mUser / "instance.lock").wstring()), os::InstanceLock::ACQUIRED);
    std::ofstream(mUser / "profiles.xml.tmp.75.1") << "being written";
    mDriver->mWindows.clear();
    TestGame* game = Make();
    game->Main();
    EXPECT_TRUE(game->IsSecondInstance());
    base::SingletoneBase::DestroyAll();
    EXPECT_EQ(mHome.Read("Marrowgate/Brackenmoor/profiles.xml.tmp.75.1"), "being written");
}
