// The engine's lock: a recursive mutex with a scoped guard that tolerates no lock at all.
#pragma once

#include <mutex>

namespace app
{
class CriticalSectionWin32
{
public:
    virtual ~CriticalSectionWin32() = default;
    virtual void Lock() { mMutex.lock(); }
    virtual void Unlock() { mMutex.unlock(); }

private:
    std::recursive_mutex mMutex;
};

class CriticalSection : public CriticalSectionWin32
{
};

// Locks on construction, unlocks on leaving the scope; a null section is no lock.
class ScopedLock
{
public:
    explicit ScopedLock(CriticalSection* section) : mSection(section)
    {
        if (mSection)
            mSection->Lock();
    }
    ~ScopedLock()
    {
        if (mSection)
            mSection->Unlock();
    }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection* mSection;
};

// Guards window creation (the one process-wide lock besides the tasks' own).
CriticalSection& GlobalLock();
} // namespace app
