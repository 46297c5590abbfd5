// Layered PSD files as image containers.
#include "Core/Media/Container/PsdFile.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/File/Container.h"
#include "Core/File/Path.h"
#include "Core/Media/Container/ContainerScale.h"
#include "Core/Media/Container/PsdLayerNames.h"
#include "Core/Psd/ByteStream.h"
#include "Core/Psd/Document.h"

#include <memory>

namespace file
{
PsdFile::PsdFile(const std::wstring& path, FileContainer* owner) : IndexedImageContainer(ToForwardSlashes(path), owner)
{
    Load(owner);
    if (mDocument)
        TakeLayers();
}

PsdFile::~PsdFile() { psd::FreeDocument(mDocument); }

void PsdFile::Load(FileContainer* owner)
{
    std::unique_ptr<base::Stream> stream(owner ? owner->OpenStream(mPath) : nullptr);
    if (!stream)
    {
        QL_LOG(L"PSD file '%s' cannot be opened\n") << base::LogStyle::Error << mPath;
        return;
    }
    psd::LoadLimits limits;
    limits.mMaxPixelBytes = kMaxPixelBytes;
    psd::Document* document = nullptr;
    const i32 status = psd::LoadDocument(&document, *stream, limits);
    if (status != psd::kOk || !document)
    {
        QL_LOG(L"PSD file '%s' is damaged (status %d)\n") << base::LogStyle::Error << mPath << status;
        psd::FreeDocument(document);
        return;
    }
    mDocument = document;
}

void PsdFile::TakeLayers()
{
    const float scale = ImageScale();
    for (const PsdNamedLayer& named : NamePsdLayers(*mDocument))
    {
        const psd::LayerRecord& record = mDocument->mLayers[static_cast<size_t>(named.mLayer)];
        auto layer = std::make_unique<PsdFileLayer>();
        static_cast<base::ImageInfo&>(*layer) =
            base::ImageInfo(named.mName, record.mLeft, record.mTop, record.mWidth, record.mHeight, record.mOpacity,
                            static_cast<u32>(named.mLayer), 1, 1, scale);
        layer->mRecord = &record;
        // Geometry-only layers: a box keeps its rectangle, a centre becomes the point in its middle.
        if (named.mName.find(L"|box") != std::wstring::npos)
        {
            layer->mHasPixels = 0;
        }
        else if (named.mName.find(L"|center") != std::wstring::npos)
        {
            layer->mHasPixels = 0;
            layer->mX = static_cast<float>(record.mLeft + record.mWidth / 2) * scale;
            layer->mY = static_cast<float>(record.mTop + record.mHeight / 2) * scale;
            layer->mWidth = layer->mHeight = 0.0f;
        }
        // A repeated name keeps its first (upper) layer; the order lists each name once.
        auto [kept, added] = mImages.Insert(std::move(layer));
        if (added)
            mImages.AppendToOrder(kept);
    }
}

base::Stream* PsdFile::OpenStream(const std::wstring& name)
{
    const auto* layer = static_cast<const PsdFileLayer*>(mImages.Find(name));
    if (!layer || !layer->mRecord)
        return nullptr;
    const psd::PixelBuffer& pixels = layer->mRecord->mPixels;
    if (pixels.size() != size_t(layer->mRecord->mWidth) * size_t(layer->mRecord->mHeight))
        return nullptr;                  // the reader kept no pixels for it: nothing the raw decoder could read
    return new psd::PixelStream(pixels); // shares the pixels: no copy of the layer per texture
}

ImageFileInfo* PsdFile::FindFile(const std::wstring& name, const std::wstring* extensions, u32 count, u32* index)
{
    const base::ImageInfo* info = mImages.Find(name);
    if (!info)
        return nullptr;
    if (index && extensions)
        for (u32 i = 0; i < count; ++i)
            if (extensions[i].empty())
                *index = i;
    return new ImageFileInfo(GetBaseName(name), name, this, true, *info);
}
} // namespace file
