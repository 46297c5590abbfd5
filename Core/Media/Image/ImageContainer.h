// A container whose files are images with descriptions (a layered PSD file or a folder with
// "layers.xml"): what the texture resource needs of it.
#pragma once

#include "Core/File/Container.h"
#include "Core/Media/Image/ImageInfo.h"

#include <string>

namespace file
{
// A file description together with the image's description; owned by the caller of FindFile.
class ImageFileInfo : public FileInfo, public base::ImageInfo
{
public:
    ImageFileInfo(const std::wstring& name, const std::wstring& path, Container* container, bool isPack,
                  const base::ImageInfo& info)
        : FileInfo(name, path, container, isPack), base::ImageInfo(info)
    {
    }
};

class ImageContainer : public Container
{
public:
    ImageContainer(const std::wstring& path, Container* owner) : mPath(path), mOwner(owner) {}

    FileInfo* GetFileInfo(const std::wstring& name, const std::wstring* extensions = nullptr, u32 count = 0,
                          u32* index = nullptr) override
    {
        return FindFile(name, extensions, count, index);
    }
    // The owning container's full path, then this container's path and "/".
    std::wstring GetRootPath() override { return (mOwner ? mOwner->GetRootPath() : std::wstring()) + mPath + L"/"; }

    // A new description of the named image's file, or null.
    virtual ImageFileInfo* FindFile(const std::wstring& name, const std::wstring* extensions, u32 count,
                                    u32* index) = 0;
    // The description with exactly that name (kept by the container), or null.
    virtual const base::ImageInfo* FindImage(const std::wstring& name) = 0;
    virtual u32 GetImageCount() = 0;
    virtual const base::ImageInfo* GetImage(u32 index) = 0;

    const std::wstring& GetPath() const { return mPath; }
    Container* GetOwner() const { return mOwner; }

protected:
    std::wstring mPath;
    Container* mOwner;
};
} // namespace file
