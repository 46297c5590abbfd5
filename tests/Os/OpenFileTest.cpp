// Opening files: only plain files are opened, whatever else stands at the path (a FIFO, a link
// to one, a socket, a device, a folder) is refused at once with a reason, and the raw file
// operations built on the opener neither wait on nor replace such a thing.
#include "Platform/Os/OpenFile.h"
#include "Platform/Os/Files.h"
#include "support/FifoWatchdog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace
{
// Runs `step`; false when it waited on the FIFO (and had to be let go).
bool FinishesWithoutAPeer(const std::string& fifo, const std::function<void()>& step)
{
    testsupport::FifoWatchdog watchdog(fifo);
    step();
    return watchdog.Done();
}

bool IsFifo(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

class OpenFileTest : public ::testing::Test
{
protected:
    std::string At(const std::string& name) const { return (mDir.Path() / name).string(); }
    std::string MakeFifo(const std::string& name) const
    {
        const std::string path = At(name);
        EXPECT_EQ(0, ::mkfifo(path.c_str(), 0600)) << path;
        return path;
    }

    testsupport::TempDir mDir;
};
} // namespace

TEST_F(OpenFileTest, APlainFileOpensBlockingForEveryAccessAndNothingElseOpens)
{
    mDir.Write("plain", "bytes");
    for (const os::FileAccess access : {os::FileAccess::Read, os::FileAccess::ReadWrite, os::FileAccess::QueryOnly})
    {
        SCOPED_TRACE(static_cast<int>(access));
        const int fd = os::OpenFile(At("plain"), access, os::FileCreation::Existing);
        ASSERT_GE(fd, 0) << std::strerror(errno);
        // The flag that kept open() from waiting is gone again (an O_PATH descriptor has none).
        if (access != os::FileAccess::QueryOnly)
        {
            EXPECT_EQ(0, ::fcntl(fd, F_GETFL) & O_NONBLOCK);
        }
        EXPECT_EQ(5, os::FileSize(fd));
        EXPECT_TRUE(os::CloseFile(fd));
    }
    const int created = os::OpenFile(At("new"), os::FileAccess::Write, os::FileCreation::NewOnly);
    ASSERT_GE(created, 0);
    size_t done = 0;
    EXPECT_TRUE(os::WriteFile(created, "abc", 3, done));
    EXPECT_TRUE(os::CloseFile(created));
    EXPECT_EQ("abc", mDir.Read("new"));

    // Nothing there, and a folder, keep the system's own reasons.
    EXPECT_EQ(-1, os::OpenFile(At("missing"), os::FileAccess::Read, os::FileCreation::Existing));
    EXPECT_EQ(ENOENT, errno);
    std::filesystem::create_directory(mDir.Path() / "folder");
    for (const os::FileAccess access : {os::FileAccess::Read, os::FileAccess::QueryOnly})
    {
        EXPECT_EQ(-1, os::OpenFile(At("folder"), access, os::FileCreation::Existing));
        EXPECT_EQ(EISDIR, errno);
    }
    EXPECT_EQ(std::strerror(EISDIR), os::OpenFailureText(At("folder"), EISDIR));
    EXPECT_EQ(std::strerror(EMFILE), os::OpenFailureText(At("plain"), EMFILE));
}

TEST_F(OpenFileTest, AFifoOrALinkToOneIsRefusedAtOnceForReadingOrWritingAndNamedInTheReason)
{
    const std::string fifo = MakeFifo("profiles.xml");
    ASSERT_EQ(0, ::symlink("profiles.xml", At("link").c_str()));
    for (const std::string& path : {fifo, At("link")})
    {
        for (const auto& [access, creation] : {std::pair{os::FileAccess::Read, os::FileCreation::Existing},
                                               std::pair{os::FileAccess::Write, os::FileCreation::Always},
                                               std::pair{os::FileAccess::ReadWrite, os::FileCreation::Existing},
                                               std::pair{os::FileAccess::QueryOnly, os::FileCreation::Existing}})
        {
            SCOPED_TRACE(path + " access " + std::to_string(static_cast<int>(access)));
            int fd = 0, error = 0;
            EXPECT_TRUE(FinishesWithoutAPeer(fifo,
                                             [&]
                                             {
                                                 fd = os::OpenFile(path, access, creation);
                                                 error = errno;
                                             }))
                << "open() waited for the FIFO's other end";
            EXPECT_EQ(-1, fd);
            if (fd >= 0)
                ::close(fd);
            EXPECT_EQ(ENXIO, error);
            EXPECT_EQ("a FIFO, not a plain file", os::OpenFailureText(path, error));
        }
    }
    EXPECT_TRUE(IsFifo(fifo));
}

TEST_F(OpenFileTest, ASocketOrADeviceIsRefusedAndNamed)
{
    // A relative name: a socket's path must fit a short field.
    testsupport::InFolder in(mDir.Path());
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, "sock");
    ASSERT_EQ(0, ::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)));
    EXPECT_EQ(-1, os::OpenFile("sock", os::FileAccess::Read, os::FileCreation::Existing));
    EXPECT_EQ("a socket, not a plain file", os::OpenFailureText("sock", errno));
    ::close(listener);

    EXPECT_EQ(-1, os::OpenFile("/dev/null", os::FileAccess::Write, os::FileCreation::Always));
    EXPECT_EQ("a character device, not a plain file", os::OpenFailureText("/dev/null", errno));
}

TEST_F(OpenFileTest, WholeFileReadsCopiesAndAppendsNeitherWaitOnNorReplaceAFifo)
{
    const std::string fifo = MakeFifo("fifo");
    mDir.Write("plain", "old");
    std::string bytes = "left over";
    const struct
    {
        const char* what;
        std::function<bool()> step;
    } steps[] = {
        {"read", [&] { return os::ReadAll(fifo, bytes); }},
        {"copy from", [&] { return os::Copy(fifo, At("copy")); }},
        {"copy to", [&] { return os::Copy(At("plain"), fifo); }},
        {"append", [&] { return os::Append(fifo, "x"); }},
        {"sync", [&] { return os::Sync(fifo); }},
    };
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.what);
        bool ok = true;
        int error = 0;
        EXPECT_TRUE(FinishesWithoutAPeer(fifo,
                                         [&]
                                         {
                                             ok = step.step();
                                             error = errno;
                                         }))
            << "waited for the FIFO's other end";
        EXPECT_FALSE(ok);
        EXPECT_EQ(ENXIO, error);
    }
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(std::filesystem::exists(mDir.Path() / "copy"));
    EXPECT_TRUE(IsFifo(fifo));
    EXPECT_EQ("old", mDir.Read("plain"));

    // The same operations on plain files still work.
    ASSERT_TRUE(os::Append(At("plain"), "+"));
    ASSERT_TRUE(os::Copy(At("plain"), At("copy")));
    ASSERT_TRUE(os::ReadAll(At("copy"), bytes));
    EXPECT_EQ("old+", bytes);
}
