// Building a pack from a loose folder without ever leaving a broken pack behind.
#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "Core/File/FileSystem.h"
#include "Core/File/Path.h"
#include "Platform/Os/Files.h"

#include <memory>

namespace file
{
namespace
{
bool StatFile(const std::wstring& path, os::PathInfo& info) { return os::Stat(NativePath(path), info); }

bool SameFile(const os::PathInfo& a, const os::PathInfo& b) { return a.device == b.device && a.inode == b.inode; }

// Writes the index and every file's bytes into the temporary pack.
QLResultEnum WritePack(const std::wstring& folder, const std::wstring& tempPath, const ArchiveBuilder& builder,
                       const PackProgress& progress)
{
    base::FileStream out;
    if (out.Handle().Open(ToForwardSlashes(tempPath), 1, 0) != QL_OK)
    {
        QL_LOG(L"Cannot create '%s'\n") << base::LogStyle::Error << tempPath;
        return QL_FAIL;
    }
    if (builder.Write(out) != QL_OK)
    {
        QL_LOG(L"Cannot write the index of '%s'\n") << base::LogStyle::Error << tempPath;
        return QL_FAIL;
    }
    u32 index = 0;
    for (const auto& [name, record] : builder.mEntries)
    {
        if (progress)
            progress(name, index++, static_cast<u32>(builder.mEntries.size()));
        base::FileStream in;
        if (in.Handle().Open(ToForwardSlashes(folder + name), 0, 2) != QL_OK)
        {
            QL_LOG(L"Cannot open '%s'\n") << base::LogStyle::Error << folder + name;
            return QL_FAIL;
        }
        // Offsets were fixed from the sizes listed first: a file that changed since breaks them.
        if (in.GetSize() != record.mSize)
        {
            QL_LOG(L"'%s' changed size while packing (%u bytes, now %u)\n")
                << base::LogStyle::Error << folder + name << record.mSize << in.GetSize();
            return QL_FAIL;
        }
        u32 copied = record.mSize ? base::CopyStream(out, in, record.mSize) : 0;
        if (copied != record.mSize)
        {
            QL_LOG(L"Copied %u of %u bytes of '%s'\n")
                << base::LogStyle::Error << copied << record.mSize << folder + name;
            return QL_FAIL;
        }
    }
    if (out.Handle().Close() != QL_OK)
    {
        QL_LOG(L"Cannot close '%s'\n") << base::LogStyle::Error << tempPath;
        return QL_FAIL;
    }
    return QL_OK;
}
} // namespace

QLResultEnum BuildPack(const std::wstring& folder, const std::wstring& packPath, const PackProgress& progress)
{
    const std::wstring root = NormalizeDirectoryPath(folder);
    const std::wstring tempPath = packPath + L".tmp";
    os::PathInfo folderInfo;
    if (!StatFile(root.empty() ? L"." : root, folderInfo) || !folderInfo.isFolder)
    {
        // Without this check a missing folder would replace a good pack by an empty one.
        QL_LOG(L"Cannot pack '%s': no such folder\n") << base::LogStyle::Error << folder;
        return QL_FAIL;
    }

    // The real folder, never through a mount that may point at the pack being rebuilt.
    std::vector<std::wstring> names;
    FileManager::Instance()->ListLooseFiles(root, true, names, true);

    os::PathInfo packInfo, tempInfo;
    bool havePack = StatFile(packPath, packInfo);
    bool haveTemp = StatFile(tempPath, tempInfo);
    ArchiveBuilder builder;
    for (const std::wstring& name : names)
    {
        os::PathInfo info;
        if (!StatFile(root + name, info))
        {
            QL_LOG(L"Cannot open '%s'\n") << base::LogStyle::Error << root + name;
            return QL_FAIL;
        }
        if ((havePack && SameFile(info, packInfo)) || (haveTemp && SameFile(info, tempInfo)))
            continue;
        if (info.size > 0xFFFFFFFFull)
        {
            QL_LOG(L"'%s' is too large for a pack\n") << base::LogStyle::Error << root + name;
            return QL_FAIL;
        }
        ArchiveRecord record;
        record.mSize = static_cast<u32>(info.size);
        builder.mEntries.emplace(name, record);
    }

    u64 offset = builder.GetDataOffset64();
    for (auto& entry : builder.mEntries)
    {
        entry.second.mOffset = static_cast<u32>(offset);
        offset += entry.second.mSize;
    }
    if (offset > 0xFFFFFFFFull)
    {
        QL_LOG(L"Cannot pack '%s': %llu bytes exceed the pack's 4 GiB limit\n")
            << base::LogStyle::Error << folder << static_cast<unsigned long long>(offset);
        return QL_FAIL;
    }

    QLResultEnum result = WritePack(root, tempPath, builder, progress);
    os::PathInfo written;
    if (result == QL_OK && (!StatFile(tempPath, written) || written.size != offset))
    {
        QL_LOG(L"'%s' came out short\n") << base::LogStyle::Error << tempPath;
        result = QL_FAIL;
    }
    if (result == QL_OK && SyncFile(tempPath) != QL_OK)
    {
        QL_LOG(L"Cannot flush '%s' to the disk\n") << base::LogStyle::Error << tempPath;
        result = QL_FAIL;
    }
    if (result == QL_OK && RenameFile(tempPath, packPath) != QL_OK)
    {
        QL_LOG(L"Cannot replace '%s'\n") << base::LogStyle::Error << packPath;
        result = QL_FAIL;
    }
    if (result != QL_OK)
        (void)DeleteFile(tempPath);
    else
        FileManager::Instance()->ForgetPack(packPath); // its cached offsets belong to the old pack
    return result;
}
} // namespace file
