// Loose files relative to the working directory, and the table of mount points.
#pragma once

#include "Core/Base/Singletone.h"
#include "Core/File/Container.h"

namespace file
{
// Loose files on disk; paths are relative to the current directory (or absolute).
class FileManagerWin32 : public FileContainer
{
public:
    FileManagerWin32() : FileContainer(false) {}

    // A read-only FileStream; null when the file cannot be opened or is a folder.
    base::Stream* OpenStream(const std::wstring& path) override;
    // A FileStreamCreator (read, open existing); the file is not looked at.
    base::StreamCreator* CreateStreamCreator(const std::wstring& path) override;
    std::wstring GetRootPath() override { return std::wstring(); }

protected:
    void DoListFiles(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub, bool recursive,
                     std::vector<std::wstring>& out, bool relative) override;
    void DoListFolders(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub,
                       std::vector<std::wstring>& out, bool relative) override;
    // Folders never "exist" as files.
    bool DoExists(const std::wstring& path, const std::wstring* extensions, u32 count, u32* index) override;
    bool DoIsFolder(const std::wstring& path) override;

public:
    // The loose listing alone, without mount resolution (the pack builder lists the real folder).
    void ListLooseFiles(const std::wstring& folder, bool recursive, std::vector<std::wstring>& out, bool relative);
};

class FileManager : public base::Singletone<FileManager>, public FileManagerWin32
{
public:
    FileManager() = default;
    using FileManagerWin32::Exists; // the container's test, not the singleton's

    // Prefix (such as "td/") -> pack path (such as "data.dat"); matched exactly, walked in order.
    std::map<std::wstring, std::wstring, Utf16Less> mMounts;
    // Scale factors read by the folder image container and the bitmap font loader.
    float mPsdFolderScale = 1.0f;
    float mFontScale = 1.0f;
};
} // namespace file
