// Feeds arbitrary bytes as a folder's "layers.xml" to the folder image container, then walks
// everything it built: descriptions, listings and file look-ups.
#include "Core/Base/Stream.h"
#include "Core/File/Container.h"
#include "Core/Media/Container/PsdFolder.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace
{
// Serves one file, "f/layers.xml", from memory; every other path is absent.
class MemoryFiles : public file::FileContainer
{
public:
    MemoryFiles(const uint8_t* data, size_t size) : FileContainer(false), mData(data), mSize(size) {}

    base::Stream* OpenStream(const std::wstring& path) override
    {
        return path == kPath ? new base::MemoryStream(mData, static_cast<u32>(mSize)) : nullptr;
    }
    base::StreamCreator* CreateStreamCreator(const std::wstring&) override { return nullptr; }
    std::wstring GetRootPath() override { return std::wstring(); }

protected:
    void DoListFiles(const std::wstring&, const std::wstring&, const std::wstring&, bool, std::vector<std::wstring>&,
                     bool) override
    {
    }
    void DoListFolders(const std::wstring&, const std::wstring&, const std::wstring&, std::vector<std::wstring>&,
                       bool) override
    {
    }
    bool DoExists(const std::wstring& path, const std::wstring* extensions, u32 count, u32* index) override
    {
        for (u32 i = 0; i < (extensions ? count : 1u); ++i)
            if ((extensions ? path + extensions[i] : path) == kPath)
            {
                if (index)
                    *index = i;
                return true;
            }
        return false;
    }
    bool DoIsFolder(const std::wstring& path) override { return path == L"f"; }

private:
    static inline const std::wstring kPath = L"f/layers.xml";
    const uint8_t* mData;
    size_t mSize;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 20)
        return 0;
    MemoryFiles files(data, size);
    file::PsdFolder folder(L"f", &files);
    std::vector<std::wstring> names;
    (void)folder.ListImages(L"", true, names, false);
    (void)folder.ListFolders(L"", names, true);
    const std::wstring extensions[] = {L"", L".png"};
    for (u32 i = 0; i < folder.GetImageCount(); ++i)
    {
        const base::ImageInfo* info = folder.GetImage(i);
        if (!info || folder.FindImage(info->mName) == nullptr)
            __builtin_trap(); // every listed description is found again by its name
        std::unique_ptr<file::ImageFileInfo> found(folder.FindFile(info->mName, extensions, 2, nullptr));
        folder.HasFolder(info->mName);
        (void)folder.ListImages(info->mName, false, names, true);
    }
    return 0;
}
