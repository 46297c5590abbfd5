// The user-data folder container and the per-user folder lookup.
#include "Core/File/UserDataFileContainer.h"

#include "Core/Base/Stream.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/File/FileSystem.h"
#include "Core/File/Path.h"
#include "Platform/Os/Files.h"
#include "Platform/Os/Folders.h"
#include "Platform/Os/Text.h"

#include <cerrno>
#include <cstring>

namespace file
{
namespace
{
// The platform's folder as a normalised folder path ("/" for the root).
bool ToFolder(bool found, const std::string& value, std::wstring& out)
{
    if (!found)
        return false;
    out = NormalizeDirectoryPath(os::FromSystemPath(value));
    if (out.empty())
        out = L"/";
    return true;
}
} // namespace

base::Stream* UserDataFileContainerWin32::OpenStream(const std::wstring& path)
{
    return FileManager::Instance()->FileManagerWin32::OpenStream(mRoot + path);
}

base::StreamCreator* UserDataFileContainerWin32::CreateStreamCreator(const std::wstring& path)
{
    return new base::FileStreamCreator(ToForwardSlashes(mRoot + path), 0, 2);
}

void UserDataFileContainerWin32::DoListFiles(const std::wstring& requested, const std::wstring& inner,
                                             const std::wstring& sub, bool recursive, std::vector<std::wstring>& out,
                                             bool relative)
{
    (void)FileManager::Instance()->ListFiles(mRoot + inner + sub, recursive, out, relative);
}

void UserDataFileContainerWin32::DoListFolders(const std::wstring& requested, const std::wstring& inner,
                                               const std::wstring& sub, std::vector<std::wstring>& out, bool relative)
{
    (void)FileManager::Instance()->ListFolders(mRoot + inner + sub, out, relative);
}

bool UserDataFileContainerWin32::DoExists(const std::wstring& path, const std::wstring* extensions, u32 count,
                                          u32* index)
{
    return FileManager::Instance()->Exists(mRoot + path, extensions, count, index);
}

bool UserDataFileContainerWin32::DoIsFolder(const std::wstring& path)
{
    return FileManager::Instance()->IsFolder(mRoot + path);
}

std::vector<base::SingletoneBase*> UserDataFileContainer::GetDependencies() { return {FileManager::Instance()}; }

QLResultEnum UserDataFileContainer::SetPath(const std::wstring& path, bool create)
{
    mRoot = NormalizeDirectoryPath(path);
    if (mRoot.empty() && !path.empty())
        mRoot = L"/";
    mFault.clear();
    mCreated = create;
    std::wstring failed;
    const auto reason = [](int error) { return base::StringToWString(std::strerror(error), 1); };
    if (!create && !FileManager::Instance()->IsFolder(mRoot))
        mFault = L"does not exist";
    else if (create && CreateFolders(mRoot, &failed) != QL_OK)
    {
        // A file where a folder must be: mkdir says "File exists", which misleads.
        const int error = errno;
        mFault = L"cannot be created ('" + failed + L"': " +
                 (error == EEXIST ? L"a file, not a folder" : reason(error)) + L")";
    }
    else if (!os::CanCreateFileIn(NativePath(mRoot)))
    {
        const int error = errno;
        mFault = L"cannot be written (" + reason(error) + L")";
    }
    return mFault.empty() ? QL_OK : QL_FAIL;
}

bool UserDataFileContainer::RecreateIfGone()
{
    if (!mCreated || mRoot.empty() || FileManager::Instance()->IsFolder(mRoot))
        return false;
    return SetPath(mRoot, true) == QL_OK;
}

QLResultEnum GetPerUserFolder(std::wstring& out)
{
    std::string folder;
    const bool found = os::PerUserDataFolder(folder);
    return ToFolder(found, folder, out) ? QL_OK : QL_FAIL;
}

QLResultEnum GetDocumentsFolder(std::wstring& out)
{
    std::string folder;
    const bool found = os::HomeFolder(folder);
    return ToFolder(found, folder, out) ? QL_OK : QL_FAIL;
}

QLResultEnum GetUserDataFolder(const std::wstring& publisher, const std::wstring& game, std::wstring& out)
{
    std::wstring base;
    if (GetPerUserFolder(base) != QL_OK && GetDocumentsFolder(base) != QL_OK)
        return QL_FAIL;
    out = base + publisher + L"/" + game + L"/";
    return QL_OK;
}
} // namespace file
