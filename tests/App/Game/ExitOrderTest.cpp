// The game's end, in order: the save at exit, then the log's end, then the single-instance lock.
#include "Core/Base/Log.h"
#include "Core/Base/Singletone.h"
#include "Platform/Os/InstanceLock.h"
#include "support/GameHarness.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace
{
// What another copy starting at the moment the log's page is ended would find.
struct AtPageEnd
{
    bool seen = false;
    os::InstanceLock::Result lock = os::InstanceLock::FAILED;
    std::string log;
};

// An HTML output of the main log, after the file: when the page ends it tries the lock as
// another copy would, and reads the log as it stands.
class PageEndProbe : public base::LogOutput
{
public:
    PageEndProbe(fs::path folder, std::shared_ptr<AtPageEnd> out) : mFolder(std::move(folder)), mOut(std::move(out)) {}
    void Write(const std::wstring& text) override
    {
        if (text != L"</body></html>")
            return;
        os::InstanceLock other;
        mOut->seen = true;
        mOut->lock = other.Acquire((mFolder / "instance.lock").wstring());
        mOut->log = testsupport::ReadBytes(mFolder / "log.html");
    }

private:
    fs::path mFolder;
    std::shared_ptr<AtPageEnd> mOut;
};
} // namespace

TEST(ExitOrder, TheLogEndsWhileTheLockIsStillHeldAndNothingIsWrittenToItAfter)
{
    for (int cycle = 0; cycle < 2; ++cycle)
    {
        SCOPED_TRACE(cycle);
        testsupport::GameHarness harness;
        ASSERT_TRUE(harness.started()) << harness.log();
        ASSERT_TRUE(harness.run(2));
        auto seen = std::make_shared<AtPageEnd>();
        base::MainLog::Instance()->AddHtmlOutput(new PageEndProbe(harness.userDir(), seen));
        base::SingletoneBase::DestroyAll();
        ASSERT_TRUE(seen->seen);
        EXPECT_EQ(seen->lock, os::InstanceLock::HELD_ELSEWHERE) << "the lock went before the log ended";
        EXPECT_EQ(seen->log.substr(seen->log.size() - 14), "</body></html>");
        EXPECT_EQ(harness.log(), seen->log) << "written after its end";
        os::InstanceLock after;
        EXPECT_EQ(after.Acquire((harness.userDir() / "instance.lock").wstring()), os::InstanceLock::ACQUIRED);
    }
}
