// The log file's end: closed on its own before the log goes, stopped by a failed write, and never
// opened through a link.
#include "Core/Base/Log.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{
#define TEST_LOG(log, format) base::LogMessage(log, format, __FILE__, "stamp", __func__, __LINE__)

class PlainLines : public base::LogOutput
{
public:
    explicit PlainLines(std::shared_ptr<std::vector<std::wstring>> lines) : mLines(std::move(lines)) {}
    void Write(const std::wstring& text) override { mLines->push_back(text); }

private:
    std::shared_ptr<std::vector<std::wstring>> mLines;
};
} // namespace

TEST(LogFile, ClosingTheHtmlOutputsEndsThePageAndLaterMessagesReachOnlyThePlainOnes)
{
    testsupport::TempDir dir;
    auto plain = std::make_shared<std::vector<std::wstring>>();
    base::Log log;
    log.AddPlainOutput(new PlainLines(plain));
    for (int cycle = 0; cycle < 2; ++cycle)
    {
        log.AddHtmlOutput(new base::LogUtf8File(dir.WPath("log.html")));
        TEST_LOG(log, L"run %d\n") << cycle;
        log.CloseHtmlOutputs();
        EXPECT_TRUE(log.HtmlOutputs().empty());
        const std::string page = dir.Read("log.html");
        EXPECT_NE(page.find("run " + std::to_string(cycle)), std::string::npos) << page;
        EXPECT_EQ(page.substr(page.size() - 14), "</body></html>");
        TEST_LOG(log, L"after the page %d\n") << cycle;
        EXPECT_EQ(dir.Read("log.html"), page) << "nothing after the page's end";
        EXPECT_EQ(plain->back(), L"after the page " + std::to_wstring(cycle) + L"\n");
    }
}

TEST(LogFile, ALinkAsTheLogIsNotFollowedAndItsTargetKept)
{
    testsupport::TempDir dir;
    dir.Write("profiles.xml", "<Profiles/>");
    fs::create_symlink("profiles.xml", dir.Path() / "log.html");
    base::Log log;
    auto* file = new base::LogUtf8File(dir.WPath("log.html"));
    EXPECT_FALSE(file->IsOpen());
    log.AddHtmlOutput(file);
    TEST_LOG(log, L"lost\n");
    log.CloseHtmlOutputs();
    EXPECT_EQ(dir.Read("profiles.xml"), "<Profiles/>");
}

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
