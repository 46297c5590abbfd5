// The user-data folder's single-instance lock: the folder, else its file, else the runtime folder.
#include "Framework/FolderLock.h"

#include "Core/Base/Log.h"
#include "Platform/Os/Error.h"
#include "Platform/Os/InstanceLock.h"
#include "Platform/Os/Text.h"

#include <cwchar>

namespace framework
{
namespace
{
// Names a user-data folder in a shared place: one lock per folder, as in the folder itself.
std::wstring FolderDigest(const std::wstring& folder)
{
    u64 hash = 14695981039346656037ull; // FNV-1a
    for (const char byte : os::SystemPath(folder))
    {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 1099511628211ull;
    }
    wchar_t text[17];
    std::swprintf(text, 17, L"%016llx", static_cast<unsigned long long>(hash));
    return text;
}

FolderLock::State StateOf(os::InstanceLock::Result result)
{
    return result == os::InstanceLock::ACQUIRED         ? FolderLock::HELD
           : result == os::InstanceLock::HELD_ELSEWHERE ? FolderLock::ANOTHER_COPY
                                                        : FolderLock::NONE;
}
} // namespace

FolderLock TakeFolderLock(os::InstanceLock& lock, const std::wstring& root, const std::wstring& recordName,
                          const std::wstring& appName, bool usable)
{
    FolderLock out;
    const auto tried = [&out](const std::wstring& path)
    { out.faults += (out.faults.empty() ? L"'" : L" nor '") + path + L"' (" + os::FromUtf8(os::LastError()) + L")"; };
    out.path = root;
    out.record = root + recordName;
    out.state = StateOf(lock.AcquireFolder(root, recordName));
    if (out.state == FolderLock::HELD)
        out.recordFault = os::FromUtf8(lock.GetRecordFault());
    if (out.state != FolderLock::NONE)
        return out;
    tried(root);
    // A folder that cannot be locked (say over a network filesystem without locks): every copy for
    // it then meets at its lock file, or in the user's runtime folder.
    if (usable)
    {
        out.path = out.record;
        out.state = StateOf(lock.Acquire(out.path));
        if (out.state != FolderLock::NONE)
            return out;
        tried(out.path);
    }
    bool temporaryFolder = false;
    out.path = os::SharedLockPath(appName + L"-" + FolderDigest(root), temporaryFolder);
    out.state = StateOf(lock.Acquire(out.path, true));
    if (out.state == FolderLock::NONE)
        tried(out.path);
    return out;
}

void LogFolderLock(const FolderLock& lock, const std::wstring& root, bool usable)
{
    if (lock.state == FolderLock::NONE)
        QL_LOG(L"No single-instance lock for '%s': %s\n") << base::LogStyle::Error << root << lock.faults;
    else if (!lock.faults.empty())
        QL_LOG(L"The single-instance lock %s cannot be used; the lock is '%s'\n")
            << base::LogStyle::Error << lock.faults << lock.path;
    else if (!lock.recordFault.empty())
        QL_LOG(L"The process id cannot be recorded in '%s' (%s); the lock on the folder holds\n")
            << base::LogStyle::Error << lock.record << lock.recordFault;
    else if (!usable)
        QL_LOG(L"The single-instance lock is '%s'\n") << lock.path;
}
} // namespace framework
