#include "App/ShellGame.h"
#include "Core/Base/Singletone.h"
#include "Core/File/FileManager.h"
#include "Core/File/Profiles.h"
#include "Core/Input/InputWin32.h"
#include "Core/Layer/RectHitLayer.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Media/Image/RenderTarget.h"
#include "Core/Media/Sound/SoundSystem.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Widget/Controls/DialogEffectsManager.h"
#include "Core/Widget/Frame.h"
#include "Framework/GameWindow.h"
#include "Platform/Audio/NullDevice.h"
#include "Platform/Gpu/RecordingDevice.h"
#include "Platform/Os/InstanceLock.h"
#include "Platform/Os/NullVideo.h"
#include "support/TempDir.h"
#include "Widget/WidgetProbes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

namespace fs = std::filesystem;

namespace
{
// The first screen: counts its updates and draws, writes down the pointer as it arrives, pushes
// events to the window at its first update and closes the window at a given one.
class ProbeScreen : public widget::BaseBoard
{
public:
    explicit ProbeScreen(os::NullVideoDriver* driver) : mDriver(driver) {}
    QLResultEnum Update(float) override
    {
        ++mTicks;
        if (mDriver->mWindows.empty())
            return QL_OK;
        if (mTicks == 1)
            for (const os::Event& e : mEvents)
                mDriver->mWindows.back()->Push(e);
        if (mTicks == mCloseAfter)
        {
            os::Event close;
            close.type = os::EventType::Close;
            mDriver->mWindows.back()->Push(close);
        }
        return QL_OK;
    }
    QLResultEnum OnPreDraw(render::Graphics*, layer::Layer*) override
    {
        ++mDraws;
        return mFailDraw ? QL_FAIL : QL_OK;
    }
    QLResultEnum OnPress(const math::Point3& p, u32 button) override { return Add("down", p, button); }
    QLResultEnum OnRelease(const math::Point3& p, u32 button) override { return Add("up", p, button); }
    QLResultEnum OnPointerDrag(const math::Point3& p) override { return Add("drag", p, 0); }

    os::NullVideoDriver* mDriver;
    int mTicks = 0;
    int mDraws = 0;
    int mCloseAfter = 3;
    bool mFailDraw = false;
    std::vector<os::Event> mEvents;
    std::vector<std::string> mMouse;

private:
    QLResultEnum Add(const char* kind, const math::Point3& p, u32 value)
    {
        mState = layer::HIT_HANDLED;
        mMouse.push_back(std::string(kind) + " " + std::to_string(static_cast<int>(p.x)) + "," +
                         std::to_string(static_cast<int>(p.y)) + " " + std::to_string(value));
        return QL_OK;
    }
};

class FailingRender : public render::RenderDX9
{
public:
    QLResultEnum InitRender(render::RenderWindow*, const render::RenderInitParam&) override { return QL_FAIL; }
};

// The game's shell on the real frame manager, showing the probe screen (or another first screen).
class TestGame : public ShellGame
{
public:
    explicit TestGame(os::NullVideoDriver* driver) : mProbe(new ProbeScreen(driver)), mOwned(mProbe) {}
    QLResultEnum StartGame() override
    {
        ++mStarts;
        if (QLResultEnum r = ShellGame::StartGame())
            return r;
        if (mFirst)
            return SetScreen(mFirst);
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
    widget::Frame* mFirst = nullptr;
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
        setenv("QL_NO_MESSAGE_BOX", "1", 1);
        setenv("QL_NO_SHELL_OPEN", "1", 1);
        auto driver = std::make_unique<os::NullVideoDriver>();
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
        auto* game = new TestGame(mDriver);
        game->Arguments() = args;
        EXPECT_EQ(game->Init(), QL_OK);
        return game;
    }

    TestGame* MakeShell(widget::Frame* first)
    {
        auto* game = new TestGame(mDriver);
        game->mFirst = first;
        game->Arguments() = {L"--data_path", mData.WPath()};
        EXPECT_EQ(QL_OK, game->Init());
        return game;
    }
    // Pushes the events at the screen's first update and closes the window at its tenth.
    void Script(widgettest::ProbeBoard& board, std::vector<os::Event> events)
    {
        board.mOnEvent = [this, events, ticks = 0](const std::string& e) mutable {
            if (e != "update" || mDriver->mWindows.empty())
                return QL_OK;
            ++ticks;
            if (ticks == 1)
                for (const os::Event& event : events)
                    mDriver->mWindows.back()->Push(event);
            if (ticks == 10)
            {
                os::Event close;
                close.type = os::EventType::Close;
                mDriver->mWindows.back()->Push(close);
            }
            return QL_OK;
        };
    }

    // A file of the per-user folder as written.
    std::string User(const std::string& name) const { return mHome.Read("Marrowgate/Brackenmoor/" + name); }

    testsupport::TempDir mHome;
    testsupport::TempDir mData;
    fs::path mUser;
    fs::path mOldCwd;
    os::NullVideoDriver* mDriver = nullptr;
};

TEST_F(GameApplicationTest, StartsUpRunsFramesAndEndsWhenTheWindowCloses)
{
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
    EXPECT_EQ(game->mWindow->GetPositionX(), 277);
    EXPECT_EQ(game->mWindow->GetPositionY(), 136);
    EXPECT_EQ(game->mLayoutX, -171);
    EXPECT_EQ(game->mLayoutWidth, 1366);
    EXPECT_EQ(game->ToGameCoords({0, 0}), math::Point2(-171, 0));
    const math::Point2 p(100, 30);
    EXPECT_EQ(game->ConvertCoordsByMode(p, 1), math::Point2(1366 - 30, 100));
    EXPECT_EQ(game->ConvertCoordsByMode(p, 3), math::Point2(30, 768 - 100));
    EXPECT_EQ(game->ConvertCoordsByMode(p, 2), p);
    // Images load through the renderer; a missing one is reported.
    std::unique_ptr<render::Image> image(game->LoadImage(L"td/data/loading.jpg"));
    ASSERT_NE(image, nullptr);
    EXPECT_GT(image->GetWidth(), 0);
    EXPECT_EQ(game->LoadImage(L"td/data/missing.jpg"), nullptr);
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
    } cases[] = {
        {"a malformed command line", [this](TestGame*& g) { g = Make({L"--data_path"}); }, 1, nullptr, true},
        {"another malformed one", [this](TestGame*& g) { g = Make({L"--pack", L"a", L"b"}); }, 1, nullptr, true},
        {"no play.url", [this](TestGame*& g) { fs::remove(mData.Path() / "play.url"), g = Make(); }, 1,
         "File play.url not found!", true},
        {"a window that cannot be made", [this](TestGame*& g) { mDriver->mFailCreate = true, g = Make(); }, 1,
         "Cannot create the game window", false},
        {"a renderer that does not start", [this](TestGame*& g) { g = Make(), g->mFailRender = true; }, 1,
         "Cannot start the OpenGL 3.3 renderer.", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        mData.Write("play.url", "[InternetShortcut]\nURL=https://example.org/\n");
        mDriver->mFailCreate = false;
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
        if (c.logged)
            EXPECT_NE(User("log.html").find(c.logged), std::string::npos);
        else
            EXPECT_NE(err.find("usage"), std::string::npos) << "no log yet: the reason goes to the player";
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
    base::SingletoneBase::DestroyAll();
    EXPECT_FALSE(fs::exists(mUser / "profiles.xml"));
    EXPECT_FALSE(fs::exists(mUser / "log.html"));
}

TEST_F(GameApplicationTest, AFailedFrameStillEndsItsSceneAndALostDeviceRunsNoFrame)
{
    TestGame* game = Make();
    ASSERT_EQ(game->Start(), QL_OK);
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
}

TEST_F(GameApplicationTest, StoredFullScreenChoiceIsReadFromTheCurrentProfile)
{
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

TEST_F(GameApplicationTest, ClicksReachTheFramesInGameCoordinates)
{
    TestGame* game = Make();
    os::Event down;
    down.type = os::EventType::MouseDown;
    down.button = 1;
    down.clicks = 1;
    down.x = 683;
    down.y = 384;
    game->mProbe->mEvents = {down};
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
    EXPECT_EQ(game->mProbe->mMouse, (std::vector<std::string>{"down 20,30 1", "drag 25,35 0", "up 26,36 1", "up 0,0 1"}));
}

TEST_F(GameApplicationTest, PackBuildRebuildsEveryMountedPackThenEndsTheProgram)
{
    // "--pack" runs from the executable's folder; the build itself is checked here.
    mData.Write("td/levels/a.xml", "<Level/>");
    TestGame* game = Make();
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
    const size_t resets = game->Device()->CallsStartingWith("Reset").size();
    EXPECT_EQ(game->SwitchScreenMode(), QL_OK);
    EXPECT_FALSE(game->mWindow->IsWindowed());
    EXPECT_EQ(game->Device()->CallsStartingWith("Reset").size(), resets);
    EXPECT_EQ(User("profiles.xml").find("<fs"), std::string::npos);
}

TEST_F(GameApplicationTest, FailedRendererResetIsLoggedAndTheOldModeRestored)
{
    TestGame* game = Make();
    ASSERT_EQ(game->Start(), QL_OK);
    ASSERT_TRUE(game->mWindow->IsWindowed());
    game->Device()->FailNext("Reset");
    EXPECT_NE(game->SwitchScreenMode(), QL_OK);
    EXPECT_TRUE(game->mWindow->IsWindowed());
    EXPECT_TRUE(mDriver->mWindows[0]->Desc().windowed);
    EXPECT_EQ(game->mWindow->GetWidth(), 1366);
    EXPECT_EQ(game->mView.viewWidth, 1366);
    EXPECT_NE(User("log.html").find("Screen-mode switch failed at ResetRender"), std::string::npos);
    EXPECT_EQ(User("profiles.xml").find("<fs"), std::string::npos); // nothing stored
    EXPECT_EQ(game->FrameStep(0.016f), QL_OK); // and the frames go on

    // Then a switch that works, to full screen and back, logs its steps in order.
    ASSERT_EQ(game->SwitchScreenMode(), QL_OK);
    ASSERT_EQ(game->SwitchScreenMode(), QL_OK);
    EXPECT_TRUE(game->mWindow->IsWindowed());
    EXPECT_EQ(game->mWindow->GetPositionX(), 277); // centred again
    const std::string log = User("log.html");
    const char* steps[] = {"Screen-mode switch failed",       "mRender-&gt;PrepareSwitchScreenMode()",
                           "SwitchWindowMode(false)",         "mRender-&gt;SwitchScreenMode()",
                           "mRender-&gt;PrepareSwitchScreenMode()", "mWindow-&gt;SetWindowedSize()",
                           "mRender-&gt;SwitchScreenMode()",  "SwitchWindowMode(true)"};
    size_t at = 0;
    for (const char* step : steps)
    {
        const size_t found = log.find(step, at);
        ASSERT_NE(found, std::string::npos) << step;
        at = found + 1;
    }
    EXPECT_NE(User("profiles.xml").find("<fs v=\"0\"/>"), std::string::npos);
}

TEST_F(GameApplicationTest, TheWindowManagersFrameCountsWhenFittingAndCentring)
{
    // The frame is told only once the window shows, as window managers do.
    mDriver->mWindowFrameKnown = true;
    const int frame[4] = {2, 30, 2, 2};
    std::copy(std::begin(frame), std::end(frame), mDriver->mWindowFrame);
    TestGame* game = Make();
    game->Main();
    EXPECT_TRUE(game->mWindow->IsWindowed());
    EXPECT_EQ(game->mWindow->GetPositionX(), 275) << "(1920 - 1370) / 2";
    EXPECT_EQ(game->mWindow->GetPositionY(), 120) << "(1040 - 800) / 2";
    EXPECT_EQ(game->mWindow->GetWidth(), 1370);
    const os::WindowDesc& desc = mDriver->mWindows.back()->Desc();
    EXPECT_EQ(desc.x, 275);
    EXPECT_EQ(desc.clientWidth, 1366);
    EXPECT_EQ(desc.clientHeight, 768);
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

TEST_F(GameApplicationTest, TheScreenCoversTheWholeLayoutWhateverTheDisplayShows)
{
    // A 4:3 monitor: full screen, the view is the 1024 core, the screen still the 1366 layout.
    mDriver->mDisplays[0].bounds = mDriver->mDisplays[0].workArea = {0, 0, 1024, 768};
    TestGame* game = Make();
    ASSERT_EQ(game->Start(), QL_OK);
    EXPECT_EQ(game->mView.viewWidth, 1024);
    const math::Rect& rect = game->mProbe->GetHitLayer()->GetRect();
    EXPECT_EQ(rect.x, -171);
    EXPECT_EQ(rect.y, 0);
    EXPECT_EQ(rect.w, 1366);
    EXPECT_EQ(rect.h, 768);
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
        {"<Game><DialogEffects><Data>" + zoom + "</Data><Dialogs><Options effects=\"zoom\"/></Dialogs></DialogEffects></Game>", "zoom", ""},
        // A set without a name is logged and stops the reading there.
        {"<Game><DialogEffects><Data>" + zoom + "<Anim show_anim_data=\"s.anim\" hide_anim_data=\"h.anim\"/></Data>"
         "<Dialogs><Options effects=\"zoom\"/></Dialogs></DialogEffects></Game>", "", "without a name"},
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
TEST_F(GameApplicationTest, AScreenReplacedFromItsOwnPressIsDeletedAfterTheUpdate)
{
    using namespace widgettest;
    Journal journal;
    int deaths = 0;
    auto* first = new ProbeBoard("first", journal, math::Rect());
    auto* second = new ProbeBoard("second", journal, math::Rect());
    first->mDeaths = second->mDeaths = &deaths;
    os::Event down;
    down.type = os::EventType::MouseDown;
    down.button = 1;
    down.clicks = 1;
    down.x = 683;
    down.y = 384;
    os::Event up = down;
    up.type = os::EventType::MouseUp;
    Script(*first, {down, up});
    TestGame* game = MakeShell(first);
    auto script = first->mOnEvent;
    first->mOnEvent = [&, script](const std::string& e) mutable {
        if (e == "press")
        {
            EXPECT_EQ(QL_OK, game->SetScreen(second));
            return QL_OK;
        }
        return script(e);
    };
    // The second screen closes the window once it runs.
    second->mOnEvent = [this, ticks = 0](const std::string& e) mutable {
        if (e == "update" && ++ticks == 3)
        {
            os::Event close;
            close.type = os::EventType::Close;
            mDriver->mWindows.back()->Push(close);
        }
        return QL_OK;
    };
    game->Main();
    EXPECT_EQ(1, deaths) << "the first screen is gone, the second is still shown";
    EXPECT_EQ(second, game->GetFrameManager()->GetActiveFrame());
    EXPECT_EQ(1u, Filter(journal, "first:manager-").size());
    // The window hands over both buttons in one pass: the release still finds the first screen,
    // which leaves (and is deleted) in the update that follows.
    const Journal expected = {"first:press", "first:release", "first:update", "second:manager+",
                              "first:deactivate", "second:activate", "first:manager-", "second:update"};
    const auto from = std::find(journal.begin(), journal.end(), "first:press");
    ASSERT_GE(static_cast<size_t>(journal.end() - from), expected.size());
    EXPECT_EQ(expected, Journal(from, from + static_cast<long>(expected.size())));
    EXPECT_EQ(1u, Filter(journal, "second:activate").size());
    base::SingletoneBase::DestroyAll(); // the second screen goes while its journal lives
}

TEST_F(GameApplicationTest, AScreenWhoseStartFailsIsNotShown)
{
    using namespace widgettest;
    Journal journal;
    int deaths = 0;
    class Refusing : public ProbeBoard
    {
    public:
        using ProbeBoard::ProbeBoard;
        QLResultEnum Start() override { return static_cast<QLResultEnum>(4); }
    };
    auto* screen = new ProbeBoard("screen", journal, math::Rect());
    screen->mDeaths = &deaths;
    Script(*screen, {});
    TestGame* game = MakeShell(screen);
    game->Main();
    Refusing refusing("refusing", journal, math::Rect());
    EXPECT_EQ(4, game->SetScreen(&refusing));
    EXPECT_EQ(nullptr, game->mScreen);
    EXPECT_EQ(1u, game->GetFrameManager()->GetPendingRemovals()) << "the old screen still goes";
    EXPECT_EQ(0u, game->GetFrameManager()->GetPendingAdditions());
    EXPECT_EQ(QL_OK, game->GetFrameManager()->Update(0.0f));
    EXPECT_EQ(1, deaths);
    EXPECT_EQ(nullptr, refusing.GetManager());
}
