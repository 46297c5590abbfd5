// The process's file-size limit lowered for the helper's lifetime, then put back: a write past it
// fails with EFBIG (SIGXFSZ ignored meanwhile, as the game does) instead of ending the process.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace testsupport
{
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &mOld);
        mHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {bytes, mOld.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mOld);
        std::signal(SIGXFSZ, mHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit mOld{};
    void (*mHandler)(int) = SIG_DFL;
};
} // namespace testsupport
