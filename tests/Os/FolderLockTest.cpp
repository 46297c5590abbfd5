// The lock on a user-data folder: every path to the folder meets it, its id file is written only
// when it is a plain file of this user, and a copy that locks that file alone is still met.
#include "Platform/Os/Error.h"
#include "Platform/Os/InstanceLock.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
const std::string kId = std::to_string(getpid()) + "\n";
} // namespace

TEST(FolderLock, TwoPathsToOneFolderMeetOneLockTakenAgainOnceLetGo)
{
    testsupport::TempDir dir;
    fs::create_directory(dir.Path() / "data");
    fs::create_directory_symlink("data", dir.Path() / "link");
    const std::wstring real = dir.WPath("data/"), viaLink = dir.WPath("link"), dotted = dir.WPath("link/../data");
    os::InstanceLock first, second, third;
    for (int cycle = 0; cycle < 2; ++cycle)
    {
        SCOPED_TRACE(cycle);
        os::InstanceLock& holder = cycle == 0 ? first : second;
        os::InstanceLock& other = cycle == 0 ? second : first;
        ASSERT_EQ(holder.AcquireFolder(cycle == 0 ? real : viaLink, L"instance.lock"), os::InstanceLock::ACQUIRED);
        EXPECT_EQ(holder.GetRecordFault(), "");
        EXPECT_EQ(dir.Read("data/instance.lock"), kId);
        EXPECT_EQ(other.AcquireFolder(cycle == 0 ? viaLink : real, L"instance.lock"), os::InstanceLock::HELD_ELSEWHERE);
        EXPECT_EQ(other.GetHolder(), getpid());
        EXPECT_FALSE(other.IsHeld());
        EXPECT_EQ(third.AcquireFolder(dotted, L"instance.lock"), os::InstanceLock::HELD_ELSEWHERE);
        // The file alone, as a copy of an earlier version takes it, is held too.
        EXPECT_EQ(third.Acquire(dir.WPath("link/instance.lock")), os::InstanceLock::HELD_ELSEWHERE);
        EXPECT_EQ(dir.Read("data/instance.lock"), kId) << "the refused ones wrote nothing";
        holder.Release();
        EXPECT_FALSE(holder.IsHeld());
        EXPECT_EQ(dir.Read("data/instance.lock"), "") << "no stale id left behind";
    }
    ASSERT_EQ(third.AcquireFolder(dotted, L"instance.lock"), os::InstanceLock::ACQUIRED);
    third.Release();

    // No folder to lock: FAILED with the reason, so that the caller falls back.
    EXPECT_EQ(first.AcquireFolder(dir.WPath("missing"), L"instance.lock"), os::InstanceLock::FAILED);
    EXPECT_NE(os::LastError().find("No such file"), std::string::npos) << os::LastError();
    dir.Write("file", "x");
    EXPECT_EQ(first.AcquireFolder(dir.WPath("file"), L"instance.lock"), os::InstanceLock::FAILED);
    EXPECT_FALSE(first.IsHeld());
}

// A copy that locks the id file alone (an earlier version) runs on the folder: the folder's lock is
// let go again, and the file's holder named.
TEST(FolderLock, AHolderOfTheIdFileAloneIsAnotherCopy)
{
    testsupport::TempDir dir;
    os::InstanceLock earlier, folder, after;
    ASSERT_EQ(earlier.Acquire(dir.WPath("instance.lock")), os::InstanceLock::ACQUIRED);
    EXPECT_EQ(folder.AcquireFolder(dir.WPath(), L"instance.lock"), os::InstanceLock::HELD_ELSEWHERE);
    EXPECT_EQ(folder.GetHolder(), getpid());
    EXPECT_FALSE(folder.IsHeld());
    earlier.Release();
    EXPECT_EQ(folder.AcquireFolder(dir.WPath(), L"instance.lock"), os::InstanceLock::ACQUIRED)
        << "the folder was let go with the refusal";
    EXPECT_EQ(after.AcquireFolder(dir.WPath(), L"instance.lock"), os::InstanceLock::HELD_ELSEWHERE);
}

// An id file that is a folder, a link, a fifo, a hard link or another user's file: the holder keeps
// the folder's lock and says why no id was written; the name is left as it was; a second copy
// is refused whether the stranger was there first or came while the first held the folder.
TEST(FolderLock, AnIdFileThatCannotBeWrittenLeavesTheFolderLockDeciding)
{
    const std::string kProfiles = "<Profiles/>";
    const auto plant = [&](const testsupport::TempDir& dir, const std::string& kind)
    {
        const fs::path at = dir.Path() / "instance.lock";
        fs::remove(at);
        if (kind == "folder")
            fs::create_directory(at);
        else if (kind == "link")
            fs::create_symlink("profiles.xml", at);
        else if (kind == "dangling")
            fs::create_symlink("missing", at);
        else if (kind == "fifo")
            ASSERT_EQ(0, mkfifo(at.c_str(), 0600));
        else if (kind == "hard")
            fs::create_hard_link(dir.Path() / "profiles.xml", at);
        else if (kind == "other")
        {
            dir.Write("instance.lock", "4242\n");
            ASSERT_EQ(0, chown(at.c_str(), 65534, 65534));
        }
    };
    std::vector<std::string> kinds = {"folder", "link", "dangling", "fifo", "hard"};
    if (geteuid() == 0) // only root can give a file away
        kinds.push_back("other");
    for (const std::string& kind : kinds)
    {
        for (const bool first : {true, false})
        {
            SCOPED_TRACE(kind + (first ? " there first" : " while held"));
            testsupport::TempDir dir;
            dir.Write("profiles.xml", kProfiles);
            fs::create_directory_symlink(dir.Path(), dir.Path() / "self");
            if (first)
                plant(dir, kind);
            os::InstanceLock holder, second;
            ASSERT_EQ(holder.AcquireFolder(dir.WPath(), L"instance.lock"), os::InstanceLock::ACQUIRED);
            EXPECT_EQ(holder.GetRecordFault().empty(), !first) << holder.GetRecordFault();
            if (!first)
                plant(dir, kind);
            EXPECT_EQ(second.AcquireFolder(dir.WPath("self"), L"instance.lock"), os::InstanceLock::HELD_ELSEWHERE);
            EXPECT_EQ(second.GetHolder(), kind == "other" ? 4242 : 0) << "an id only from a plain file";
            EXPECT_FALSE(second.RequestRaise());
            holder.Release();
            EXPECT_EQ(dir.Read("profiles.xml"), kProfiles);
            EXPECT_FALSE(fs::exists(dir.Path() / "missing")) << "a dangling link made its target";
            EXPECT_EQ(fs::symlink_status(dir.Path() / "instance.lock").type(),
                      kind == "folder"                       ? fs::file_type::directory
                      : kind == "link" || kind == "dangling" ? fs::file_type::symlink
                      : kind == "fifo"                       ? fs::file_type::fifo
                                                             : fs::file_type::regular);
            if (kind == "other")
            {
                EXPECT_EQ(dir.Read("instance.lock"), "4242\n");
            }
            // Once let go, the folder is taken again.
            EXPECT_EQ(second.AcquireFolder(dir.WPath("self"), L"instance.lock"), os::InstanceLock::ACQUIRED);
        }
    }
}
