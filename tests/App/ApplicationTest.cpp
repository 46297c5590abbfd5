// The application frame: command-line options, start-up folders, the log file, the start-up outcome and
// the error shown at exit.
#include "Core/App/Application.h"
#include "Core/App/CommandLine.h"
#include "Core/Base/Log.h"
#include "Core/Base/Singletone.h"
#include "support/TempDir.h"

#include "../Os/ScopedEnv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace
{
using testos::ScopedEnv;

// An application whose start-up is scripted and whose main loop only counts that it ran.
class ScriptedApp : public app::ApplicationWin32
{
public:
    QLResultEnum Start() override
    {
        ++mStarts;
        if (mStopDuringStart)
            Stop();
        if (mExitCodeDuringStart)
            SetExitCode(mExitCodeDuringStart);
        return mStartResult;
    }
    void Run() override { ++mRuns; }

    QLResultEnum mStartResult = QL_OK;
    bool mStopDuringStart = false;
    int mExitCodeDuringStart = 0;
    int mStarts = 0;
    int mRuns = 0;
};

class ApplicationTest : public ::testing::Test
{
protected:
    void TearDown() override { base::SingletoneBase::DestroyAll(); }
};
} // namespace

TEST_F(ApplicationTest, InitFindsTheExecutableFolderAndTheNormalisedPerUserFolderOrFailsWithoutOne)
{
    ScopedEnv xdg("XDG_DATA_HOME", "/tmp/ql-xdg/data");
    ScopedEnv home("HOME", "/home/someone");
    ScriptedApp application;
    ASSERT_EQ(application.Init(), QL_OK);
    EXPECT_EQ(application.GetPerUserFolder(), L"/tmp/ql-xdg/data/");
    char exe[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    const std::filesystem::path folder = std::filesystem::path(exe).parent_path();
    EXPECT_EQ(application.GetModuleFolder(), folder.wstring() + L"/");
    // The per-user folder falls back to the home folder, and fails without either.
    {
        ScopedEnv empty("XDG_DATA_HOME", ""); // empty counts as unset, never the root
        ScriptedApp fallback;
        ASSERT_EQ(fallback.Init(), QL_OK);
        EXPECT_EQ(fallback.GetPerUserFolder(), L"/home/someone/.local/share/");
    }
    ScopedEnv noXdg("XDG_DATA_HOME", nullptr);
    ScopedEnv noHome("HOME", nullptr);
    ScopedEnv noBox("QL_NO_MESSAGE_BOX", "1");
    ScriptedApp homeless;
    testing::internal::CaptureStderr();
    EXPECT_EQ(homeless.Init(), QL_FAIL);
    // No log file exists yet: the reason must still reach the player.
    EXPECT_NE(testing::internal::GetCapturedStderr().find("No per-user folder"), std::string::npos);
    EXPECT_TRUE(homeless.GetPerUserFolder().empty());
}

TEST_F(ApplicationTest, TheLogFileReceivesRecordsTheStartUpDecidesTheLoopAndExitCodeAndShaderErrorsShowAtExit)
{
    testsupport::TempDir dir;
    {
        ScriptedApp application;
        ASSERT_EQ(application.InitLogFile(dir.WPath() + L"/"), QL_OK);
        EXPECT_EQ(application.GetLogFolder(), dir.WPath() + L"/");
        QL_LOG(L"Probe record %d\n") << 42;
        const std::string text = dir.Read("log.html");
        EXPECT_NE(text.find("Probe record 42"), std::string::npos);
        // The record naming the log itself goes only to the sinks that existed before the file.
        EXPECT_EQ(text.find("Html log file"), std::string::npos);
    }
    const struct
    {
        const char* what;
        QLResultEnum result;
        bool stops;
        int ownCode, runs, exitCode;
    } cases[] = {
        {"a start that works runs the loop once", QL_OK, false, 0, 1, 0},
        {"a second copy stops: nothing wrong, nothing to do", QL_OK, true, 0, 0, 0},
        {"fails and stops itself, as a missing play.url does", QL_FAIL, true, 0, 0, 1},
        {"fails without stopping: logged and stopped, not a blank window", QL_FAIL, false, 0, 0, 1},
        {"a start that chose its own code keeps it", QL_FAIL, false, 3, 0, 3},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ScriptedApp application;
        EXPECT_EQ(QL_OK, application.InitLogFile(dir.WPath() + L"/"));
        application.mStartResult = c.result;
        application.mStopDuringStart = c.stops;
        application.mExitCodeDuringStart = c.ownCode;
        application.Main();
        EXPECT_EQ(application.mStarts, 1);
        EXPECT_EQ(application.mRuns, c.runs);
        EXPECT_EQ(application.GetExitCode(), c.exitCode);
        EXPECT_TRUE(application.IsStarted() || c.result != QL_OK) << "the loop's first tick must not start it again";
        EXPECT_TRUE(c.runs == 1 || application.IsStopping());
    }
    EXPECT_NE(dir.Read("log.html").find("Start-up failed"), std::string::npos);

    // A shader error is shown when the application goes.
    ScopedEnv noBox("QL_NO_MESSAGE_BOX", "1");
    testing::internal::CaptureStderr();
    {
        ScriptedApp quiet;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    testing::internal::CaptureStderr();
    {
        ScriptedApp application;
        application.SetShaderError();
    }
    const std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_EQ(shown.rfind("Error: Failed to init DirectX 9 render", 0), 0u) << shown;
}

using app::CommandLine;

TEST(CommandLine, RecognisesEachOptionAndTheDataFoldersPacksOnlyAsTheWholeList)
{
    struct Case
    {
        std::vector<std::wstring> args;
        CommandLine::Mode mode;
        std::wstring value;
        std::wstring dataPath = L"";
    };
    const Case cases[] = {
        {{}, CommandLine::DEFAULT, L""},
        {{L"--data_path", L"build/data/"}, CommandLine::DATA_PATH, L"build/data/", L"build/data/"},
        {{L"--pack", L"td"}, CommandLine::PACK, L"td"},
        {{L"--data_path"}, CommandLine::MALFORMED, L""},
        {{L"--data_path", L"a", L"b"}, CommandLine::MALFORMED, L""},
        {{L"--pack"}, CommandLine::MALFORMED, L""},
        {{L"--pack", L"a", L"b"}, CommandLine::MALFORMED, L""},
        {{L"--pack", L"a", L"--data_path", L"b"}, CommandLine::MALFORMED, L""},
        {{L"--data_path", L"d/", L"--pack", L"td"}, CommandLine::PACK, L"td", L"d/"}, // the packs of that folder
        {{L"--data_path", L"d/", L"--pack"}, CommandLine::MALFORMED, L""},
        {{L"--data_path", L"d/", L"--pack", L"td", L"x"}, CommandLine::MALFORMED, L""},
        {{L"--data_path", L"d/", L"--data_path", L"e/"}, CommandLine::MALFORMED, L""},
        {{L"--fullscreen"}, CommandLine::DEFAULT, L""},            // anything else leaves the defaults
        {{L"x", L"--data_path", L"b"}, CommandLine::DEFAULT, L""}, // only as the first argument
        {{L"--DATA_PATH", L"b"}, CommandLine::DEFAULT, L""},       // case matters
    };
    for (const Case& c : cases)
    {
        const CommandLine line = CommandLine::Parse(c.args);
        EXPECT_EQ(line.mode, c.mode) << c.args.size();
        EXPECT_EQ(line.value, c.value);
        EXPECT_EQ(line.dataPath, c.dataPath);
        EXPECT_EQ(line.error.empty(), c.mode != CommandLine::MALFORMED);
    }
}

TEST(CommandLine, ArgumentsAreDecodedFromUtf8WithoutTheProgramName)
{
    char prog[] = "brackenmoor";
    char a[] = "--data_path";
    char b[] = "/tmp/D\xC3\xA4ta";
    char* argv[] = {prog, a, b, nullptr};
    const auto args = app::ArgumentsFromMain(3, argv);
    ASSERT_EQ(args.size(), 2u);
    EXPECT_EQ(args[1], L"/tmp/D\u00e4ta");
}
