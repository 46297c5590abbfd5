// flock-based single-instance lock; the kernel drops it when the process ends.
#include "Platform/Os/InstanceLock.h"

#include "Platform/Os/Error.h"
#include "Platform/Os/Text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace os
{
InstanceLock::~InstanceLock() { Release(); }

InstanceLock::Result InstanceLock::Acquire(const std::wstring& path)
{
    Release();
    const int fd = open(ToUtf8(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
    {
        SetLastError(std::string("open lock file: ") + std::strerror(errno));
        return FAILED;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
    {
        const int err = errno;
        close(fd);
        if (err == EWOULDBLOCK)
            return HELD_ELSEWHERE;
        SetLastError(std::string("flock: ") + std::strerror(err));
        return FAILED;
    }
    mFd = fd;
    return ACQUIRED;
}

void InstanceLock::Release()
{
    if (mFd >= 0)
    {
        flock(mFd, LOCK_UN);
        close(mFd);
    }
    mFd = -1;
}
} // namespace os
