// Loose files on disk: streams, existence tests and sorted listings.
#include "Core/File/FileManager.h"

#include "Core/Base/Stream.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileSystem.h"
#include "Core/File/Path.h"
#include "Platform/Os/Files.h"
#include "Platform/Os/Text.h"

#include <algorithm>
#include <memory>

namespace file
{
namespace
{
struct DirEntry
{
    std::wstring name;
    bool isFolder;
};

// Symbolic links are followed, so a cycle is cut off by depth.
constexpr int kMaxListingDepth = 64;

bool StatPath(const std::wstring& path, os::PathInfo& info) { return os::Stat(NativePath(path), info); }

bool IsRegularFile(const std::wstring& path)
{
    os::PathInfo info;
    return !path.empty() && StatPath(path, info) && !info.isFolder;
}

// The entries of one folder, sorted by UTF-16 units so results never depend on the disk's order.
std::vector<DirEntry> ReadFolder(const std::wstring& folder)
{
    std::vector<DirEntry> entries;
    std::vector<os::FolderEntry> found;
    if (!os::ListFolder(NativePath(folder), found))
        return entries;
    for (const os::FolderEntry& entry : found)
        entries.push_back({os::FromSystemPath(entry.name), entry.isFolder});
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return CompareUtf16(a.name, b.name) < 0; });
    return entries;
}

void ListFilesRecursive(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub,
                        bool recursive, std::vector<std::wstring>& out, bool relative, int depth)
{
    for (const DirEntry& entry : ReadFolder(inner + sub))
    {
        if (entry.isFolder)
        {
            if (recursive && depth < kMaxListingDepth)
                ListFilesRecursive(requested, inner, sub + entry.name + L"/", recursive, out, relative, depth + 1);
            continue;
        }
        out.push_back(relative ? sub + entry.name : requested + sub + entry.name);
    }
}
} // namespace

base::Stream* FileManagerWin32::OpenStream(const std::wstring& path)
{
    // open() succeeds on a folder here; a folder is never a file.
    if (!IsRegularFile(path))
        return nullptr;
    auto stream = std::make_unique<base::FileStream>();
    if (stream->Handle().Open(ToForwardSlashes(path), 0, 2) != QL_OK)
        return nullptr;
    return stream.release();
}

base::StreamCreator* FileManagerWin32::CreateStreamCreator(const std::wstring& path)
{
    return new base::FileStreamCreator(ToForwardSlashes(path), 0, 2);
}

bool FileManagerWin32::DoExists(const std::wstring& path, const std::wstring* extensions, u32 count, u32* index)
{
    if (!extensions || count == 0)
        return IsRegularFile(path);
    for (u32 i = 0; i < count; ++i)
    {
        if (IsRegularFile(path + extensions[i]))
        {
            if (index)
                *index = i;
            return true;
        }
    }
    return false;
}

bool FileManagerWin32::DoIsFolder(const std::wstring& path)
{
    std::wstring stripped = StripTrailingSeparators(path);
    if (stripped.empty() && !path.empty())
        stripped = L"/";
    os::PathInfo info;
    return StatPath(stripped, info) && info.isFolder;
}

void FileManagerWin32::DoListFiles(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub,
                                   bool recursive, std::vector<std::wstring>& out, bool relative)
{
    // Sorted as whole names, the order a pack lists them in ("a.txt" before "a/b.txt").
    std::vector<std::wstring> found;
    ListFilesRecursive(requested, inner, sub, recursive, found, relative, 0);
    std::sort(found.begin(), found.end(), Utf16Less());
    out.insert(out.end(), found.begin(), found.end());
}

void FileManagerWin32::DoListFolders(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub,
                                     std::vector<std::wstring>& out, bool relative)
{
    for (const DirEntry& entry : ReadFolder(inner + sub))
        if (entry.isFolder)
            out.push_back(relative ? sub + entry.name : requested + sub + entry.name);
}

void FileManagerWin32::ListLooseFiles(const std::wstring& folder, bool recursive, std::vector<std::wstring>& out,
                                      bool relative)
{
    std::wstring normalized = NormalizeDirectoryPath(folder);
    DoListFiles(normalized, normalized, std::wstring(), recursive, out, relative);
}
} // namespace file
