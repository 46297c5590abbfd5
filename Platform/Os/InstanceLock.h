// One running copy per user-data folder: an exclusive lock on the folder itself, with the holder's
// id recorded in a file there; a lock on a file alone where the folder cannot be locked.
#pragma once

#include "Platform/Base/Types.h"

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
        FAILED = 2,         // the folder or lock file cannot be opened or locked
    };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Locks the folder itself, which every copy meets by whatever path (a link included) it names
    // the folder. The id goes into `recordName` in that folder only when it is a plain file of this
    // user with no other name; that file is locked too, and one held elsewhere (a copy that locks
    // the file alone) is HELD_ELSEWHERE. A record that cannot be kept leaves the folder's lock
    // held and says why in GetRecordFault. FAILED only when the folder cannot be opened or locked.
    Result AcquireFolder(const std::wstring& folder, const std::wstring& recordName);
    // On success the file holds this process's id, and raise requests are listened for. A
    // symbolic link, a hard link or anything but a plain file of this user at the path is refused
    // (FAILED) and left untouched: the lock's id would be written into whatever it names. Outside
    // the user's own data folder (the runtime or the temporary folder) the file is private.
    Result Acquire(const std::wstring& path, bool outsideUserFolder = false);
    void Release();
    bool IsHeld() const { return mFolderFd >= 0 || mFd >= 0; }

    // After AcquireFolder: why the id could not be recorded; empty when it was.
    const std::string& GetRecordFault() const { return mRecordFault; }
    // After HELD_ELSEWHERE: the id of the holder as it wrote it (0 when unreadable).
    int GetHolder() const { return mHolder; }
    // Asks the holder to bring its window to the front; false when it cannot be reached.
    bool RequestRaise() const;

private:
    int mFolderFd = -1;
    int mFd = -1;
    int mHolder = 0;
    std::string mRecordFault;
};

// True once after another copy asked this process to bring its window to the front.
bool TakeRaiseRequest();

// Where a lock named `name` goes when the user-data folder cannot hold it: the user's runtime
// folder ($XDG_RUNTIME_DIR, private to the user), else the temporary folder ($TMPDIR, else /tmp)
// with the user's id in the name; `shared` tells that it is the temporary folder.
std::wstring SharedLockPath(const std::wstring& name, bool& shared);
} // namespace os
