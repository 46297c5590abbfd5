// The operations every file container shares: mount resolution, file info, listings.
#include "Core/File/Container.h"

#include "Core/File/Archiver.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"

#include <memory>

namespace file
{
namespace
{
ImageContainerMaker gFolderMaker = nullptr;
ImageContainerMaker gPsdFileMaker = nullptr;

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}
} // namespace

FileContainer::FileContainer(bool isPack) : mIsPack(isPack) {}

// The packs go in path order.
FileContainer::~FileContainer()
{
    for (auto& entry : mPacks)
        entry.second.reset();
}

void FileContainer::SetImageContainerMakers(ImageContainerMaker folder, ImageContainerMaker psdFile)
{
    gFolderMaker = folder;
    gPsdFileMaker = psdFile;
}

Archiver* FileContainer::ResolveMount(const std::wstring& path, std::wstring& rest)
{
    // A damaged pack could name itself as a nested pack; a few levels are plenty for real use.
    if (NestingDepth() >= kMaxPackNesting || !base::Singletone<FileManager>::Exists())
        return nullptr;
    for (const auto& [prefix, packPath] : FileManager::Instance()->mMounts)
    {
        if (!StartsWith(path, prefix) || !DoExists(packPath, nullptr, 0, nullptr))
            continue;
        std::unique_ptr<Archiver>& archiver = mPacks[packPath];
        if (!archiver)
            archiver = std::make_unique<Archiver>(prefix, packPath, this);
        rest = path.substr(prefix.size());
        return archiver.get();
    }
    return nullptr;
}

void FileContainer::ForgetPack(const std::wstring& packPath)
{
    auto it = mPacks.find(packPath);
    if (it == mPacks.end())
        return;
    mPacks.erase(it);
}

FileInfo* FileContainer::GetFileInfo(const std::wstring& path, const std::wstring* extensions, u32 count, u32* index)
{
    std::wstring rest;
    if (FileContainer* pack = ResolveMount(path, rest))
        return pack->GetFileInfo(rest, extensions, count, index);
    u32 found = 0;
    if (!DoExists(path, extensions, count, &found))
        return nullptr;
    if (index)
        *index = found;
    std::wstring fullPath = path;
    if (extensions && count > 0)
        fullPath += extensions[found];
    return new FileInfo(GetFileName(path), fullPath, this, mIsPack);
}

void FileContainer::ListFilesFrom(const std::wstring& requested, const std::wstring& inner, bool recursive,
                                  std::vector<std::wstring>& out, bool relative)
{
    std::wstring rest;
    if (FileContainer* pack = ResolveMount(inner, rest))
        return pack->ListFilesFrom(requested, rest, recursive, out, relative);
    DoListFiles(requested, inner, std::wstring(), recursive, out, relative);
}

void FileContainer::ListFoldersFrom(const std::wstring& requested, const std::wstring& inner,
                                    std::vector<std::wstring>& out, bool relative)
{
    std::wstring rest;
    if (FileContainer* pack = ResolveMount(inner, rest))
        return pack->ListFoldersFrom(requested, rest, out, relative);
    DoListFolders(requested, inner, std::wstring(), out, relative);
}

// Non-relative names keep the folder as asked, so a pack lists the same paths as loose files.
QLResultEnum FileContainer::ListFiles(const std::wstring& folder, bool recursive, std::vector<std::wstring>& out,
                                      bool relative)
{
    std::wstring normalized = NormalizeDirectoryPath(folder);
    ListFilesFrom(normalized, normalized, recursive, out, relative);
    return QL_OK;
}

QLResultEnum FileContainer::ListFolders(const std::wstring& folder, std::vector<std::wstring>& out, bool relative)
{
    std::wstring normalized = NormalizeDirectoryPath(folder);
    ListFoldersFrom(normalized, normalized, out, relative);
    return QL_OK;
}

bool FileContainer::Exists(const std::wstring& path, const std::wstring* extensions, u32 count, u32* index)
{
    std::wstring rest;
    if (FileContainer* pack = ResolveMount(path, rest))
        return pack->Exists(rest, extensions, count, index);
    return DoExists(path, extensions, count, index);
}

bool FileContainer::IsFolder(const std::wstring& path)
{
    std::wstring rest;
    if (FileContainer* pack = ResolveMount(path, rest))
        return pack->IsFolder(rest);
    return DoIsFolder(path);
}

ImageContainer* FileContainer::OpenImageContainer(const std::wstring& path)
{
    std::wstring rest;
    if (FileContainer* pack = ResolveMount(path, rest))
        return pack->OpenImageContainer(rest);
    if (DoIsFolder(path))
        return gFolderMaker ? gFolderMaker(path, this) : nullptr;
    static const std::wstring kExtensions[] = {L".psd", L""};
    u32 index = 0;
    if (DoExists(path, kExtensions, 2, &index))
        return gPsdFileMaker ? gPsdFileMaker(path + kExtensions[index], this) : nullptr;
    return nullptr;
}
} // namespace file
