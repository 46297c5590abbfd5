// Building a pack from a loose folder without ever leaving a broken pack behind.
#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "Core/File/FileSystem.h"
#include "Core/File/Path.h"
#include "Platform/Os/Files.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace file
{
namespace
{
bool StatFile(const std::wstring& path, os::PathInfo& info) { return os::Stat(NativePath(path), info); }

bool SameFile(const os::PathInfo& a, const os::PathInfo& b) { return a.device == b.device && a.inode == b.inode; }

// ": " and the system's reason for the call that just failed.
std::wstring SystemReason()
{
    const int error = errno;
    return error ? L": " + base::StringToWString(std::strerror(error), 1) : std::wstring();
}

// Logs the failure and hands its text to the caller.
QLResultEnum Fail(std::wstring* why, const std::wstring& text)
{
    QL_LOG(L"%s\n") << base::LogStyle::Error << text;
    if (why)
        *why = text;
    return QL_FAIL;
}

// Writes the index and every file's bytes into a new temporary pack beside the pack; `tempPath`
// names it once it is made (empty when it could not be).
QLResultEnum WritePack(const std::wstring& folder, const std::wstring& packPath, const ArchiveBuilder& builder,
                       const PackProgress& progress, std::wstring& tempPath, std::wstring* why)
{
    base::FileStream out;
    if (out.Handle().OpenTemporary(ToForwardSlashes(packPath)) != QL_OK)
    {
        return Fail(why, L"Cannot create '" + out.Handle().GetPath() + L"'" + SystemReason());
    }
    tempPath = out.Handle().GetPath();
    if (builder.Write(out) != QL_OK)
    {
        return Fail(why, L"Cannot write the index of '" + tempPath + L"'" + SystemReason());
    }
    u32 index = 0;
    for (const auto& [name, record] : builder.mEntries)
    {
        if (progress)
            progress(name, index++, static_cast<u32>(builder.mEntries.size()));
        base::FileStream in;
        if (in.Handle().Open(ToForwardSlashes(folder + name), 0, 2) != QL_OK)
        {
            return Fail(why, L"Cannot open '" + folder + name + L"'" + SystemReason());
        }
        // Offsets were fixed from the sizes listed first: a file that changed since breaks them.
        if (in.GetSize() != record.mSize)
        {
            return Fail(why, L"'" + folder + name + L"' changed size while packing (" + std::to_wstring(record.mSize) +
                                 L" bytes, now " + std::to_wstring(in.GetSize()) + L")");
        }
        u32 copied = record.mSize ? base::CopyStream(out, in, record.mSize) : 0;
        if (copied != record.mSize)
        {
            return Fail(why, L"Copied " + std::to_wstring(copied) + L" of " + std::to_wstring(record.mSize) +
                                 L" bytes of '" + folder + name + L"'" + SystemReason());
        }
    }
    if (out.Handle().Close() != QL_OK)
    {
        return Fail(why, L"Cannot close '" + tempPath + L"'" + SystemReason());
    }
    return QL_OK;
}
} // namespace

QLResultEnum BuildPack(const std::wstring& folder, const std::wstring& packPath, const PackProgress& progress,
                       std::wstring* why)
{
    const std::wstring root = NormalizeDirectoryPath(folder);
    const std::wstring tempPath = packPath + L".tmp";
    os::PathInfo folderInfo;
    if (!StatFile(root.empty() ? L"." : root, folderInfo) || !folderInfo.isFolder)
    {
        // Without this check a missing folder would replace a good pack by an empty one.
        return Fail(why, L"Cannot pack '" + folder + L"': no such folder");
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
            return Fail(why, L"Cannot open '" + root + name + L"'" + SystemReason());
        }
        if ((havePack && SameFile(info, packInfo)) || (haveTemp && SameFile(info, tempInfo)))
            continue;
        if (info.size > 0xFFFFFFFFull)
        {
            return Fail(why, L"'" + root + name + L"' is too large for a pack");
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
        return Fail(why, L"Cannot pack '" + folder + L"': " + std::to_wstring(offset) +
                             L" bytes exceed the pack's 4 GiB limit");
    }

    std::wstring written;
    QLResultEnum result = WritePack(root, packPath, builder, progress, written, why);
    os::PathInfo writtenInfo;
    if (result == QL_OK && (!StatFile(written, writtenInfo) || writtenInfo.size != offset))
    {
        result = Fail(why, L"'" + written + L"' came out short");
    }
    if (result == QL_OK && SyncFile(written) != QL_OK)
    {
        result = Fail(why, L"Cannot flush '" + written + L"' to the disk" + SystemReason());
    }
    if (result == QL_OK && RenameFile(written, packPath) != QL_OK)
    {
        result = Fail(why, L"Cannot replace '" + packPath + L"'" + SystemReason());
    }
    if (result != QL_OK && !written.empty())
        (void)DeleteFile(written); // only the file this build made
    else
        FileManager::Instance()->ForgetPack(packPath); // its cached offsets belong to the old pack
    return result;
}
} // namespace file
