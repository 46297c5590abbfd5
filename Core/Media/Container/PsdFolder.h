// An image container over a folder of image files described by its "layers.xml".
#pragma once

#include "Core/Media/Container/IndexedImageContainer.h"

namespace file
{
class FileContainer;

class PsdFolder : public IndexedImageContainer
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
    ImageFileInfo* FindFile(const std::wstring& name, const std::wstring* extensions, u32 count, u32* index) override;
    // Images come in file order; a name given twice counts twice.
    // Whether the folder holds a file of the name with one of the texture extensions.
    bool HasImageFile(const std::wstring& name);

    // Upper bound on the size of "layers.xml"; a larger file is refused as damaged.
    static constexpr u32 kMaxDescriptionBytes = 16u << 20;

private:
    void Read();
    std::wstring FilePath(const std::wstring& name) const { return mPath + L"/" + name; }

    FileContainer* mFiles;
};
} // namespace file
