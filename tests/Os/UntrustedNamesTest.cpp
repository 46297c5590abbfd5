// Names in the user's folders that point elsewhere: the instance lock and a freshly emptied file
// open only a plain file of this user with no other name, and leave anything else as it is; a
// write past the file-size limit fails instead of ending the process.
#include "Platform/Os/InstanceLock.h"
#include "Platform/Os/OpenFile.h"
#include "Platform/Os/Text.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
const std::string kProfiles = "<Profiles currentProfile=\"Ann\"><Profile name=\"Ann\"/></Profiles>";

// Beside a player's profiles: a link to them, a dangling link, a fifo, a folder and a hard link
// to them, each under the name given.
void PlantStrangers(const testsupport::TempDir& dir, const std::string& suffix)
{
    dir.Write("profiles.xml", kProfiles);
    fs::create_symlink("profiles.xml", dir.Path() / ("link" + suffix));
    fs::create_symlink("missing", dir.Path() / ("dangling" + suffix));
    ASSERT_EQ(0, mkfifo((dir.Path() / ("fifo" + suffix)).c_str(), 0600));
    fs::create_directory(dir.Path() / ("folder" + suffix));
    fs::create_hard_link(dir.Path() / "profiles.xml", dir.Path() / ("hard" + suffix));
}

const char* const kStrangers[] = {"link", "dangling", "fifo", "folder", "hard"};
} // namespace

TEST(InstanceLock, ALinkAFifoAFolderAHardLinkOrAnotherUsersFileIsRefusedAndLeftAsItIs)
{
    testsupport::TempDir dir;
    PlantStrangers(dir, ".lock");
    for (const std::string name : kStrangers)
    {
        for (const bool outside : {false, true})
        {
            os::InstanceLock lock;
            EXPECT_EQ(lock.Acquire(dir.WPath(name + ".lock"), outside), os::InstanceLock::FAILED) << name;
            EXPECT_FALSE(lock.IsHeld()) << name;
        }
    }
    EXPECT_EQ(dir.Read("profiles.xml"), kProfiles);
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.lock"));
    EXPECT_FALSE(fs::exists(dir.Path() / "missing")) << "a dangling link made its target";

    // Another user's file: only root can make one here.
    if (geteuid() == 0)
    {
        const fs::path other = dir.Write("other.lock", "4242\n");
        ASSERT_EQ(0, chown(other.c_str(), 65534, 65534));
        os::InstanceLock lock;
        EXPECT_EQ(lock.Acquire(dir.WPath("other.lock")), os::InstanceLock::FAILED);
        EXPECT_EQ(dir.Read("other.lock"), "4242\n");
    }

    // This user's own plain file is taken, its stale id replaced only once held; twice over.
    dir.Write("own.lock", "a stale id of a crashed run, longer than any id\n");
    for (int cycle = 0; cycle < 2; ++cycle)
    {
        os::InstanceLock lock, second;
        ASSERT_EQ(lock.Acquire(dir.WPath("own.lock")), os::InstanceLock::ACQUIRED) << cycle;
        EXPECT_EQ(dir.Read("own.lock"), std::to_string(getpid()) + "\n");
        EXPECT_EQ(second.Acquire(dir.WPath("own.lock")), os::InstanceLock::HELD_ELSEWHERE);
        EXPECT_EQ(dir.Read("own.lock"), std::to_string(getpid()) + "\n") << "the refused one wrote nothing";
        lock.Release();
        EXPECT_EQ(dir.Read("own.lock"), "");
    }
}

TEST(OpenFreshFile, RefusesWhatIsNoPlainFileOfOneNameAndEmptiesAndAppendsToOneThatIs)
{
    testsupport::TempDir dir;
    PlantStrangers(dir, ".html");
    const int expected[] = {ELOOP, ELOOP, ENXIO, EISDIR, EMLINK}; // a fifo without a reader: ENXIO
    for (size_t i = 0; i < std::size(kStrangers); ++i)
    {
        errno = 0;
        EXPECT_EQ(os::OpenFreshFile((dir.Path() / (std::string(kStrangers[i]) + ".html")).string()), -1)
            << kStrangers[i];
        EXPECT_EQ(errno, expected[i]) << kStrangers[i];
    }
    EXPECT_EQ(dir.Read("profiles.xml"), kProfiles);
    EXPECT_FALSE(fs::exists(dir.Path() / "missing"));

    // A log of an earlier run is emptied; a copy still writing to it after a new one has emptied
    // it again adds its bytes at the end instead of at its old place past a hole of zero bytes.
    dir.Write("log.html", "an earlier run's log");
    const std::string path = (dir.Path() / "log.html").string();
    const int first = os::OpenFreshFile(path);
    ASSERT_GE(first, 0);
    EXPECT_EQ(dir.Read("log.html"), "");
    size_t done = 0;
    ASSERT_TRUE(os::WriteFile(first, "the first copy's lines\n", 23, done));
    const int second = os::OpenFreshFile(path);
    ASSERT_GE(second, 0);
    ASSERT_TRUE(os::WriteFile(second, "new\n", 4, done));
    ASSERT_TRUE(os::WriteFile(first, "late\n", 5, done));
    EXPECT_EQ(dir.Read("log.html"), "new\nlate\n");
    os::CloseFile(first);
    os::CloseFile(second);
}

// In a child process: the limit holds for the whole process.
TEST(FileSizeLimit, AWritePastItFailsWithItsReasonInsteadOfEndingTheProcess)
{
    testsupport::TempDir dir;
    const std::string path = (dir.Path() / "big").string();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        os::ReportFileSizeLimitAsError();
        const rlimit limit = {100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        const int fd = os::OpenFreshFile(path);
        const std::string bytes(250, 'x');
        size_t done = 0;
        const bool written = os::WriteFile(fd, bytes.data(), bytes.size(), done);
        // 0: failed with EFBIG after the 100 bytes that fit.
        _exit(fd >= 0 && !written && errno == EFBIG && done == 100 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(fs::file_size(path), 100u);
}
