// flock-based single-instance lock; the kernel drops it when the process ends.
#include "Platform/Os/InstanceLock.h"

#include "Platform/Os/Error.h"
#include "Platform/Os/Text.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os
{
namespace
{
std::atomic<bool> gRaiseRequested{false};

void OnRaiseSignal(int) { gRaiseRequested = true; }

// SIGUSR1 would end a process that does not listen for it, so only a lock holder is signalled,
// and it listens before its id is in the file.
void ListenForRaiseRequests()
{
    struct sigaction action = {};
    action.sa_handler = OnRaiseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGUSR1, &action, nullptr);
}

int ReadHolder(int fd)
{
    char text[32] = {};
    const ssize_t n = pread(fd, text, sizeof text - 1, 0);
    return n > 0 ? std::atoi(text) : 0;
}

// Opens the lock file `path` (relative to the folder `dir`) for writing, or -1 with the reason in
// `fault`. A link is never followed and nothing is truncated before the lock is held: whatever the
// name points at (the player's profiles, another user's file) stays as it is. Non-blocking, so
// that a fifo of that name cannot hold the start-up.
int OpenLockFile(int dir, const std::string& path, mode_t mode, std::string& fault)
{
    const int fd = openat(dir, path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, mode);
    if (fd < 0)
    {
        fault = std::string("open lock file: ") + std::strerror(errno);
        return -1;
    }
    // Only a plain file of this user with no other name is written: another user's file could be
    // held forever to keep this one from starting, and a hard link's other name would be emptied.
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid() || info.st_nlink != 1)
    {
        fault = "lock file: not a plain file of this user";
        close(fd);
        return -1;
    }
    return fd;
}

// The id a holder of the folder recorded there; 0 when there is no plain file to read it from.
int ReadRecordedHolder(int dir, const std::string& name)
{
    const int fd = openat(dir, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return 0;
    struct stat info;
    const int holder = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? ReadHolder(fd) : 0;
    close(fd);
    return holder;
}

bool WriteId(int fd)
{
    const std::string id = std::to_string(getpid()) + "\n";
    return ftruncate(fd, 0) == 0 && pwrite(fd, id.data(), id.size(), 0) == static_cast<ssize_t>(id.size());
}
} // namespace

bool TakeRaiseRequest() { return gRaiseRequested.exchange(false); }

std::wstring SharedLockPath(const std::wstring& name, bool& shared)
{
    const auto folder = [](const char* variable)
    {
        const char* value = std::getenv(variable);
        struct stat info;
        return value && value[0] == '/' && stat(value, &info) == 0 && S_ISDIR(info.st_mode) ? std::string(value)
                                                                                            : std::string();
    };
    std::string runtime = folder("XDG_RUNTIME_DIR");
    shared = runtime.empty();
    if (!shared)
        return FromSystemPath(runtime) + L"/" + name + L".lock";
    std::string temp = folder("TMPDIR");
    if (temp.empty())
        temp = "/tmp";
    return FromSystemPath(temp) + L"/" + name + L"-" + std::to_wstring(getuid()) + L".lock";
}
InstanceLock::~InstanceLock() { Release(); }

InstanceLock::Result InstanceLock::AcquireFolder(const std::wstring& folder, const std::wstring& recordName)
{
    Release();
    // Nothing is written through this descriptor, so a link to the folder may be followed: every
    // road to the folder meets the same lock.
    const int dir = open(SystemPath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
    {
        SetLastError(std::string("open folder: ") + std::strerror(errno));
        return FAILED;
    }
    const std::string name = SystemPath(recordName);
    if (flock(dir, LOCK_EX | LOCK_NB) != 0)
    {
        const int err = errno;
        mHolder = err == EWOULDBLOCK ? ReadRecordedHolder(dir, name) : 0;
        close(dir);
        if (err == EWOULDBLOCK)
            return HELD_ELSEWHERE;
        SetLastError(std::string("lock folder: ") + std::strerror(err));
        return FAILED;
    }
    std::string fault;
    int fd = OpenLockFile(dir, name, 0644, fault);
    // The record is locked as well: a copy that locks the file alone runs on this folder too.
    if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0)
    {
        const int err = errno;
        if (err == EWOULDBLOCK)
        {
            mHolder = ReadHolder(fd);
            close(fd);
            close(dir);
            return HELD_ELSEWHERE;
        }
        fault = std::string("flock: ") + std::strerror(err);
        close(fd);
        fd = -1;
    }
    mFolderFd = dir;
    mFd = fd;
    mHolder = 0;
    ListenForRaiseRequests();
    if (fd >= 0 && !WriteId(fd))
        fault = std::string("write lock file: ") + std::strerror(errno);
    mRecordFault = fault;
    return ACQUIRED;
}

InstanceLock::Result InstanceLock::Acquire(const std::wstring& path, bool outsideUserFolder)
{
    Release();
    std::string fault;
    const int fd = OpenLockFile(AT_FDCWD, SystemPath(path), outsideUserFolder ? 0600 : 0644, fault);
    if (fd < 0)
    {
        SetLastError(fault);
        return FAILED;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
    {
        const int err = errno;
        mHolder = err == EWOULDBLOCK ? ReadHolder(fd) : 0;
        close(fd);
        if (err == EWOULDBLOCK)
            return HELD_ELSEWHERE;
        SetLastError(std::string("flock: ") + std::strerror(err));
        return FAILED;
    }
    mFd = fd;
    mHolder = 0;
    ListenForRaiseRequests();
    if (!WriteId(fd))
        SetLastError(std::string("write lock file: ") + std::strerror(errno)); // the lock still holds
    return ACQUIRED;
}

// Only a process running this same program is signalled: a stale id in the file may belong to
// anything by now.
bool InstanceLock::RequestRaise() const
{
    if (mHolder <= 0 || mHolder == getpid())
        return mHolder == getpid() && kill(mHolder, SIGUSR1) == 0;
    char mine[4096] = {}, theirs[4096] = {};
    const std::string link = "/proc/" + std::to_string(mHolder) + "/exe";
    if (readlink("/proc/self/exe", mine, sizeof mine - 1) <= 0 ||
        readlink(link.c_str(), theirs, sizeof theirs - 1) <= 0 || std::strcmp(mine, theirs) != 0)
        return false;
    return kill(mHolder, SIGUSR1) == 0;
}

// The id goes before the folder is let go: a copy that takes the folder next finds no stale one.
void InstanceLock::Release()
{
    if (mFd >= 0)
    {
        if (ftruncate(mFd, 0) != 0)
            SetLastError(std::string("clear lock file: ") + std::strerror(errno));
        flock(mFd, LOCK_UN);
        close(mFd);
    }
    if (mFolderFd >= 0)
    {
        flock(mFolderFd, LOCK_UN);
        close(mFolderFd);
    }
    mFd = -1;
    mFolderFd = -1;
    mRecordFault.clear();
}
} // namespace os
