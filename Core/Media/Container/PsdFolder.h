// An image container over a folder of image files described by its "layers.xml".
#pragma once

#include "Core/Media/Container/ImageIndex.h"
#include "Core/Media/Image/ImageContainer.h"

namespace file
{
class FileContainer;

class PsdFolder : public ImageContainer
{
public:
    // Reads path + "/layers.xml" through the owner; a missing or damaged description is logged
    // and leaves the folder empty. Positions are multiplied by the file manager's layout scale,
    // then by the application's image scale.
    PsdFolder(const std::wstring& path, FileContainer* owner);

    // The owner's stream of folder + "/" + path (a path from FindFile, extension included).
    base::Stream* OpenStream(const std::wstring& path) override;
    base::StreamCreator* CreateStreamCreator(const std::wstring& path) override;

    // Null for an unknown name. With extensions, the first existing file of the name among them
    // (its index to `index`); an atlas entry, or a call without extensions, takes the name as is.
    ImageFileInfo* FindFile(const std::wstring& name, const std::wstring* extensions, u32 count,
                            u32* index) override;
    const base::ImageInfo* FindImage(const std::wstring& name) override { return mImages.Find(name); }
    // Entries in file order; a name given twice counts twice.
    u32 GetImageCount() override { return mImages.Count(); }
    const base::ImageInfo* GetImage(u32 index) override { return mImages.At(index); }

    QLResultEnum ListImages(const std::wstring& prefix, bool recursive, std::vector<std::wstring>& out,
                            bool relative);
    QLResultEnum ListFolders(const std::wstring& prefix, std::vector<std::wstring>& out, bool relative);
    bool HasFolder(const std::wstring& prefix) { return mImages.HasFolder(prefix); }
    bool HasImage(const std::wstring& name) { return mImages.HasName(name); }
    // Whether the folder holds a file of the name with one of the texture extensions.
    bool HasImageFile(const std::wstring& name);

    // Upper bound on the size of "layers.xml"; a larger file is refused as damaged.
    static constexpr u32 kMaxDescriptionBytes = 16u << 20;

private:
    void Read();
    std::wstring FilePath(const std::wstring& name) const { return mPath + L"/" + name; }

    FileContainer* mFiles;
    ImageIndex mImages;
};
} // namespace file
