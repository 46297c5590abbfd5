// Files opened for reading and writing piece by piece, over POSIX descriptors.
#include "Platform/Os/OpenFile.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os
{
namespace
{
// What a file of this type is called in a log; null for a plain file or a folder.
const char* KindOf(mode_t mode)
{
    if (S_ISREG(mode) || S_ISDIR(mode))
        return nullptr;
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    return "a special file";
}

// 0 for a plain file; otherwise the errno that refuses it.
int RefusalOf(mode_t mode) { return S_ISREG(mode) ? 0 : S_ISDIR(mode) ? EISDIR : ENXIO; }
} // namespace

int OpenFile(const std::string& path, FileAccess access, FileCreation creation)
{
    int flags = 0;
    switch (access)
    {
    case FileAccess::Read: flags |= O_RDONLY; break;
    case FileAccess::Write: flags |= O_WRONLY; break;
    case FileAccess::ReadWrite: flags |= O_RDWR; break;
    case FileAccess::QueryOnly: flags |= O_PATH; break;
    }
    switch (creation)
    {
    case FileCreation::Always: flags |= O_CREAT | O_TRUNC; break;
    case FileCreation::NewOnly: flags |= O_CREAT | O_EXCL; break;
    case FileCreation::Existing: break;
    }
    if ((flags & O_PATH) && (flags & O_CREAT))
    {
        errno = EINVAL;
        return -1;
    }
    return OpenPlainFile(path, flags);
}

int OpenPlainFile(const std::string& path, int flags, unsigned mode)
{
    // Refused before opening where possible: opening a FIFO would wake a peer waiting on it.
    struct stat info;
    if (::stat(path.c_str(), &info) == 0 && RefusalOf(info.st_mode) != 0)
    {
        errno = RefusalOf(info.st_mode);
        return -1;
    }
    int fd;
    do
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, static_cast<mode_t>(mode));
    while (fd == -1 && errno == EINTR);
    if (fd == -1)
        return -1;

    // The path may have changed since the check; the descriptor is what counts.
    int error = ::fstat(fd, &info) != 0 ? errno : RefusalOf(info.st_mode);
    // Plain files read and write the same either way, but the flag is not ours to leave set.
    if (error == 0 && !(flags & (O_PATH | O_NONBLOCK)))
    {
        const int status = ::fcntl(fd, F_GETFL);
        if (status == -1 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0)
            error = errno;
    }
    if (error != 0)
    {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

std::string OpenFailureText(const std::string& path, int error)
{
    struct stat info;
    if (error == ENXIO && ::stat(path.c_str(), &info) == 0)
        if (const char* kind = KindOf(info.st_mode))
            return std::string(kind) + ", not a plain file";
    return std::strerror(error);
}

bool CloseFile(int fd) { return ::close(fd) == 0; }

bool ReadFile(int fd, void* buffer, size_t count, size_t& done)
{
    // read() may deliver less than asked before the end; keep going until the end or an error.
    char* out = static_cast<char*>(buffer);
    done = 0;
    while (done < count)
    {
        const ssize_t got = ::read(fd, out + done, count - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        done += static_cast<size_t>(got);
    }
    return true;
}

bool WriteFile(int fd, const void* buffer, size_t count, size_t& done)
{
    const char* in = static_cast<const char*>(buffer);
    done = 0;
    while (done < count)
    {
        const ssize_t put = ::write(fd, in + done, count - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return false;
        if (put == 0)
            break;
        done += static_cast<size_t>(put);
    }
    return true;
}

int64_t SeekFile(int fd, int64_t offset, int origin)
{
    const int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
    return ::lseek(fd, offset, whence);
}

int64_t FileSize(int fd)
{
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return -1;
    return info.st_size;
}

int OpenFreshFile(const std::string& path)
{
    // Non-blocking: a fifo without a reader is refused at once instead of holding the caller.
    int fd;
    do
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    while (fd == -1 && errno == EINTR);
    if (fd == -1)
        return -1;
    struct stat info;
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (!S_ISREG(info.st_mode))
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    else if (info.st_nlink != 1)
        error = EMLINK;
    else if (::ftruncate(fd, 0) != 0)
        error = errno;
    if (error)
    {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

void ReportFileSizeLimitAsError() { std::signal(SIGXFSZ, SIG_IGN); }
} // namespace os
