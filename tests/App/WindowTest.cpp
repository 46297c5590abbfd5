// The application window over the null video driver: creation, events to input, activity, closing
// and the raise request of a second copy.
#include "Core/App/Window.h"
#include "../Input/RecordingListener.h"
#include "Core/Input/InputWin32.h"
#include "Platform/Os/InstanceLock.h"
#include "Platform/Os/NullVideo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace
{
class ActivityWindow : public app::Window
{
public:
    using app::Window::Window;
    void OnActivate() override { mJournal.push_back("activate"); }
    void OnDeactivate() override { mJournal.push_back("deactivate"); }
    std::vector<std::string> mJournal;
};

os::Event Key(os::EventType type, u32 key, u32 side = 0)
{
    os::Event e;
    e.type = type;
    e.key = key;
    e.sideKey = side;
    return e;
}

os::Event Mouse(os::EventType type, float x, float y, int button = 0, int clicks = 1)
{
    os::Event e;
    e.type = type;
    e.x = x;
    e.y = y;
    e.button = button;
    e.clicks = clicks;
    return e;
}

os::Event Simple(os::EventType type)
{
    os::Event e;
    e.type = type;
    return e;
}
} // namespace

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto driver = std::make_unique<os::NullVideoDriver>();
        driver->mFreeRunning = true;
        mDriver = driver.get();
        os::SetVideoDriver(std::move(driver));
        ASSERT_EQ(window.Create(10, 20, 1366, 768, 1366, 768, true, L"Brackenmoor"), QL_OK);
        platform = mDriver->mWindows.back();
    }
    void TearDown() override { os::SetVideoDriver(nullptr); }

    void Feed(const os::Event& e)
    {
        platform->Push(e);
        EXPECT_EQ(QL_OK, window.Update(0));
    }

    os::NullVideoDriver* mDriver = nullptr;
    os::NullWindow* platform = nullptr;
    testinput::RecordingListener listener;
    input::InputWin32 in{&listener, nullptr};
    ActivityWindow window{&in, false, false, true};
};

TEST_F(WindowTest, CreateShowsThePlatformWindowWithItsPlacementSwitchesModesOrReportsAFailure)
{
    EXPECT_TRUE(platform->IsVisible());
    EXPECT_EQ(platform->Desc().x, 10);
    EXPECT_EQ(platform->Desc().clientWidth, 1366);
    EXPECT_EQ(platform->Desc().caption, L"Brackenmoor");
    EXPECT_EQ(window.GetWidth(), 1366);
    EXPECT_TRUE(window.IsWindowed());
    ASSERT_EQ(window.SwitchWindowMode(1920, 1080, false), QL_OK);
    EXPECT_FALSE(platform->Desc().windowed);
    EXPECT_EQ(window.GetWidth(), 1920);
    ASSERT_EQ(window.SwitchWindowMode(1366, 768, true), QL_OK);
    EXPECT_TRUE(platform->Desc().windowed);
    EXPECT_EQ(platform->Desc().x, 10);
    EXPECT_EQ(platform->Desc().clientWidth, 1366);

    mDriver->mFailCreate = true;
    ActivityWindow other(&in, false, false, true);
    EXPECT_EQ(other.Create(0, 0, 100, 100, 100, 100, true, L"x"), QL_FAIL);
    EXPECT_FALSE(other.IsCreated());
}

TEST_F(WindowTest, PlatformEventsReachTheInputAsItExpectsThem)
{
    using T = os::EventType;
    os::Event up = Mouse(T::MouseWheel, 30, 40), down = up;
    up.wheel = 1;
    down.wheel = -2;
    const struct
    {
        const char* what;
        std::vector<os::Event> events;
        std::vector<std::string> heard;
        bool switches;
    } cases[] = {
        {"Alt+Enter asks a switch; the Enter is swallowed",
         {Key(T::KeyDown, 18, 164), Key(T::KeyDown, 13)},
         {"keydown 0"},
         true},
        {"Alt released before Enter",
         {Key(T::KeyDown, 18, 164), Key(T::KeyUp, 18, 164), Key(T::KeyDown, 13)},
         {"keydown 0", "keyup 0", "keydown 271", "char 13"},
         false},
        {"left and right are 1 and 3, middle is ignored",
         {Mouse(T::MouseDown, 5, 6, 1), Mouse(T::MouseUp, 5, 6, 1), Mouse(T::MouseDown, 5, 6, 2),
          Mouse(T::MouseUp, 5, 6, 2), Mouse(T::MouseDown, 7, 8, 3), Mouse(T::MouseDown, 7, 8, 1, 2)},
         {"down 5,6 1", "up 5,6 1", "down 7,8 3", "dbl 7,8 1"},
         false},
        {"the wheel is signed sixteen bits at the cursor", {up, down}, {"wheel 30,40 120", "wheel 30,40 65296"}, false},
        {"a leaving cursor gives one move and one leave",
         {Mouse(T::MouseMove, 100, 100), Mouse(T::MouseLeave, 100, 100), Mouse(T::MouseLeave, 100, 100)},
         {"move 100,100 0", "move 100,100 0", "leave 100,100 0"},
         false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        testinput::RecordingListener heard;
        input::InputWin32 input{&heard, nullptr};
        ActivityWindow fresh{&input, false, false, true};
        ASSERT_EQ(fresh.Create(10, 20, 1366, 768, 1366, 768, true, L"Brackenmoor"), QL_OK);
        for (const os::Event& e : c.events)
        {
            mDriver->mWindows.back()->Push(e);
            EXPECT_EQ(QL_OK, fresh.Update(0));
        }
        EXPECT_EQ(heard.mEvents, c.heard);
        EXPECT_EQ(fresh.IsSwitchRequested(), c.switches);
    }
}

TEST_F(WindowTest, ActivityChangesARaiseRequestAndCloseDestroyingOnTheNextUpdateWithoutDeletingTheWindow)
{
    // Minimise and focus report activity only on change.
    Feed(Simple(os::EventType::Minimized));
    Feed(Simple(os::EventType::FocusLost)); // still inactive: nothing new
    Feed(Simple(os::EventType::Restored));  // not minimised, but the app is inactive
    Feed(Simple(os::EventType::FocusGained));
    EXPECT_EQ(window.mJournal, (std::vector<std::string>{"deactivate", "activate"}));
    EXPECT_TRUE(window.IsActive());
    // A raise request from a second copy brings the window to the front.
    testsupport::TempDir dir;
    os::InstanceLock running, second;
    ASSERT_EQ(running.Acquire(dir.WPath("instance.lock")), os::InstanceLock::ACQUIRED);
    ASSERT_EQ(second.Acquire(dir.WPath("instance.lock")), os::InstanceLock::HELD_ELSEWHERE);
    platform->Hide();
    EXPECT_EQ(QL_OK, window.Update(0));
    EXPECT_EQ(platform->Raised(), 0);
    ASSERT_TRUE(second.RequestRaise());
    EXPECT_EQ(QL_OK, window.Update(0));
    EXPECT_EQ(platform->Raised(), 1);
    EXPECT_TRUE(platform->IsVisible());
    // Close destroys on the next update; the window leaves its parent but is not deleted.
    base::Task root(false, true, true, false);
    root.AddTask(&window);
    EXPECT_EQ(QL_OK, root.Tick(0));
    platform->Push(Simple(os::EventType::Close));
    (void)root.Tick(0); // close handled
    EXPECT_TRUE(window.IsCloseRequested());
    EXPECT_FALSE(window.IsFinished());
    (void)root.Tick(0); // destroyed and finished, then removed in the same pass
    EXPECT_TRUE(window.IsDestroyed());
    EXPECT_FALSE(platform->IsVisible());
    EXPECT_EQ(platform->Destroyed(), 0); // released with the window object
    EXPECT_TRUE(root.HasNoChildren());
    EXPECT_TRUE(root.IsStopping());
    EXPECT_TRUE(window.IsFinished()); // still a live object
}
