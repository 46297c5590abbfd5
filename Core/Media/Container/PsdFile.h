// An image container over one layered PSD file: every layer is an image of raw ARGB pixels,
// named by its group path and placed where it lies in the document.
#pragma once

#include "Core/Media/Container/IndexedImageContainer.h"

namespace psd
{
struct Document;
struct LayerRecord;
} // namespace psd

namespace file
{
class FileContainer;

// A layer's description with its record in the container's document (not owned).
struct PsdFileLayer : public base::ImageInfo
{
    const psd::LayerRecord* mRecord = nullptr;
};

class PsdFile : public IndexedImageContainer
{
public:
    // Loads the document through the owner (loose file or pack entry); a missing or damaged file
    // is logged and leaves the container empty.
    PsdFile(const std::wstring& path, FileContainer* owner);
    ~PsdFile() override;
    PsdFile(const PsdFile&) = delete;
    PsdFile& operator=(const PsdFile&) = delete;

    // A copy of the layer's pixels (width x height host-order 0xAARRGGBB, rows top to bottom),
    // or null for an unknown name.
    base::Stream* OpenStream(const std::wstring& name) override;
    // Layers have no file to open later.
    base::StreamCreator* CreateStreamCreator(const std::wstring&) override { return nullptr; }

    // Null for an unknown name; `index` gets the last empty extension of the list (a layer has no
    // file extension).
    ImageFileInfo* FindFile(const std::wstring& name, const std::wstring* extensions, u32 count, u32* index) override;
    // Images are the distinct layer names, top-most layer first; the groups list as folders.
    // Layers are never files.
    bool HasImageFile(const std::wstring&) { return false; }

    bool IsLoaded() const { return mDocument != nullptr; }
    const psd::Document* GetDocument() const { return mDocument; }

    // Far above any layout or sprite sheet; keeps a damaged header from asking for gigabytes.
    static constexpr u64 kMaxPixelBytes = 256ull << 20;

private:
    void Load(FileContainer* owner);
    void TakeLayers();

    psd::Document* mDocument = nullptr;
};
} // namespace file
