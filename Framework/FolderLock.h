// The single-instance lock a copy of the game takes for its user-data folder, and what the log
// says of it.
#pragma once

#include <string>

namespace os
{
class InstanceLock;
}

namespace framework
{
struct FolderLock
{
    enum State
    {
        HELD,         // this copy holds it
        ANOTHER_COPY, // another copy runs on the folder
        NONE,         // no lock could be had
    };
    State state = NONE;
    std::wstring path;        // what is locked, or was tried last
    std::wstring faults;      // why each place tried before could not be locked
    std::wstring record;      // the file that holds the holder's id
    std::wstring recordFault; // why this copy's id could not be written there
};

// The folder itself decides; only when it cannot be opened or locked is the lock its file
// `recordName` (when the folder is usable), then a file named after the folder in the user's
// runtime folder. `appName` names that file.
FolderLock TakeFolderLock(os::InstanceLock& lock, const std::wstring& root, const std::wstring& recordName,
                          const std::wstring& appName, bool usable);
// Logs what the start-up must know of the lock (nothing when the folder's own lock holds as it
// should).
void LogFolderLock(const FolderLock& lock, const std::wstring& root, bool usable);
} // namespace framework
