// File containers: the abstract interface and the shared mount-resolving operations.
#pragma once

#include "Core/Base/Types.h"
#include "Core/File/FileInfo.h"
#include "Core/File/Utf16.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace base
{
class Stream;
class StreamCreator;
} // namespace base

namespace file
{
class Archiver;
class FileContainer;
class ImageContainer; // defined by the image code (folder and PSD image containers)

class Container
{
public:
    virtual ~Container() = default;
    // The first existing file among path + each extension (without extensions: the path itself);
    // the index of the extension used goes to index. A new FileInfo owned by the caller, or null.
    virtual FileInfo* GetFileInfo(const std::wstring& path, const std::wstring* extensions = nullptr, u32 count = 0,
                                  u32* index = nullptr) = 0;
    // A new stream owned by the caller, or null.
    virtual base::Stream* OpenStream(const std::wstring& path) = 0;
    // A new creator owned by the caller, or null when the container knows the file is absent.
    virtual base::StreamCreator* CreateStreamCreator(const std::wstring& path) = 0;
    virtual std::wstring GetRootPath() = 0;
};

// Makes an image container over a folder or a PSD file; registered by the image code.
using ImageContainerMaker = ImageContainer* (*)(const std::wstring& path, FileContainer* owner);

class FileContainer : public Container
{
public:
    explicit FileContainer(bool isPack);
    ~FileContainer() override; // deletes every cached pack

    // These resolve the file manager's mount points first (see ResolveMount).
    FileInfo* GetFileInfo(const std::wstring& path, const std::wstring* extensions = nullptr, u32 count = 0,
                          u32* index = nullptr) override;
    // Appends to out (nothing is cleared); names are sorted by UTF-16 units per folder.
    virtual QLResultEnum ListFiles(const std::wstring& folder, bool recursive, std::vector<std::wstring>& out,
                                   bool relative);
    virtual QLResultEnum ListFolders(const std::wstring& folder, std::vector<std::wstring>& out, bool relative);
    virtual bool Exists(const std::wstring& path, const std::wstring* extensions = nullptr, u32 count = 0,
                        u32* index = nullptr);
    // Trailing separators are ignored, in packs and on disk alike.
    virtual bool IsFolder(const std::wstring& path);

    // A folder gives the folder image container; else path + ".psd", then the path itself, gives
    // the PSD one; null otherwise or when the image code registered no maker. Caller owns it.
    ImageContainer* OpenImageContainer(const std::wstring& path);
    static void SetImageContainerMakers(ImageContainerMaker folder, ImageContainerMaker psdFile);

    // The pack that serves path, with the rest of the path inside it; null when no mount applies.
    // Mounts are walked in ascending prefix order; the first whose pack this container holds wins.
    Archiver* ResolveMount(const std::wstring& path, std::wstring& rest);
    // Drops the cached index of a pack (after it was rebuilt), so the next lookup reads it anew.
    void ForgetPack(const std::wstring& packPath);

    // How many packs this container lies inside (0 for loose files).
    virtual int NestingDepth() const { return 0; }
    static constexpr int kMaxPackNesting = 4;

    bool mIsPack;
    std::map<std::wstring, std::unique_ptr<Archiver>, Utf16Less> mPacks; // pack path -> archiver

protected:
    // requested: the folder as asked; inner: the folder within this container (both "" or ending
    // with "/"); sub: the subfolder reached so far while recursing.
    virtual void DoListFiles(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub,
                             bool recursive, std::vector<std::wstring>& out, bool relative) = 0;
    virtual void DoListFolders(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub,
                               std::vector<std::wstring>& out, bool relative) = 0;
    virtual bool DoExists(const std::wstring& path, const std::wstring* extensions, u32 count, u32* index) = 0;
    virtual bool DoIsFolder(const std::wstring& path) = 0;

private:
    void ListFilesFrom(const std::wstring& requested, const std::wstring& inner, bool recursive,
                       std::vector<std::wstring>& out, bool relative);
    void ListFoldersFrom(const std::wstring& requested, const std::wstring& inner, std::vector<std::wstring>& out,
                         bool relative);
};
} // namespace file
