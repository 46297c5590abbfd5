// The log file stopped by a write that fails: the messages after it go nowhere, the program goes on.
#include "Core/Base/Log.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#define TEST_LOG(log, format) base::LogMessage(log, format, __FILE__, "stamp", __func__, __LINE__)

// In a child process, since the limit holds for the whole process: the write that passes it
// closes the file, the messages after it go nowhere, and the process goes on.
TEST(LogFile, AWriteThatFailsForAFileSizeLimitStopsTheFileAndNotTheProcess)
{
    testsupport::TempDir dir;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        std::signal(SIGXFSZ, SIG_IGN); // as the game does at start
        base::Log log;
        auto* file = new base::LogUtf8File(dir.WPath("log.html"));
        log.AddHtmlOutput(file);
        const rlimit limit = {1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool openBefore = file->IsOpen();
        TEST_LOG(log, L"%s\n") << std::wstring(600, L'x');
        const bool openAfter = file->IsOpen();
        TEST_LOG(log, L"more\n");
        log.CloseHtmlOutputs();
        _exit(openBefore && !openAfter ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::string page = dir.Read("log.html");
    EXPECT_EQ(page.size(), 1000u);
    EXPECT_EQ(page.rfind("<html><head>", 0), 0u);
    EXPECT_EQ(page.find("more"), std::string::npos);
}
