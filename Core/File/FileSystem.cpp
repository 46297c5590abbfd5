// Folders, deletion, renaming and atomic writes over the platform's raw file access.
#include "Core/File/FileSystem.h"

#include "Core/Base/Log.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Platform/Os/Files.h"
#include "Platform/Os/OpenFile.h"
#include "Platform/Os/Text.h"

#include <cerrno>

namespace file
{
namespace
{
QLResultEnum Result(bool ok) { return ok ? QL_OK : QL_FAIL; }
} // namespace

std::string NativePath(const std::wstring& path) { return os::SystemPath(ToForwardSlashes(path)); }

std::wstring FileErrorText(const std::wstring& path, int error)
{
    return base::StringToWString(os::OpenFailureText(NativePath(path), error), 1);
}

QLResultEnum CreateDirectory(const std::wstring& path) { return Result(os::MakeFolder(NativePath(path))); }

QLResultEnum DeleteFile(const std::wstring& path) { return Result(os::RemoveFile(NativePath(path))); }

QLResultEnum SetCurrentDirectory(const std::wstring& path) { return Result(os::ChangeDirectory(NativePath(path))); }

QLResultEnum RenameFile(const std::wstring& from, const std::wstring& to)
{
    return Result(os::Rename(NativePath(from), NativePath(to)));
}

QLResultEnum SyncFile(const std::wstring& path) { return Result(os::Sync(NativePath(path))); }

QLResultEnum CopyFile(const std::wstring& from, const std::wstring& to)
{
    return Result(os::Copy(NativePath(from), NativePath(to)));
}

QLResultEnum ReadRawFile(const std::wstring& path, std::string& out)
{
    return Result(os::ReadAll(NativePath(path), out));
}

QLResultEnum AppendToFile(const std::wstring& path, const std::string& bytes)
{
    return Result(os::Append(NativePath(path), bytes));
}

QLResultEnum WriteFileAtomically(const std::wstring& path, const std::string& bytes, std::wstring* why)
{
    bool created = false;
    if (os::WriteAtomically(NativePath(path), bytes, created))
        return QL_OK;
    const int error = errno;
    // "write 'x': reason" or "create 'x.tmp': reason", after "cannot".
    const std::wstring failed = created ? path : path + L".tmp";
    const std::wstring what = (created ? L"write '" : L"create '") + failed + L"': " + FileErrorText(failed, error);
    if (why)
        *why = L"cannot " + what;
    else
        QL_LOG(L"Cannot %s\n") << base::LogStyle::Error << what;
    return QL_FAIL;
}

QLResultEnum CreateFolders(const std::wstring& path, std::wstring* failed)
{
    return CreateFolderChain(StripTrailingSeparators(NormalizeDirectoryPath(path)), failed);
}

QLResultEnum CreateFolderChain(const std::wstring& path, std::wstring* failed)
{
    if (path.empty() || FileManager::Instance()->IsFolder(path))
        return QL_OK;
    std::wstring parent = StripTrailingSeparators(GetDirectory(path));
    if (!parent.empty())
    {
        QLResultEnum result = CreateFolderChain(parent, failed);
        if (result != QL_OK)
            return result;
    }
    const QLResultEnum result = CreateDirectory(path);
    if (result != QL_OK && failed)
        *failed = path;
    return result;
}
} // namespace file
