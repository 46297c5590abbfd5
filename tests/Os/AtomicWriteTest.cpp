// Atomic writes and copies beside whatever stands at the temporary name: a link, a FIFO, a folder,
// another user's or a hard-linked file is never followed, truncated, waited on or written, and
// the file is afterwards always the whole old or the whole new one, a plain file.
#include "Platform/Os/Files.h"
#include "support/FifoWatchdog.h"
#include "support/FileSizeLimit.h"
#include "support/Leftovers.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using testsupport::Leftover;

namespace
{
// Documents large enough that a file-size limit can cut one in the middle.
std::string Document(const std::string& name, size_t padding)
{
    return "<Profiles currentProfile=\"" + name + "\"><Profile name=\"" + name + "\" notes=\"" +
           std::string(padding, 'n') + "\"/></Profiles>";
}

bool IsPlainFile(const fs::path& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// What the folder should hold: the file, and the leftover while it stands.
std::vector<std::string> Expected(const testsupport::PlantedLeftover& leftover)
{
    std::vector<std::string> names = {"profiles.xml"};
    struct stat info;
    if (lstat(leftover.At().c_str(), &info) == 0)
        names.push_back("profiles.xml.tmp");
    return names;
}
} // namespace

TEST(WriteAtomically, ALeftoverAtTheTemporaryNameIsSteppedAroundAndTheFileIsWholeOldOrNew)
{
    const std::string oldDocument = Document("old", 3000), first = Document("first", 5000),
                      second = Document("second", 4000);
    for (const Leftover kind : testsupport::AllLeftovers())
    {
        SCOPED_TRACE(testsupport::NameOf(kind));
        testsupport::TempDir dir, outside;
        const fs::path file = dir.Write("profiles.xml", oldDocument);
        testsupport::PlantedLeftover leftover(kind, dir.Path() / "profiles.xml.tmp", file, outside.Path());
        if (!leftover.Planted())
            continue; // another user's file, without root
        const std::string path = file.string();

        // A write that fails part way (the limit cuts it): the old file stays whole.
        {
            testsupport::FifoWatchdog watchdog(leftover.At().string());
            bool created = false;
            errno = 0;
            bool written;
            {
                testsupport::FileSizeLimit limit(1000);
                written = os::WriteAtomically(path, first, created);
            }
            const int error = errno;
            EXPECT_TRUE(watchdog.Done()) << "waited on the FIFO";
            EXPECT_FALSE(written);
            EXPECT_EQ(error, EFBIG);
            EXPECT_TRUE(created) << "the temporary file was made";
        }
        EXPECT_TRUE(IsPlainFile(file));
        EXPECT_EQ(dir.Read("profiles.xml"), oldDocument);
        EXPECT_EQ(leftover.Changed(), "");
        EXPECT_EQ(testsupport::NamesIn(dir.Path()), Expected(leftover)) << "only what the write made is removed";

        // Writes that succeed, twice: the leftover still stands for the second.
        for (const std::string* document : {&first, &second})
        {
            testsupport::FifoWatchdog watchdog(leftover.At().string());
            bool created = false;
            EXPECT_TRUE(os::WriteAtomically(path, *document, created));
            EXPECT_TRUE(watchdog.Done()) << "waited on the FIFO";
            EXPECT_TRUE(IsPlainFile(file)) << "profiles.xml is no link";
            EXPECT_EQ(dir.Read("profiles.xml"), *document);
            EXPECT_EQ(leftover.Changed(), "");
            EXPECT_EQ(testsupport::NamesIn(dir.Path()), Expected(leftover));
        }
        if (kind == Leftover::OwnFile)
        {
            EXPECT_FALSE(fs::exists(leftover.At())) << "a save cut short is cleared";
        }
    }
}

TEST(WriteAtomically, EitherTemporaryNameGivesTheSamePermissionsAndAFailedCreateIsTold)
{
    const mode_t old = umask(027);
    testsupport::TempDir dir;
    const std::string plain = (dir.Path() / "plain.xml").string(), beside = (dir.Path() / "beside.xml").string();
    fs::create_directory(dir.Path() / "beside.xml.tmp");
    bool created = false;
    ASSERT_TRUE(os::WriteAtomically(plain, "a", created));
    ASSERT_TRUE(os::WriteAtomically(beside, "b", created));
    umask(old);
    struct stat one, other;
    ASSERT_EQ(0, stat(plain.c_str(), &one));
    ASSERT_EQ(0, stat(beside.c_str(), &other));
    EXPECT_EQ(one.st_mode & 07777, 0640u);
    EXPECT_EQ(other.st_mode & 07777, 0640u);

    // Nothing can be made in a folder that is not there: told, nothing made.
    errno = 0;
    EXPECT_FALSE(os::WriteAtomically((dir.Path() / "missing" / "x.xml").string(), "x", created));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(created);
    std::string name;
    EXPECT_EQ(os::CreateTemporaryFile((dir.Path() / "missing" / "x.xml").string(), name), -1);
    EXPECT_EQ(name, (dir.Path() / "missing" / "x.xml.tmp").string());
}

TEST(CreateTemporaryFile, MakesANewFileEachTimeBesideWhatStandsThere)
{
    testsupport::TempDir dir;
    fs::create_directory(dir.Path() / "f.tmp");
    const std::string path = (dir.Path() / "f").string();
    std::string a, b;
    const int first = os::CreateTemporaryFile(path, a), second = os::CreateTemporaryFile(path, b);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    EXPECT_NE(a, b) << "a file already made is never handed out again";
    // "<path>.tmp.<pid>.<count>": beside the file, named after this process.
    const std::string own = path + ".tmp." + std::to_string(getpid()) + ".";
    EXPECT_EQ(a.rfind(own, 0), 0u) << a;
    EXPECT_EQ(a.find_first_not_of("0123456789", own.size()), std::string::npos) << a;
    EXPECT_TRUE(IsPlainFile(a));
    EXPECT_TRUE(IsPlainFile(b));
    close(first);
    close(second);
}

TEST(Copy, NeverWritesThroughALinkOrIntoAnotherNameOfAFile)
{
    testsupport::TempDir dir;
    const fs::path file = dir.Write("profiles.xml", "the player's");
    dir.Write("from", "copied bytes");
    for (const Leftover kind :
         {Leftover::LinkToFile, Leftover::LinkOutside, Leftover::DanglingLink, Leftover::HardLink})
    {
        SCOPED_TRACE(testsupport::NameOf(kind));
        const fs::path to = dir.Path() / "to";
        testsupport::TempDir outside;
        testsupport::PlantedLeftover leftover(kind, to, file, outside.Path());
        ASSERT_TRUE(leftover.Planted());
        errno = 0;
        EXPECT_FALSE(os::Copy((dir.Path() / "from").string(), to.string()));
        EXPECT_EQ(errno, kind == Leftover::HardLink ? EMLINK : ELOOP);
        EXPECT_EQ(leftover.Changed(), "");
        EXPECT_EQ(dir.Read("profiles.xml"), "the player's");
        fs::remove(to);
    }
    // A plain file of one name is replaced, as ever.
    dir.Write("to", "older and longer bytes");
    ASSERT_TRUE(os::Copy((dir.Path() / "from").string(), (dir.Path() / "to").string()));
    EXPECT_EQ(dir.Read("to"), "copied bytes");
}

// What writes killed part way left under the fresh names goes; whatever else bears such a name
// (a link, a FIFO, a folder, another user's or a hard-linked file), and every plain file whose
// name only looks like one, stays. A second sweep finds nothing more to remove.
TEST(RemoveTemporaryLeftovers, RemovesOnlyPlainFilesOfThisUserUnderTheFreshNames)
{
    testsupport::TempDir dir, outside;
    const fs::path file = dir.Write("profiles.xml", Document("Ann", 10));
    // A write's file as a kill leaves it: made beside a link at the usual name, never renamed.
    fs::create_symlink("profiles.xml", dir.Path() / "profiles.xml.tmp");
    std::string cut;
    const int fd = os::CreateTemporaryFile(file.string(), cut);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "<Profiles>", 10), 10);
    close(fd);
    std::vector<std::string> gone = {fs::path(cut).filename().string(), "profiles.xml.tmp.123456789012.7"};
    dir.Write(gone[1], "whole");
    std::vector<std::unique_ptr<testsupport::PlantedLeftover>> planted;
    int id = 100;
    for (const Leftover kind : testsupport::AllLeftovers())
    {
        const std::string name = "profiles.xml.tmp." + std::to_string(++id) + ".1";
        // Each its own folder outside: one link's target is never another's.
        const fs::path away = outside.Path() / std::to_string(id);
        fs::create_directory(away);
        planted.push_back(std::make_unique<testsupport::PlantedLeftover>(kind, dir.Path() / name, file, away));
        if (kind == Leftover::OwnFile)
            gone.push_back(name);
    }
    const std::vector<std::string> lookalikes = {
        "profiles.xml.tmp.1",   "profiles.xml.tmp.1.",   "profiles.xml.tmp..1",   "profiles.xml.tmp.1.2.3",
        "profiles.xml.tmp.a.1", "profiles.xml.tmp.1.2x", "profiles.xml.tmp.-1.2", "profiles.xml.tmp.1 .2",
        "other.xml.tmp.1.2",    "xprofiles.xml.tmp.1.2", "profiles.xml.tmp1.2",   "profiles.xml.1.2"};
    for (const std::string& name : lookalikes)
        dir.Write(name, name);
    std::sort(gone.begin(), gone.end());

    for (int sweep = 1; sweep <= 2; ++sweep)
    {
        SCOPED_TRACE(sweep);
        std::vector<std::string> removed;
        ASSERT_TRUE(os::RemoveTemporaryLeftovers(file.string(), removed));
        std::sort(removed.begin(), removed.end());
        EXPECT_EQ(removed, sweep == 1 ? gone : std::vector<std::string>{});
        for (const std::string& name : gone)
            EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Path() / name))) << name;
        for (size_t i = 0; i < planted.size(); ++i)
        {
            const Leftover kind = testsupport::AllLeftovers()[i];
            if (!planted[i]->Planted())
                continue; // another user's file needs root
            struct stat info;
            EXPECT_EQ(lstat(planted[i]->At().c_str(), &info) == 0, kind != Leftover::OwnFile) << NameOf(kind);
            EXPECT_EQ(planted[i]->Changed(), "") << NameOf(kind);
        }
        for (const std::string& name : lookalikes)
            EXPECT_EQ(dir.Read(name), name);
        EXPECT_TRUE(fs::is_symlink(dir.Path() / "profiles.xml.tmp"));
        EXPECT_EQ(dir.Read("profiles.xml"), Document("Ann", 10));
    }

    std::vector<std::string> removed = {"stale"};
    EXPECT_FALSE(os::RemoveTemporaryLeftovers((dir.Path() / "missing/profiles.xml").string(), removed));
    EXPECT_TRUE(removed.empty());
}
