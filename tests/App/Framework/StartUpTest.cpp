// The engine's game application against a stub game: the start-up's arguments, its failure
// paths and the frame step's handling of failed and lost frames.
#include "../../Os/ScopedEnv.h"
#include "Core/App/FrameHost.h"
#include "Core/Base/Singletone.h"
#include "Core/Input/InputWin32.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Widget/Controls/ControlHost.h"
#include "Framework/GameApplication.h"
#include "Framework/GameWindow.h"
#include "Platform/Gpu/RecordingDevice.h"
#include "Platform/Os/NullVideo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace
{
class FailingRender : public render::RenderDX9
{
public:
    QLResultEnum InitRender(render::RenderWindow*, const render::RenderInitParam&) override
    {
        return QL_FAIL;
    }
};

class ProbeHost : public app::FrameHost
{
public:
    QLResultEnum Update(float) override
    {
        ++mTicks;
        return QL_OK;
    }
    QLResultEnum Draw(render::Graphics&) override { return mFailDraw ? QL_FAIL : QL_OK; }
    QLResultEnum OnMouseDown(const math::Point2& p, u32 b) override { return Add("down", p, b); }
    QLResultEnum OnMouseUp(const math::Point2& p, u32 b) override { return Add("up", p, b); }
    QLResultEnum OnMouseDoubleClick(const math::Point2& p, u32 b) override { return Add("dbl", p, b); }
    QLResultEnum OnMouseMove(const math::Point2& p) override { return Add("move", p, 0); }
    QLResultEnum OnMouseDrag(const math::Point2& p) override { return Add("drag", p, 0); }
    QLResultEnum OnMouseWheel(const math::Point2& p, u32 delta) override { return Add("wheel", p, delta); }

    std::vector<std::string> mMouse;
    int mTicks = 0;
    bool mFailDraw = false;

private:
    QLResultEnum Add(const char* kind, const math::Point2& p, u32 value)
    {
        mMouse.push_back(std::string(kind) + " " + std::to_string(static_cast<int>(p.x)) + "," +
                         std::to_string(static_cast<int>(p.y)) + " " + std::to_string(value));
        return QL_OK;
    }
};

class StubGame : public framework::GameApplication
{
public:
    StubGame()
    {
        mPublisherName = L"Marrowgate";
        mGameName = L"Brackenmoor";
    }
    QLResultEnum LoadConfig() override
    {
        mCaption = L"Stub";
        return QL_OK;
    }
    QLResultEnum StartGame() override
    {
        ++mStarts;
        return QL_OK;
    }
    QLResultEnum OnFrame(float) override
    {
        ++mFrames;
        return QL_OK;
    }
    gpu::RecordingDevice* Device() const
    {
        auto* dx = dynamic_cast<render::RenderDX9*>(mRender);
        return dx ? dynamic_cast<gpu::RecordingDevice*>(dx->GetDevice()) : nullptr;
    }

    bool mFailInit = false;
    ProbeHost* mHost = nullptr;
    std::wstring mPackValue;
    int mStarts = 0;
    int mFrames = 0;

protected:
    render::Render* CreateRender() override
    {
        return mFailInit ? new FailingRender() : framework::GameApplication::CreateRender();
    }
    app::FrameHost* CreateFrameManager() override { return mHost = new ProbeHost(); }
    QLResultEnum RunPackBuild(const std::wstring& value) override
    {
        mPackValue = value;
        Stop();
        return QL_OK;
    }
};

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class StartUpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mOldCwd = fs::current_path();
        setenv("XDG_DATA_HOME", mHome.Path().c_str(), 1);
        setenv("QL_NO_MESSAGE_BOX", "1", 1);
        os::SetVideoDriver(std::make_unique<os::NullVideoDriver>());
        mUser = mHome.Path() / "Marrowgate" / "Brackenmoor";
    }
    void TearDown() override
    {
        base::SingletoneBase::DestroyAll();
        os::SetVideoDriver(nullptr);
        fs::current_path(mOldCwd);
    }
    // The registry of singletons owns the game.
    StubGame* Make(std::vector<std::wstring> args)
    {
        auto* game = new StubGame();
        game->Arguments() = std::move(args);
        EXPECT_EQ(game->Init(), QL_OK);
        return game;
    }
    size_t Calls(StubGame* game, const char* prefix)
    {
        return game->Device()->CallsStartingWith(prefix).size();
    }

    testsupport::TempDir mHome;
    testsupport::TempDir mData;
    fs::path mUser;
    fs::path mOldCwd;
};
} // namespace

TEST_F(StartUpTest, WithoutArgumentsTheExecutableFolderIsTheDataFolder)
{
    StubGame* game = Make({});
    ASSERT_EQ(game->Start(), QL_OK);
    EXPECT_EQ(fs::current_path().wstring() + L"/", game->GetModuleFolder());
    EXPECT_EQ(game->mStarts, 1);
    EXPECT_TRUE(fs::exists(mUser / "log.html"));
    EXPECT_EQ(game->PendingCount(), 1u); // the window joins the tree
    // The controls reach the application's renderer and screen mode without a host of their own.
    ASSERT_NE(game->mRender, nullptr);
    EXPECT_EQ(gui::ControlHost::Get()->GetRender(), game->mRender);
    EXPECT_EQ(gui::ControlHost::Get()->IsWindowed(), game->mWindowed);
}

TEST_F(StartUpTest, DataPathBecomesTheCurrentFolderAndADamagedGameXmlStopsNothing)
{
    mData.Write("data/game.xml", "<Game><DialogEffects/></Game>");
    StubGame* game = Make({L"--data_path", mData.WPath()});
    ASSERT_EQ(game->Start(), QL_OK);
    EXPECT_EQ(fs::current_path(), mData.Path());
    EXPECT_EQ(game->mStarts, 1);
    base::SingletoneBase::DestroyAll();

    mData.Write("data/game.xml", "<Game><DialogEffects>"); // cut short
    game = Make({L"--data_path", mData.WPath()});
    ASSERT_EQ(game->Start(), QL_OK);
    EXPECT_EQ(game->mStarts, 1);
}

TEST_F(StartUpTest, PackArgumentBuildsWithoutADisplayInsteadOfStartingTheGame)
{
    testos::ScopedEnv noX("DISPLAY", nullptr), noWayland("WAYLAND_DISPLAY", nullptr),
        x11Only("SDL_VIDEODRIVER", "x11"), noOverride("QL_VIDEO", nullptr);
    os::SetVideoDriver(nullptr); // the platform's own choice: SDL, which finds no display
    fs::current_path(mData.Path());
    StubGame* game = Make({L"--pack", L"td"});
    ASSERT_EQ(game->Start(), QL_OK);
    EXPECT_EQ(game->mPackValue, L"td");
    EXPECT_EQ(game->mStarts, 0) << "the build replaces the game";
    EXPECT_TRUE(game->IsStopping());
}

TEST_F(StartUpTest, FailingRendererIsLoggedAndEndsWithoutAMainLoop)
{
    StubGame* game = Make({L"--data_path", mData.WPath()});
    game->mFailInit = true;
    game->Main();
    EXPECT_EQ(game->GetExitCode(), 1);
    EXPECT_EQ(game->mStarts, 0);
    EXPECT_EQ(game->PendingCount(), 0u); // the window never joined the tree
    EXPECT_TRUE(game->HasNoChildren());
    EXPECT_NE(Slurp(mUser / "log.html").find("Cannot start the OpenGL 3.3 renderer."), std::string::npos);
}

TEST_F(StartUpTest, FailedFrameStillEndsItsSceneAndTheNextOneIsPresented)
{
    StubGame* game = Make({L"--data_path", mData.WPath()});
    ASSERT_EQ(game->Start(), QL_OK);
    ASSERT_NE(game->Device(), nullptr);
    ASSERT_EQ(game->FrameStep(0.016f), QL_OK);
    const size_t presents = Calls(game, "Present");
    ASSERT_GT(Calls(game, "BeginScene"), 0u);
    game->mHost->mFailDraw = true;
    EXPECT_NE(game->FrameStep(0.016f), QL_OK);
    EXPECT_EQ(Calls(game, "Present"), presents);
    EXPECT_EQ(Calls(game, "BeginScene"), Calls(game, "EndScene"));
    game->mHost->mFailDraw = false;
    EXPECT_EQ(game->FrameStep(0.016f), QL_OK);
    EXPECT_EQ(Calls(game, "Present"), presents + 1);
    EXPECT_EQ(Calls(game, "BeginScene"), Calls(game, "EndScene"));
}

TEST_F(StartUpTest, LostDeviceNeitherPollsInputNorRunsNorPresentsTheFrame)
{
    StubGame* game = Make({L"--data_path", mData.WPath()});
    ASSERT_EQ(game->Start(), QL_OK);
    ASSERT_NE(game->Device(), nullptr);
    game->mInput->SetKeyPressed(66, 0, true);
    ASSERT_EQ(game->FrameStep(0.016f), QL_OK);
    EXPECT_EQ(game->mInput->GetKeyState(66), input::KEY_PRESSED); // a normal frame polls
    const int frames = game->mFrames;
    const int ticks = game->mHost->mTicks;
    const size_t presents = Calls(game, "Present");

    game->Device()->ForceStatus(gpu::DeviceStatus::Lost);
    dynamic_cast<render::RenderDX9*>(game->mRender)->SetLostSleep(0);
    game->mInput->SetKeyPressed(65, 0, true);
    EXPECT_EQ(game->FrameStep(0.016f), QL_OK);
    EXPECT_EQ(game->mInput->GetKeyState(65), input::KEY_UP);
    EXPECT_EQ(game->mInput->GetKeyState(66), input::KEY_PRESSED);
    EXPECT_EQ(game->mFrames, frames);
    EXPECT_EQ(game->mHost->mTicks, ticks);
    EXPECT_EQ(Calls(game, "Present"), presents);
}

TEST_F(StartUpTest, MouseAndTouchReachTheFramesUnchangedAndTouchActsAsTheLeftButton)
{
    StubGame* game = Make({L"--data_path", mData.WPath()});
    ASSERT_EQ(game->Start(), QL_OK);
    game->OnMouseDown({1, 2}, 3);
    game->OnMouseUp({1, 2}, 3);
    game->OnMouseDoubleClick({3, 4}, 1);
    game->OnMouseMove({5, 6});
    game->OnMouseDrag({7, 8});
    game->OnMouseWheel({9, 10}, 65416);
    EXPECT_EQ(game->OnMouseLeave({11, 12}), QL_OK); // the frames do not hear of it
    game->OnTouchBegin({{1, {20, 30}}, {2, {90, 90}}});
    game->OnTouchMove({{1, {25, 35}}});
    game->OnTouchEnd({{1, {26, 36}}});
    game->OnTouchBegin({});
    game->OnTouchCancel({});
    const std::vector<std::string> expected = {
        "down 1,2 3",       "up 1,2 3",     "dbl 3,4 1",    "move 5,6 0", "drag 7,8 0",
        "wheel 9,10 65416", "down 20,30 1", "drag 25,35 0", "up 26,36 1", "up 0,0 1"};
    EXPECT_EQ(game->mHost->mMouse, expected);
    // Without a focused widget the keys go nowhere, harmlessly.
    EXPECT_EQ(game->OnKeyDown(97), QL_OK);
    EXPECT_EQ(game->OnChar(97), QL_OK);
}
