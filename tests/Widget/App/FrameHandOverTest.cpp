// The application hands screens to the frame manager: a screen replaced from its own press
// handler is deleted after the update, and one whose start fails is not shown (the game itself
// drives clicks, keys and drawing through the manager in the playthroughs).
#include "Widget/WidgetProbes.h"

#include "App/ShellGame.h"
#include "Core/Base/Singletone.h"
#include "Platform/Os/NullVideo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace widgettest;
namespace fs = std::filesystem;

namespace
{
class ScreenGame : public ShellGame
{
public:
    QLResultEnum StartGame() override
    {
        if (QLResultEnum r = ShellGame::StartGame())
            return r;
        return SetScreen(mFirst);
    }
    widget::Frame* mFirst = nullptr;
};

os::Event Mouse(os::EventType type, float x, float y)
{
    os::Event e;
    e.type = type;
    e.button = 1;
    e.clicks = 1;
    e.x = x;
    e.y = y;
    return e;
}

class FrameHandOver : public ::testing::Test
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
    }
    void TearDown() override
    {
        base::SingletoneBase::DestroyAll();
        os::SetVideoDriver(nullptr);
        fs::current_path(mOldCwd);
    }

    ScreenGame* Make(widget::Frame* first)
    {
        auto* game = new ScreenGame();
        game->mFirst = first;
        game->Arguments() = {L"--data_path", mData.WPath()};
        EXPECT_EQ(QL_OK, game->Init());
        return game;
    }
    // Pushes the events at the screen's first update and closes the window at its tenth.
    void Script(ProbeBoard& board, std::vector<os::Event> events)
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

    testsupport::TempDir mHome;
    testsupport::TempDir mData;
    fs::path mOldCwd;
    os::NullVideoDriver* mDriver = nullptr;
    Journal mJournal;
    int mDeaths = 0;
};
} // namespace

TEST_F(FrameHandOver, AScreenReplacedFromItsOwnPressIsDeletedAfterTheUpdate)
{
    auto* first = new ProbeBoard("first", mJournal, math::Rect());
    auto* second = new ProbeBoard("second", mJournal, math::Rect());
    first->mDeaths = second->mDeaths = &mDeaths;
    Script(*first, {Mouse(os::EventType::MouseDown, 683, 384), Mouse(os::EventType::MouseUp, 683, 384)});
    ScreenGame* game = Make(first);
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
    EXPECT_EQ(1, mDeaths) << "the first screen is gone, the second is still shown";
    EXPECT_EQ(second, game->GetFrameManager()->GetActiveFrame());
    EXPECT_EQ(1u, Filter(mJournal, "first:manager-").size());
    // The window hands over both buttons in one pass: the release still finds the first screen,
    // which leaves (and is deleted) in the update that follows.
    const Journal expected = {"first:press", "first:release", "first:update", "second:manager+",
                              "first:deactivate", "second:activate", "first:manager-", "second:update"};
    const auto from = std::find(mJournal.begin(), mJournal.end(), "first:press");
    ASSERT_GE(static_cast<size_t>(mJournal.end() - from), expected.size());
    EXPECT_EQ(expected, Journal(from, from + static_cast<long>(expected.size())));
    EXPECT_EQ(1u, Filter(mJournal, "second:activate").size());
}

TEST_F(FrameHandOver, AScreenWhoseStartFailsIsNotShown)
{
    class Refusing : public ProbeBoard
    {
    public:
        using ProbeBoard::ProbeBoard;
        QLResultEnum Start() override { return static_cast<QLResultEnum>(4); }
    };
    auto* screen = new ProbeBoard("screen", mJournal, math::Rect());
    screen->mDeaths = &mDeaths;
    Script(*screen, {});
    ScreenGame* game = Make(screen);
    game->Main();
    Refusing refusing("refusing", mJournal, math::Rect());
    EXPECT_EQ(4, game->SetScreen(&refusing));
    EXPECT_EQ(nullptr, game->mScreen);
    EXPECT_EQ(1u, game->GetFrameManager()->GetPendingRemovals()) << "the old screen still goes";
    EXPECT_EQ(0u, game->GetFrameManager()->GetPendingAdditions());
    EXPECT_EQ(QL_OK, game->GetFrameManager()->Update(0.0f));
    EXPECT_EQ(1, mDeaths);
    EXPECT_EQ(nullptr, refusing.GetManager());
}
