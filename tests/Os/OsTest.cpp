// The platform layer: the instance lock, folders, dialogs, text, video drivers and the frame limiter.
#include "Platform/Os/Dialogs.h"
#include "Platform/Os/Error.h"
#include "Platform/Os/Folders.h"
#include "Platform/Os/FrameLimiter.h"
#include "Platform/Os/InstanceLock.h"
#include "Platform/Os/NullVideo.h"
#include "Platform/Os/QuitSignals.h"
#include "Platform/Os/SdlVideo.h"
#include "Platform/Os/Text.h"
#include "support/CiSkip.h"
#include "support/TempDir.h"

#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <tuple>
#include <unistd.h>

namespace
{
using testos::ScopedEnv;

os::Event Of(os::EventType type)
{
    os::Event e;
    e.type = type;
    return e;
}
} // namespace

TEST(Folders, ExecutablePathIsThisTestProgramInUtf8AndTheFrameLimiterKeepsItsSchedule)
{
    std::wstring path;
    ASSERT_TRUE(os::ExecutablePath(path));
    EXPECT_TRUE(std::filesystem::exists(os::ToUtf8(path)));
    EXPECT_NE(path.find(L"os_tests"), std::wstring::npos);
    EXPECT_EQ(os::ToUtf8(L"Br\u00e4ck \U0001F600"), "Br\xC3\xA4"
                                                    "ck \xF0\x9F\x98\x80");
    EXPECT_EQ(os::FromUtf8("Br\xC3\xA4"
                           "ck"),
              L"Br\u00e4ck");
    EXPECT_EQ(os::FromUtf8("a\xFF"
                           "b"),
              L"a\uFFFDb");

    using ms = std::chrono::milliseconds;
    const os::FrameLimiter::Clock::time_point t0{};
    os::FrameLimiter limiter;
    EXPECT_EQ(limiter.Wait(t0), ms(0)) << "unpaced until a rate is set";
    limiter.SetRate(100.0);
    EXPECT_EQ(limiter.Wait(t0), ms(10));
    EXPECT_EQ(limiter.Wait(t0 + ms(13)), ms(7)) << "the schedule does not drift with the frame's own time";
    EXPECT_EQ(limiter.Wait(t0 + ms(34)), ms(0)) << "a little late: no sleep, the schedule stays";
    EXPECT_EQ(limiter.Wait(t0 + ms(35)), ms(5)) << "and catches up";
    EXPECT_EQ(limiter.Wait(t0 + ms(90)), ms(0)) << "a long frame";
    EXPECT_EQ(limiter.Wait(t0 + ms(91)), ms(9)) << "no burst of unpaced frames after it";
    limiter.SetRate(0.0);
    EXPECT_EQ(limiter.Wait(t0 + ms(92)), ms(0));
}

TEST(Dialogs, ShellOpenIsRefusedUnderTestsAndCiAndMessagesWithoutADisplayGoToStderr)
{
    // CI or QL_NO_SHELL_OPEN set refuses it; empty values count as unset.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {nullptr, "1", false}, {"true", nullptr, false}, {"", "", true}};
    for (const auto& [ciValue, noValue, allowed] : cases)
    {
        ScopedEnv ci("CI", ciValue);
        ScopedEnv no("QL_NO_SHELL_OPEN", noValue);
        EXPECT_EQ(allowed, os::ShellOpenAllowed()) << (ciValue ? ciValue : "unset");
        if (!allowed)
        {
            EXPECT_FALSE(os::ShellOpen(L"/nonexistent/play.url"));
        }
    }

    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(os::ShowErrorBox(L"Error", L"File play.url not found!"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: File play.url not found!\n");
}

TEST(NullVideo, WindowRecordsItsModeAndDeliversQueuedEventsInOrder)
{
    os::NullVideoDriver driver;
    std::vector<os::Display> displays;
    ASSERT_TRUE(driver.EnumDisplays(displays));
    ASSERT_EQ(displays.size(), 1u);
    EXPECT_TRUE(displays[0].primary);
    auto window = driver.CreateWindow();
    auto* fake = static_cast<os::NullWindow*>(window.get());
    os::Event e;
    fake->Push(Of(os::EventType::Close));
    EXPECT_FALSE(window->PollEvent(e)); // nothing is delivered before the window exists
    ASSERT_EQ(window->Create({5, 6, 1366, 768, true, L"c"}), QL_OK);
    fake->Push(Of(os::EventType::FocusLost));
    ASSERT_TRUE(window->PollEvent(e));
    EXPECT_EQ(e.type, os::EventType::Close);
    ASSERT_TRUE(window->PollEvent(e));
    EXPECT_EQ(e.type, os::EventType::FocusLost);
    EXPECT_FALSE(window->PollEvent(e));
    EXPECT_EQ(QL_OK, window->SetFullscreen(1920, 1080));
    int w = 0, h = 0;
    window->GetClientSize(w, h);
    EXPECT_EQ(w, 1920);
    EXPECT_FALSE(fake->Desc().windowed);
}

TEST(NullVideo, AQuitSignalClosesTheWindowOnceEvenSentTwiceAndAHangUpToo)
{
    os::NullVideoDriver driver;
    auto window = driver.CreateWindow();
    os::CatchQuitSignals();
    ASSERT_EQ(0, std::raise(SIGTERM)) << "noted, not fatal";
    os::Event e;
    EXPECT_FALSE(window->PollEvent(e)) << "nothing before the window exists";
    ASSERT_EQ(window->Create({0, 0, 1366, 768, true, L"c"}), QL_OK);
    ASSERT_TRUE(window->PollEvent(e));
    EXPECT_EQ(e.type, os::EventType::Close);
    EXPECT_FALSE(window->PollEvent(e)) << "one close per signal";
    ASSERT_EQ(0, std::raise(SIGINT)) << "caught again once taken";
    ASSERT_EQ(0, std::raise(SIGINT)) << "a repeat not yet taken is the same request";
    ASSERT_TRUE(window->PollEvent(e));
    EXPECT_EQ(e.type, os::EventType::Close);
    EXPECT_FALSE(window->PollEvent(e));
    // A hang-up closes the window too, and may come twice (shell and terminal) without harm;
    // under nohup (ignored when the process started) it stays ignored.
    struct sigaction hangUp = {};
    sigaction(SIGHUP, nullptr, &hangUp);
    const bool nohup = hangUp.sa_handler == SIG_IGN;
    ASSERT_EQ(0, std::raise(SIGHUP));
    ASSERT_EQ(0, std::raise(SIGHUP)) << "a second hang-up is not fatal";
    EXPECT_EQ(window->PollEvent(e), !nohup);
    EXPECT_TRUE(nohup || e.type == os::EventType::Close);
    EXPECT_FALSE(window->PollEvent(e));
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (!nohup)
        std::signal(SIGHUP, SIG_DFL);

    // A driver without OpenGL 3.3 refuses the window and says what it offers.
    driver.mOfferedGl = "3.0 Mesa";
    auto old = driver.CreateWindow();
    EXPECT_EQ(old->Create({0, 0, 1366, 768, true, L"c"}), QL_FAIL);
    EXPECT_EQ("this game needs OpenGL 3.3, and the graphics driver offers OpenGL 3.0 Mesa", os::LastError());
    EXPECT_NE(std::string::npos, os::NeedsOpenGl33("").find("no version"));
}

TEST(SdlVideo, WindowWithoutAnyDisplayFailsWithAReason)
{
    ScopedEnv driverName("SDL_VIDEODRIVER", "dummy");
    os::SdlVideoDriver driver;
    if (!driver.IsReady())
        QL_SKIP_OR_FAIL_IN_CI("SDL's dummy video driver is not available");
    auto window = driver.CreateWindow();
    // The dummy driver has no OpenGL: creation must fail cleanly, not crash.
    EXPECT_EQ(window->Create({0, 0, 640, 480, true, L"test"}), QL_FAIL);
    EXPECT_FALSE(window->IsCreated());
    os::Event e;
    EXPECT_FALSE(window->PollEvent(e));
}

TEST(SdlVideo, InvisibleFallbackDriversAreRefusedUnlessAskedFor)
{
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv driverName("SDL_VIDEODRIVER", nullptr);
    os::SdlVideoDriver driver;
    if (driver.IsReady())
        GTEST_SKIP() << "a real display device (such as KMSDRM) answered without X or Wayland";
    std::vector<os::Display> displays;
    EXPECT_FALSE(driver.EnumDisplays(displays));
    auto window = driver.CreateWindow();
    EXPECT_EQ(window->Create({0, 0, 640, 480, true, L"test"}), QL_FAIL);
    EXPECT_FALSE(window->IsCreated());
}

TEST(InstanceLock, HolderWritesItsIdAndCanBeAskedToRaiseItsWindowButAStaleIdNever)
{
    testsupport::TempDir dir;
    const std::wstring path = dir.WPath("instance.lock");
    os::InstanceLock first, second;
    ASSERT_EQ(first.Acquire(path), os::InstanceLock::ACQUIRED);
    EXPECT_EQ(dir.Read("instance.lock"), std::to_string(getpid()) + "\n");
    ASSERT_EQ(second.Acquire(path), os::InstanceLock::HELD_ELSEWHERE);
    EXPECT_EQ(second.GetHolder(), getpid());
    os::TakeRaiseRequest();
    EXPECT_TRUE(second.RequestRaise());
    EXPECT_TRUE(os::TakeRaiseRequest());
    EXPECT_FALSE(os::TakeRaiseRequest()); // once per request
    EXPECT_FALSE(second.IsHeld());
    first.Release();
    EXPECT_EQ(dir.Read("instance.lock"), ""); // no stale id left behind
    EXPECT_EQ(second.Acquire(path), os::InstanceLock::ACQUIRED);
    os::InstanceLock third;
    EXPECT_EQ(third.Acquire(L"/nonexistent-folder/x/instance.lock"), os::InstanceLock::FAILED);

    // A stale id of another program is never signalled.
    dir.Write("instance.lock", "1\n"); // init: not this program
    os::InstanceLock fourth;
    ASSERT_EQ(fourth.Acquire(path), os::InstanceLock::HELD_ELSEWHERE);
    EXPECT_EQ(fourth.GetHolder(), 1);
    EXPECT_FALSE(fourth.RequestRaise());
}

// File names are the system's bytes: what is not UTF-8 survives the trip through a wide string
// and back, and opens the same file.
TEST(SystemPath, BytesThatAreNotUtf8SurviveTheWideStringAndNameTheSameFile)
{
    const std::string latin1 = "/tmp/Donn\xE9"
                               "es/caf\xE9";
    const std::wstring wide = os::FromSystemPath(latin1);
    EXPECT_EQ(wide, L"/tmp/Donn\xDCE9"
                    L"es/caf\xDCE9");
    EXPECT_EQ(os::SystemPath(wide), latin1);
    EXPECT_EQ(os::ToUtf8(wide), "/tmp/Donn\xEF\xBF\xBD"
                                "es/caf\xEF\xBF\xBD")
        << "shown as text: replacement characters";
    // Valid UTF-8 decodes as always; each byte of a bad sequence stands for itself: a cut
    // sequence, an overlong form, an encoded surrogate, a value past U+10FFFF, a stray trail.
    EXPECT_EQ(os::FromSystemPath("Br\xC3\xA4"
                                 "ck \xF0\x9F\x98\x80"),
              L"Br\u00e4ck \U0001F600");
    for (const std::string bytes : {"a\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80x\xBF", "\xFF\xFE"})
    {
        const std::wstring decoded = os::FromSystemPath(bytes);
        EXPECT_EQ(os::SystemPath(decoded), bytes);
        for (wchar_t c : decoded)
            EXPECT_TRUE(c < 0x80 || os::IsEscapedByte(c)) << std::hex << static_cast<unsigned>(c);
    }
    std::string every;
    for (int b = 1; b < 256; ++b)
        every.push_back(static_cast<char>(b));
    EXPECT_EQ(os::SystemPath(os::FromSystemPath(every)), every);
    // Characters no file name can hold as UTF-8 become U+FFFD; an escaped byte's neighbour stays text.
    EXPECT_EQ(os::SystemPath(std::wstring(L"a") + static_cast<wchar_t>(0xD800) + L"b"), "a\xEF\xBF\xBD"
                                                                                        "b");
    EXPECT_EQ(os::SystemPath(std::wstring(1, static_cast<wchar_t>(0xDC7F))), "\xEF\xBF\xBD");

    // The same file, through the lock that opens it by name.
    testsupport::TempDir dir;
    const std::string folder = dir.Path().string() + "/caf\xE9";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    os::InstanceLock lock;
    ASSERT_EQ(lock.Acquire(os::FromSystemPath(folder) + L"/instance.lock"), os::InstanceLock::ACQUIRED);
    EXPECT_TRUE(std::filesystem::exists(folder + "/instance.lock"));
}

// Without a user-data folder the lock goes to the runtime folder, else to the temporary one with
// the user's id; there, a link or another user's file is refused.
TEST(InstanceLock, SharedLockPathPrefersTheRuntimeFolderAndRefusesALinkInTheTemporaryOne)
{
    testsupport::TempDir runtime, temp;
    bool shared = true;
    {
        ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.Path().c_str());
        EXPECT_EQ(os::SharedLockPath(L"Game-1", shared), runtime.WPath("Game-1.lock"));
        EXPECT_FALSE(shared);
    }
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", (runtime.Path() / "missing").c_str());
    ScopedEnv tmp("TMPDIR", temp.Path().c_str());
    const std::wstring path = os::SharedLockPath(L"Game-1", shared);
    EXPECT_TRUE(shared);
    EXPECT_EQ(path, temp.WPath("Game-1-" + std::to_string(getuid()) + ".lock"));
    {
        ScopedEnv relative("TMPDIR", "tmp");
        EXPECT_EQ(os::SharedLockPath(L"Game-1", shared), L"/tmp/Game-1-" + std::to_wstring(getuid()) + L".lock");
    }

    os::InstanceLock first, second;
    ASSERT_EQ(first.Acquire(path, true), os::InstanceLock::ACQUIRED);
    EXPECT_EQ(second.Acquire(path, true), os::InstanceLock::HELD_ELSEWHERE);
    first.Release();
    std::filesystem::remove(os::SystemPath(path));
    std::filesystem::create_symlink(temp.Path() / "elsewhere", os::SystemPath(path));
    EXPECT_EQ(first.Acquire(path, true), os::InstanceLock::FAILED);
    EXPECT_FALSE(std::filesystem::exists(temp.Path() / "elsewhere")) << "nothing made through the link";
    EXPECT_EQ(first.Acquire(path), os::InstanceLock::FAILED) << "nor in the user's own folder";
    EXPECT_FALSE(std::filesystem::exists(temp.Path() / "elsewhere"));
}
