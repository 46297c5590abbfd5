// An image container whose descriptions are kept in an ImageIndex: the look-ups and the
// folder-like listings that the folder and PSD containers share.
#pragma once

#include "Core/Media/Container/ImageIndex.h"
#include "Core/Media/Image/ImageContainer.h"

namespace file
{
class IndexedImageContainer : public ImageContainer
{
public:
    using ImageContainer::ImageContainer;

    const base::ImageInfo* FindImage(const std::wstring& name) override { return mImages.Find(name); }
    u32 GetImageCount() override { return mImages.Count(); }
    // Null past the end.
    const base::ImageInfo* GetImage(u32 index) override { return mImages.At(index); }

    // Names below a folder prefix, as ImageIndex lists them; always 0.
    QLResultEnum ListImages(const std::wstring& prefix, bool recursive, std::vector<std::wstring>& out, bool relative)
    {
        mImages.ListImages(prefix, recursive, out, relative);
        return QL_OK;
    }
    QLResultEnum ListFolders(const std::wstring& prefix, std::vector<std::wstring>& out, bool relative)
    {
        mImages.ListFolders(prefix, out, relative);
        return QL_OK;
    }
    // Whether any name lies in a sub-folder below the prefix.
    bool HasFolder(const std::wstring& prefix) { return mImages.HasFolder(prefix); }
    // Whether the name, as given or lowered (A-Z), is an image.
    bool HasImage(const std::wstring& name) { return mImages.HasName(name); }

protected:
    ImageIndex mImages;
};
} // namespace file
