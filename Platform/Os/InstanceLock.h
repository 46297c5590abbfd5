// One running copy per user-data folder: an exclusive lock on a file there.
#pragma once

#include "Core/Base/Types.h"

#include <string>

namespace os
{
class InstanceLock
{
public:
    enum Result
    {
        ACQUIRED = 0,
        HELD_ELSEWHERE = 1, // another process holds it
        FAILED = 2,         // the lock file cannot be opened
    };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Result Acquire(const std::wstring& path);
    void Release();
    bool IsHeld() const { return mFd >= 0; }

private:
    int mFd = -1;
};
} // namespace os
