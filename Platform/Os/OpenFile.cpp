// Files opened for reading and writing piece by piece, over POSIX descriptors.
#include "Platform/Os/OpenFile.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os
{
int OpenFile(const std::string& path, FileAccess access, FileCreation creation)
{
    int flags = O_CLOEXEC;
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

    int fd;
    do
        fd = ::open(path.c_str(), flags, 0666);
    while (fd == -1 && errno == EINTR);
    if (fd == -1)
        return -1;

    // Folders open fine on POSIX but are not files.
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))
    {
        ::close(fd);
        errno = EISDIR;
        return -1;
    }
    return fd;
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
